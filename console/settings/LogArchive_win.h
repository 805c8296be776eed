// The archive check that runs once at start-up, and the archive it makes: a copy
// of the log file, behind a short header, in the "LogBackup" folder of the
// application folder. Failures are silent.
#pragma once

#include <string>

#include "console/settings/AlertLog.h"
#include "console/settings/LocalTime.h"
#include "shared/Policies.h"

// The local time now.
SLocalTime CurrentLocalTime();

// What the archive header names: the application title and the console's version.
struct SArchiveTexts {
  std::string strAppTitle;
  std::string strVersion;
};

// When the archive period has passed since the archive start time, the start time
// becomes now (also with archiving off) and, with archiving on, the log file is
// archived. Returns the archive file's path, empty when none was made. The
// policies' archive switch and period, when set, count instead of the user's.
std::string RunArchiveCheck(CAlertLogSettings& settings, const std::string& strAppFolder, const SLocalTime& now,
                            const SArchiveTexts& texts, const CPolicies& policies = CPolicies());

// Makes one archive named by now. The archive file is created even when the log
// file cannot be opened; it then stays empty. The log file is left as it was.
// Returns the archive file's path, empty when it could not be created.
std::string ArchiveLogFile(const std::string& strAppFolder, const std::string& strLogFilePath, const SLocalTime& now,
                           const SArchiveTexts& texts);
