// Turns the shipped definitions file into the working definitions file that the
// engine library reads: decrypted whole, header line end repaired, written beside
// the working file and renamed over it, so that a reader always finds either the
// old file or the new one, never a part.
#pragma once

#include "console/core/CoreLayer.h"

#include <windows.h>

#include <string>

enum class EWorkingDefinitions {
  Written,
  ShippedMissing,  // the shipped file cannot be opened
  Refused,         // not a definitions file: too short, not whole blocks, unreadable
  CreateFailed,    // the file beside the working file cannot be created
  WriteFailed,     // writing or renaming failed; *pdwError holds the system's code
};

EWorkingDefinitions WriteWorkingDefinitionsFile(const std::string& strShippedPath, const std::string& strWorkingPath,
                                                DWORD* pdwError);
