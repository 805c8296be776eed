// The splash at start-up: the outside splash control on the main window, told
// which movie to play. The console does not wait for it; without the control
// library nothing shows.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>

#include <string>

class CSplash {
 public:
  CSplash() = default;
  CSplash(const CSplash&) = delete;
  CSplash& operator=(const CSplash&) = delete;

  // Places the control on hParent as item 2028 and plays the movie "HWSplsh"
  // (".hws") of the screen folder below szAppFolder. False without the control.
  bool Play(HWND hParent, const char* szAppFolder);

 private:
  HWND m_hWnd = nullptr;  // destroyed with its parent
};
