// The console program's entry point. For now the console is its request window:
// a hidden owner window, the request window and the message loop. Requests get
// the safe verdict 0 (block) until request handling plugs in its handlers. The
// settings are loaded at start and saved when the message loop ends.
#include <windows.h>

#include "console/core/BlockAllRequests.h"
#include "console/core/HookwardenApp_win.h"
#include "console/core/RequestWindow_win.h"
#include "console/settings/ListsAndLog_win.h"
#include "console/settings/SettingsStore_win.h"
#include "engine/LSPGlobals.h"

namespace {

LRESULT CALLBACK OwnerWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  CHookwardenApp app;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = OwnerWndProc;
  wc.hInstance = hInstance;
  wc.lpszClassName = "HookwardenOwner";
  if (!::RegisterClassA(&wc)) return 1;
  CDestroyWindow owner(::CreateWindowExA(0, wc.lpszClassName, "Hookwarden", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                         CW_USEDEFAULT, 400, 300, nullptr, nullptr, hInstance, nullptr));
  if (!owner) return 1;

  CBlockAllRequests handlers;
  CRequestWindow requestWindow(handlers);
  if (!requestWindow.Create(owner.Get())) return 1;

  CConsoleSettings& settings = app.Settings();
  WriteStartupValues(settings);
  LoadSettings(settings);
  RunStartupArchiveCheck(settings);
  UpdateStartupValue(settings);

  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  owner.Detach();  // destroyed by WM_CLOSE already
  settings.m_overview.m_nIsLogin = 0;
  SaveAllSettings(settings);
  return static_cast<int>(msg.wParam);
}
