// The protection settings screen (CAdvSettingsDlg) and the log settings screen
// (CLogAdvancedDlg). The caller fills the fields, runs the screen modally and
// takes the fields back when it ends with 1.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <cstdint>
#include <string>

#include "console/screens/FlashScreenDlg_win.h"
#include "console/screens/SettingsScreens.h"

class CAdvSettingsDlg : public CFlashScreenDlg {
 public:
  explicit CAdvSettingsDlg(const CConsoleSettings& settings);

  // ADVSET_MODE_MAIL or ADVSET_MODE_SITE, and that list's permission.
  int m_nMode = ADVSET_MODE_MAIL;
  int m_nOption = 2;

 protected:
  void OnInitScreen() override;
  void OnScreenCommand(const char* szCommand, const char* szArgs) override;
  // Enter reads the option as the movie's OK does.
  void OnOK() override;

 private:
  void PerformReply(const SScreenReply& reply);

  CAdvSettingsScreen m_screen;
};

class CLogAdvancedDlg : public CFlashScreenDlg, protected ILogFileChooser {
 public:
  explicit CLogAdvancedDlg(const CConsoleSettings& settings);

  std::string m_strLogFilePath;
  std::int32_t m_nArchiveOn = 1;
  std::uint8_t m_bArchivePeriod = 1;
  bool m_bArchiveByPolicy = false;  // archive and period shown as the administrator's

 protected:
  void OnInitScreen() override;
  void OnScreenCommand(const char* szCommand, const char* szArgs) override;
  void OnOK() override;
  // The save dialog for the log file, with its overwrite prompt.
  bool ChooseLogFile(std::string* pPath) override;

 private:
  void PerformReply(const SScreenReply& reply);

  CLogAdvancedScreen m_screen;
};
