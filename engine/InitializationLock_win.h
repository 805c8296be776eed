// The process-wide lock that InitializeAppVars holds for its whole run. It is
// created when the library is loaded and deleted when it is unloaded.
#pragma once

#include <windows.h>

void CreateInitializationLock();
void DeleteInitializationLock();
CRITICAL_SECTION& InitializationLock();
