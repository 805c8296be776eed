// The backup file of the settings: the product key of the current user written by
// the console's registry exporter (RegistryExport.h) into a REGEDIT4 file.
#pragma once

#include <windows.h>

#include <string>

enum class EBackupResult {
  Written,      // the file holds the product key (or is empty when the key did not open)
  CannotOpen,   // the file could not be created; nothing was written
  WriteFailed,  // the file could not be written whole (a full disk, for example)
};

constexpr const char* kBackupOpenFailedText = "Cannot open a Registry backup file..";

// Creates or replaces strPath and writes the product key into it, each line
// written on its own. *pdwError (if given) is the system's reason for a failure.
EBackupResult ExportProductKey(const std::string& strPath, DWORD* pdwError = nullptr);
