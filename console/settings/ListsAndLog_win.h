// What the lists and the alert log take from the running console: texts in the
// current language, the overview counter of high-rated entries, and the archive
// check at start-up.
#pragma once

#include <cstdint>
#include <string>

class CConsoleSettings;

// "Allow", "Block" or "Ask" in the current language; empty for any other value.
std::string GetPermissionText(const CConsoleSettings& settings, std::int32_t nPermission);

// Sets "NoOfBlockedInstructionsHaveHighRating" to the number of alert-log entries
// rated High.
void RecountHighRatedEntries(CConsoleSettings& settings);

// The archive check, once at start-up after the settings load: the archive names
// the application title and the console's version. Returns the archive file's
// path, empty when none was made.
std::string RunStartupArchiveCheck(CConsoleSettings& settings);
