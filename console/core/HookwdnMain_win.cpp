// The console program's entry point: the application object runs start-up, the
// main window and, at the end, the exit procedure that ends the process.
#include <windows.h>

#include "console/core/HookwardenApp_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int) {
  // The screens scale themselves to the display: the system must not stretch them.
  ::SetProcessDPIAware();
  CHookwardenApp app;
  app.Run(lpCmdLine);
  return static_cast<int>(kConsoleExitCode);
}
