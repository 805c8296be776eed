// The alert, which asks whether to allow or block a phishing site or mail, and
// the alert display settings, which switch mail and web alerts on and off.
#pragma once

#include "console/screens/ScreensLayer.h"

#include "console/screens/AlertScreen.h"
#include "console/screens/FlashScreenDlg_win.h"

class CAlertsDlg : public CFlashScreenDlg {
 public:
  // The answers run the login check, which may change the logged-in flag.
  explicit CAlertsDlg(CConsoleSettings& settings);

  // In: the alert's fields. Out after the screen ended: nRememberAnswer.
  SAlertFields& Fields() { return m_screen.m_fields; }

 protected:
  void OnInitScreen() override;
  void OnScreenCommand(const char* szCommand, const char* szArgs) override;
  // Enter blocks as Escape does: the alert shows up over whatever the user was
  // typing into, and a stray key must never allow a listed address. Allow takes
  // its own button (Enter on it when it has the focus).
  void OnOK() override { Perform(m_screen.BlockAction()); }
  void OnCancel() override { Perform(m_screen.BlockAction()); }
  bool PlacesItself() const override { return true; }

 private:
  bool CheckLogin();
  // Bottom-right corner at the full-screen client area's, z-order kept.
  void PlaceAtCorner();
  void GrowForMoreInfo();

  CConsoleSettings& m_settings;
  CAlertScreen m_screen;
};

class CLogCustomDlg : public CFlashScreenDlg {
 public:
  explicit CLogCustomDlg(const CConsoleSettings& settings);

  // In, and out after result 1 (OK).
  std::int32_t m_nDisplayMailAlerts = 1;
  std::int32_t m_nDisplayWebAlerts = 1;

 protected:
  void OnInitScreen() override;
  void OnScreenCommand(const char* szCommand, const char* szArgs) override;
  // Enter ends the screen as its OK does.
  void OnOK() override { OnScreenCommand("IDC_FS_OK", ""); }

 private:
  CLogCustomScreen m_screen;
};
