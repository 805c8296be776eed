// The user's system proxy setting in the registry, and the copy of it that the
// console keeps while the setting points at the web guard. The copy lives beside
// the product key, in "Software\Corvinth\Hookwarden.ProxySetting" of the current
// user: the full save rebuilds the product key whole and would drop it. The copy
// is complete once its "Kept" value is there; only then is the setting changed, so
// a copy found at start-up means the last run ended without putting it back.
#pragma once

#include "guard/SystemProxySetting.h"

constexpr const char* kInternetSettingsKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const char* kKeptProxySettingKeyPath = "Software\\Corvinth\\Hookwarden.ProxySetting";

// The three values as they are now (a missing key: all missing).
SProxySettingValues ReadSystemProxySetting();
// Writes the values, deleting those that are missing, and tells the programs
// that use WinINet to read the setting again. True when every write succeeded.
bool WriteSystemProxySetting(const SProxySettingValues& values);

// Keeps a complete copy of the values; false when it could not be kept (the
// setting must then stay as it is).
bool KeepProxySetting(const SProxySettingValues& values);
// The kept copy, when a complete one is there.
bool ReadKeptProxySetting(SProxySettingValues* pValues);
// Deletes the copy; true when none is left.
bool DropKeptProxySetting();

// Writes a complete kept copy back into the system setting, then drops it (an
// incomplete one is only dropped). True when no copy is left afterwards.
bool RestoreKeptProxySetting();
