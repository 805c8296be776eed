// The settings store: moves the whole state of the console's settings
// between memory and the product key HKEY_CURRENT_USER\Software\Corvinth\Hookwarden,
// and keeps the console's entry in the Windows start-up key. Registry failures are
// silent: a key that cannot be opened skips its step, a value that cannot be read
// keeps its default.
//
// Every save writes only what changed since the settings were last loaded or
// saved: the settings load reads the whole product key into memory once, and a
// save compares what the settings objects write with that copy. The changes go
// through a journal beside the product key (SaveJournal.h), so that a save cut
// short leaves the old or the new settings and the next start finishes or drops
// it (FinishInterruptedSave). The stored form is the one a full rewrite gives:
// values and subkeys that are not written again (removed entries) are deleted.
#pragma once

#include <windows.h>

#include <string>

#include "shared/ProductKey.h"
#include "shared/Result.h"

class CConsoleSettings;
class IStoreKey;

constexpr const char* kStartupRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Start-up write: creates the product key when it is missing and writes "App Path"
// (the application folder) and "DefnsVersion". Finishes an interrupted save first.
void WriteStartupValues(const CConsoleSettings& settings);

// Settings load: the language value, then every settings object in order. Without
// the product key everything keeps its defaults. An interrupted save is finished
// first; when that fails, the settings are read as the save will leave them once
// it is finished (a later save tries again) and the result is the registry's
// reason; success otherwise.
CResult LoadSettings(CConsoleSettings& settings);

// Shown with the system's reason when a full save failed.
constexpr const char* kSaveFailedText = "The settings could not be saved because of this error: ";

// The save: the language value, "App Path", "DefnsVersion", then every settings
// object in order, as far as they differ from what the product key holds. Success
// when the new settings are in place, the registry's reason otherwise.
CResult SaveAllSettings(CConsoleSettings& settings);
// The same below companyKey, the key that holds the product key (a registry that
// fails on purpose, in tests).
CResult SaveAllSettings(CConsoleSettings& settings, IStoreKey& companyKey);

// The save as the console's windows run it: nothing it throws leaves it; what
// was thrown comes back as ERROR_NOT_ENOUGH_MEMORY or as ERROR_INTERNAL_ERROR with
// its own text ("an internal error (...)"). ResultMessage gives the reason as the
// user reads it.
CResult SaveAllSettingsReporting(CConsoleSettings& settings);
// Set in the console's environment by tests: every save then throws.
constexpr const char* kThrowingSaveVariable = "HOOKWARDEN_TEST_THROWING_SAVE";

// Completes or drops what an interrupted full save left behind. Success when the
// registry holds no unfinished save afterwards.
CResult FinishInterruptedSave();

// Drops what a save left beside the product key, finished or not: the imported
// settings of a restore must not be replaced by it at the next start. Success
// when nothing of it is left.
CResult DropInterruptedSave();

// The reset: deletes the product key with everything below it, and first what a
// save left beside it. Fails, with nothing deleted, when "Software\Corvinth"
// does not open.
CResult DeleteProductKey();

// Writes (bRemove false) or deletes the value szName under the Run key of the
// current user; the key is opened, never created. The registry's result (also
// when the key is missing).
CResult SetStartupValue(const char* szName, const char* szData, bool bRemove);

// The start-up value's command: the console's executable with " -min"; the path
// is quoted when it holds a blank, or Windows would try "C:\Program.exe" first.
std::string StartupCommand(const char* szModulePath);

// Brings the start-up value in line with "LoadwithWindowsStartup": the value is
// named with the application title and its command is StartupCommand.
CResult UpdateStartupValue(const CConsoleSettings& settings);
