// The console's hidden request window, titled "Tessaline Server Handler": senders
// find it by that title and deliver an EngineRequest with WM_COPYDATA. It stays
// top-level while the main window hides in the tray (under a hidden parent, where
// the system no longer tells it of the session's end), so it hears the end of the
// Windows session for the console.
#pragma once

#include "console/core/CoreLayer.h"

#include <windows.h>

#include <functional>
#include <utility>

#include "console/core/RequestRecord.h"
#include "console/screens/ConsoleWindow_win.h"
#include "shared/OwnedResources_win.h"

class CRequestWindow : public CConsoleWindow {
 public:
  // onSessionEnd runs when the Windows session ends (WM_ENDSESSION with its
  // ending flag set); it need not return.
  explicit CRequestWindow(IRequestHandlers& handlers, std::function<void()> onSessionEnd = nullptr)
      : m_handlers(handlers), m_onSessionEnd(std::move(onSessionEnd)) {}
  // Creates the window owned by hOwner (may be null) and keeps it hidden. When the
  // owner is destroyed the window goes with it, and this object lets go of it.
  bool Create(HWND hOwner);
  HWND GetHwnd() const { return m_wnd.Get(); }

 private:
  bool OnCommand(const SCommand& command) override;
  bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

  IRequestHandlers& m_handlers;
  std::function<void()> m_onSessionEnd;
};
