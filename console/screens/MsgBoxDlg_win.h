// The console's only message box: a small screen that shows a message with OK, or
// a question with Yes and No, and sizes itself as its movie asks.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <string>

#include "console/screens/FlashScreenDlg_win.h"
#include "console/screens/MsgBoxScreen.h"

class CMsgBoxDlg : public CFlashScreenDlg {
 public:
  explicit CMsgBoxDlg(const CConsoleSettings& settings);

  // Fill before DoModal. Result: 1 for Yes or OK, 2 for No, Cancel or Escape.
  std::string m_strMessageText;
  std::string m_strCaption;
  int m_nFlags = MSGBOX_FLAGS_INFORMATION;

  // The size the box has now, in pixels, as the sizing commands left it.
  int Width() const { return m_screen.Width(); }
  int Height() const { return m_screen.Height(); }

 protected:
  void OnInitScreen() override;
  void OnScreenCommand(const char* szCommand, const char* szArgs) override;

 private:
  CMsgBoxScreen m_screen;
};

// Shows a message and returns the box's result. An empty caption stands for the
// application title.
int ShowConsoleMessage(const CConsoleSettings& settings, const std::string& strText,
                       const std::string& strCaption = std::string(), int nFlags = MSGBOX_FLAGS_INFORMATION,
                       HWND hOwner = nullptr);
