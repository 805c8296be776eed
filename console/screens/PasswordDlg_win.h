// The password screen: login, setting a first password and changing it.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <string>

#include "console/screens/FlashScreenDlg_win.h"
#include "console/screens/PasswordScreen.h"

class CPasswordDlg : public CFlashScreenDlg, private IScreenMessages {
 public:
  explicit CPasswordDlg(const CConsoleSettings& settings);

  // In: the mode and the stored password (name code). Out after result 1 in modes
  // 1 and 2: the name code of the new password, empty for an accepted blank one.
  int m_nMode = PASSWORD_MODE_LOGIN;
  std::string m_strPassword;

 protected:
  void OnInitScreen() override;
  void OnScreenCommand(const char* szCommand, const char* szArgs) override;
  // Enter runs the same checks as the movie's OK, never ends the screen unchecked.
  void OnOK() override;

 private:
  int ShowMessage(int nTextId, int nCaptionId, int nFlags) override;
  void PerformReply(const SScreenReply& reply);

  CPasswordScreen m_screen;
};

// Runs the password screen in login mode against a stored name code.
int AskLoginPassword(const CConsoleSettings& settings, const std::string& strStoredPassword, HWND hOwner = nullptr);
