// The message box's exchange with its movie "HWMsgBx": what it tells the movie and
// what it does about each command, including the sizing that the movie asks for.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <string>

#include "console/screens/FlashScreenHost.h"

// Flags of a yes/no question; Yes ends it with 1.
const int MSGBOX_FLAGS_YESNO = 3;
// Flags of an informational message, shown with a single OK button.
const int MSGBOX_FLAGS_INFORMATION = 0;

class CMsgBoxScreen {
 public:
  // Initial size in pixels, kept until the movie sends its own.
  CMsgBoxScreen(int nWidth = 0, int nHeight = 0) : m_nWidth(nWidth), m_nHeight(nHeight) {}

  std::string m_strMessageText;
  std::string m_strCaption;
  int m_nFlags = MSGBOX_FLAGS_INFORMATION;

  // The screen's own variables, sent after the movie is loaded and before the
  // language pair (CFlashScreenDlg::OnInitScreen).
  void SendStartVariables(IFlashPlayer& player) const;

  // Resize asks the window for Width() × Height() with its top-left corner kept.
  SScreenReply OnCommand(const char* szCommand, const char* szArgs);

  void SetSize(int nWidth, int nHeight) {
    m_nWidth = nWidth;
    m_nHeight = nHeight;
  }
  int Width() const { return m_nWidth; }
  int Height() const { return m_nHeight; }

 private:
  int m_nWidth;
  int m_nHeight;
};
