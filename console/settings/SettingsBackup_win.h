// The backup file of the settings: the product key of the current user written by
// the console's registry exporter (RegistryExport.h) into a REGEDIT4 file.
#pragma once

#include <windows.h>

#include <string>

#include "shared/Result.h"

// The failures' texts, as the user reads them.
constexpr const char* kBackupOpenFailedText = "Cannot open a Registry backup file..";
constexpr const char* kBackupWriteFailedText = "The settings backup could not be written because of this error: ";
constexpr const char* kBackupKeyUnreadableText =
    "The settings could not be read for the backup because of this error: ";

// Creates or replaces strPath and writes the product key into it, each line
// written on its own. A failure carries the system's code and the text for the
// user: the file cannot be made (nothing written), the product key cannot be
// opened (the file stays empty) or a line cannot be written (a full disk).
CResult ExportProductKey(const std::string& strPath);
