// Entry point of Quellmail.dll: sets up and tears down the process-wide state.
#include <windows.h>

#include "engine/InitializationLock_win.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved) {
  switch (dwReason) {
    case DLL_PROCESS_ATTACH:
      ::DisableThreadLibraryCalls(hInstance);
      CreateInitializationLock();
      break;
    case DLL_PROCESS_DETACH:
      // At process exit other threads may have died holding the lock: leave it.
      if (!pReserved) DeleteInitializationLock();
      break;
    default:
      break;
  }
  return TRUE;
}
