// Turns the shipped definitions file into the working definitions file that the
// engine library reads: decrypted whole, header line end repaired, and checked to
// be definitions before it replaces the working file.
#pragma once

#include "console/core/CoreLayer.h"

#include <windows.h>

#include <string>

enum class EWorkingDefinitions {
  Written,
  ShippedMissing,  // the shipped file cannot be opened
  Refused,         // not a definitions file: too short, not whole blocks, unreadable
  NotDefinitions,  // decrypts to something else than definitions; *pstrWhy says what
  CreateFailed,    // neither the file beside the working file nor that file can be created
  WriteFailed,     // writing or renaming failed; *pdwError holds the system's code
};

// How the new working file replaces the old one.
enum class EWorkingWrite {
  // At start-up: rewritten in place; the console deleted it at its last exit.
  InPlace,
  // While the console runs: written beside and renamed over it, so that a reader
  // finds either the old file or the new one, never a part; in place where the
  // folder takes no new file.
  BesideThenRename,
};

EWorkingDefinitions WriteWorkingDefinitionsFile(const std::string& strShippedPath, const std::string& strWorkingPath,
                                                EWorkingWrite writing, DWORD* pdwError,
                                                std::string* pstrWhy = nullptr);
