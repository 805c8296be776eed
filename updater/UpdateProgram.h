// What the updater and the console that starts it agree on: where the program
// lies, what its exit code means and the message it broadcasts after installing.
#pragma once

// Below the application folder: the name code of "Update", then this file.
constexpr const char* kUpdateFolderName = "Update";
constexpr const char* kUpdateProgramFile = "\\Update.exe";

// Broadcast (RegisterWindowMessage) once a new shipped definitions file is in place.
constexpr const char* kDefinitionsUpdatedMessageName = "Hookwarden.DefinitionsUpdated";

// Exit codes of Update.exe; its last output line says why.
enum EUpdateExitCode : int {
  kUpdateInstalled = 0,
  kUpdateUpToDate = 1,
  kUpdateFailed = 2,  // the old definitions stay in place
  kUpdateNoAddress = 3,
  kUpdateUsage = 4,
};
