// tray-command.exe exit: sends the tray menu's "&Exit" command to the running
// console's main window, as its tray icon does, waits for the console to end and
// prints its exit code. Exit code 0 when the console ended, 1 when it did not end
// within 30 seconds, 2 when no console runs or the usage is wrong.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "console/ConsoleResources.h"
#include "shared/OwnedResources_win.h"

namespace {

// The main window: a dialog titled with the application title that has a system
// menu (the console's screens, its message box among them, have neither).
BOOL CALLBACK FindMainDialog(HWND hWnd, LPARAM lParam) {
  char szClass[16] = {};
  char szTitle[64] = {};
  ::GetClassNameA(hWnd, szClass, sizeof(szClass));
  ::GetWindowTextA(hWnd, szTitle, sizeof(szTitle));
  const LONG_PTR style = ::GetWindowLongPtrA(hWnd, GWL_STYLE);
  if (std::strcmp(szClass, "#32770") == 0 && std::strcmp(szTitle, "Hookwarden") == 0 &&
      (style & WS_SYSMENU) == WS_SYSMENU) {
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
  }
  return TRUE;
}

// Hidden in the tray, the main window is a child of the tray's hidden window.
BOOL CALLBACK FindMainWindow(HWND hWnd, LPARAM lParam) {
  if (!FindMainDialog(hWnd, lParam)) return FALSE;
  ::EnumChildWindows(hWnd, &FindMainDialog, lParam);
  return *reinterpret_cast<HWND*>(lParam) == nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || std::strcmp(argv[1], "exit") != 0) {
    std::fprintf(stderr, "usage: tray-command exit\n");
    return 2;
  }
  HWND hMain = nullptr;
  ::EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&hMain));
  if (!hMain) {
    std::printf("no console runs\n");
    return 2;
  }
  DWORD dwProcessId = 0;
  ::GetWindowThreadProcessId(hMain, &dwProcessId);
  CCloseHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, dwProcessId));
  std::printf("tray menu \"&Exit\": command %d to the console's main window\n", ID_TRAY_EXIT);
  std::fflush(stdout);
  ::PostMessageA(hMain, WM_COMMAND, ID_TRAY_EXIT, 0);
  if (!process || ::WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0) {
    std::printf("the console did not end\n");
    return 1;
  }
  DWORD dwExitCode = 0;
  ::GetExitCodeProcess(process.Get(), &dwExitCode);
  std::printf("the console ended with exit code %lu\n", static_cast<unsigned long>(dwExitCode));
  return 0;
}
