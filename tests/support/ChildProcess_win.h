// Starting a second program from a test and waiting for it while this thread keeps
// serving its windows (a child that sends to a window of the test needs that).
#pragma once

#include <windows.h>

#include <string>

#include "shared/OwnedResources_win.h"

// Folder of the running test program, without trailing backslash.
std::string GetTestProgramFolder();

// Starts strProgram with strArguments; the program path is resolved against the
// test program's folder when it has no folder of its own. The process handle, or
// an empty one when the program could not start.
CCloseHandle StartChild(const std::string& strProgram, const std::string& strArguments);

// Starts the program as above, pumps messages until it ends, and returns its exit
// code; -1 if it could not start or did not end within dwTimeoutMs.
int RunChildPumping(const std::string& strProgram, const std::string& strArguments, DWORD dwTimeoutMs = 30000);
