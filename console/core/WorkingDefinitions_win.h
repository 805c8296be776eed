// Turns the shipped definitions file into the working definitions file that the
// engine library reads: decrypted whole, header line end repaired, and checked to
// be definitions before it replaces the working file.
#pragma once

#include "console/core/CoreLayer.h"

#include <windows.h>

#include <string>

#include "shared/Result.h"

// How the new working file replaces the old one.
enum class EWorkingWrite {
  // At start-up: rewritten in place; the console deleted it at its last exit.
  InPlace,
  // While the console runs: written beside and renamed over it, so that a reader
  // finds either the old file or the new one, never a part; in place where the
  // folder takes no new file.
  BesideThenRename,
};

// A failure's code tells the step that failed; its text says why:
// - ERROR_OPEN_FAILED: the shipped file cannot be opened;
// - ERROR_BAD_FORMAT: the cipher refuses it (too short, not whole blocks) or it
//   cannot be read whole;
// - ERROR_INVALID_DATA: it decrypts to something else than definitions;
// - ERROR_CANNOT_MAKE: neither the file beside the working file nor that file can
//   be created;
// - any other code: writing or renaming failed, the system's code.
CResult WriteWorkingDefinitionsFile(const std::string& strShippedPath, const std::string& strWorkingPath,
                                    EWorkingWrite writing);
