// The console's hidden request window, titled "Tessaline Server Handler": senders
// find it by that title and deliver an EngineRequest with WM_COPYDATA.
#pragma once

#include "console/core/CoreLayer.h"

#include <windows.h>

#include "console/core/RequestRecord.h"
#include "console/screens/ConsoleWindow_win.h"
#include "shared/OwnedResources_win.h"

class CRequestWindow : public CConsoleWindow {
 public:
  explicit CRequestWindow(IRequestHandlers& handlers) : m_handlers(handlers) {}
  // Creates the window owned by hOwner (may be null) and keeps it hidden. When the
  // owner is destroyed the window goes with it, and this object lets go of it.
  bool Create(HWND hOwner);
  HWND GetHwnd() const { return m_wnd.Get(); }

 private:
  INT_PTR HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

  IRequestHandlers& m_handlers;
};
