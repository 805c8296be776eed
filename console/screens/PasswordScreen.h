// The password screen's exchange with its movie "HWPass" in its three modes: the
// login, setting a first password and changing it, with the checks of a new
// password and the messages for each wrong entry.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <string>

#include "console/ConsoleResources.h"
#include "console/screens/FlashScreenHost.h"

enum : int { PASSWORD_MODE_LOGIN = 0, PASSWORD_MODE_SET = 1, PASSWORD_MODE_CHANGE = 2 };

// Shows one message through the console's message box: text and caption are
// string numbers, flags those of the message box. Returns its modal result.
class IScreenMessages {
 public:
  virtual ~IScreenMessages() = default;
  virtual int ShowMessage(int nTextId, int nCaptionId, int nFlags) = 0;
};

// The typed text matches the stored name code when the code read back two digits
// at a time equals the text, letters compared without regard to case.
bool MatchesStoredPassword(const std::string& strTyped, const std::string& strStoredCode);

// 6 to 31 bytes, no space, and only characters whose name code reads back (codes
// 10 to 99 once upper-cased), so that a stored password can always be typed again.
bool IsAcceptableNewPassword(const std::string& strPassword);

class CPasswordScreen {
 public:
  CPasswordScreen(IFlashPlayer& player, IScreenMessages& messages) : m_player(player), m_messages(messages) {}

  int m_nMode = PASSWORD_MODE_LOGIN;
  std::string m_strPassword;  // in: the stored name code; out after OK in modes 1 and 2: the new one

  // The start variables, sent after the movie is loaded and before the language
  // pair (CFlashScreenDlg::OnInitScreen): empty fields, the mode, the frame label.
  void SendStartVariables();

  SScreenReply OnCommand(const char* szCommand, const char* szArgs);

  // What the screen's OK does: check the entries and end with 1, or stay open.
  SScreenReply OkAction();

 private:
  bool ValidateNewPassword();
  void ClearFields(bool bOld);

  IFlashPlayer& m_player;
  IScreenMessages& m_messages;
};
