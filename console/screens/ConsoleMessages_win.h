// The console's own window messages, one number each above WM_APP: what its
// threads, its windows and the shell (the tray icon's callback) post to its
// windows. A window of the base CConsoleWindow hears them decoded, as an
// SAppMessage; PostConsoleMessage posts one. Messages of the outside world keep
// their own numbers (WM_HOOKWARDEN_PRESENT, asked by other programs).
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>

enum class EAppMessage : UINT {
  // The tray icon's mouse messages, the shell's callback: wParam the icon's id,
  // lParam the mouse message.
  TrayNotify = WM_APP + 1,
  // Restore and reset: the main window ends without the full save.
  EndMainWindow,
  // The settings changed (from the request handling or a command): the main
  // window saves them soon.
  SettingsChanged,
  // The web guard's starting thread is done.
  WebGuardLaunched,
  // The definitions updater's worker: new output lines are queued; the updater
  // ended, wParam its exit code.
  UpdaterOutput,
  UpdaterEnded,
  // One past the last.
  End
};

struct SAppMessage {
  EAppMessage eMessage;
  WPARAM wParam;
  LPARAM lParam;
};

constexpr UINT AppMessageNumber(EAppMessage eMessage) {
  return static_cast<UINT>(eMessage);
}

constexpr bool IsAppMessage(UINT uMsg) {
  return uMsg >= AppMessageNumber(EAppMessage::TrayNotify) && uMsg < AppMessageNumber(EAppMessage::End);
}

inline bool PostConsoleMessage(HWND hWnd, EAppMessage eMessage, WPARAM wParam = 0, LPARAM lParam = 0) {
  return ::PostMessageA(hWnd, AppMessageNumber(eMessage), wParam, lParam) != FALSE;
}
