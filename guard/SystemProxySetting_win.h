// The user's system proxy setting in the registry, and the copy of it that the
// console keeps while the setting points at the web guard. The copy lives beside
// the product key, in "Software\Corvinth\Hookwarden.ProxySetting" of the current
// user: the full save rebuilds the product key whole and would drop it. The copy
// is complete once its "Kept" value is there; only then is the setting changed, so
// a copy found at start-up means the last run ended without putting it back.
// Beside it, in its "Written" subkey, the values the guard wrote: a value found
// otherwise when they go back was changed meanwhile and is left as it is.
#pragma once

#include "guard/SystemProxySetting.h"
#include "shared/Result.h"

constexpr const char* kInternetSettingsKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const char* kKeptProxySettingKeyPath = "Software\\Corvinth\\Hookwarden.ProxySetting";

// The three values as they are now (a missing key: all missing).
SProxySettingValues ReadSystemProxySetting();
// Writes the values, deleting those that are missing, and tells the programs
// that use WinINet to read the setting again. A failure is the first write's that failed.
CResult WriteSystemProxySetting(const SProxySettingValues& values);

// Keeps a complete copy of the user's values and of those the guard is about to
// write; a failure when it could not be kept (the setting must then stay as it is).
CResult KeepProxySetting(const SProxySettingValues& user, const SProxySettingValues& written);
// The kept copy, when a complete one is there; *pbWrittenKept is false for a copy
// of a version that kept no written values (and never changed "AutoConfigURL").
bool ReadKeptProxySetting(SProxySettingValues* pUser, SProxySettingValues* pWritten, bool* pbWrittenKept);
// Deletes the copy; success when none is left.
CResult DropKeptProxySetting();

// Puts a complete kept copy back into the system setting, each value only where
// it is still as the guard wrote it, then drops the copy (an incomplete one is
// only dropped). Success when no copy is left afterwards; one that is left is put
// back at the next try.
CResult RestoreKeptProxySetting();

// Whether this system's WinINet follows a proxy auto-config script named in the
// setting. Wine's does not: there the setting names the guard itself.
bool DoesWinInetFollowScripts();
