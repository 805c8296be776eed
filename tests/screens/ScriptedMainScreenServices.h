// The main screen's window and dialogs for tests: the login check passes or fails
// as set, questions answer No, the settings screens change nothing except the
// alert display, which turns both kinds on.
#pragma once

#include <cstdint>
#include <string>

#include "console/screens/MainScreen.h"

class CScriptedMainScreenServices : public IMainScreenServices {
 public:
  bool CheckLogin() override {
    ++nLoginChecks;
    return bLoginPasses;
  }
  std::string LocalText(unsigned nId) override { return nId == 7014 ? "High" : "T" + std::to_string(nId); }
  std::string LanguageOptions() override { return "English|Deutsch"; }
  void Drag() override {}
  void OpenHelp() override {}
  void HideToTray() override { ++nHidden; }
  void MinimizeToTaskbar() override { ++nHidden; }
  void UpdateStartupEntry() override {}
  bool AskNewPassword(const std::string&, std::string*) override { return false; }
  bool AskLogin(const std::string&) override { return false; }
  int AskQuestion(unsigned, unsigned) override { return 2; }
  void BackupSettings() override {}
  bool RestoreSettings() override { return false; }
  bool ResetSettings() override { return false; }
  void EndWindow() override { ++nEnded; }
  void RunLiveUpdate() override {}
  void OpenSupportMail() override {}
  bool EditPermission(int, std::int32_t*) override { return false; }
  // Notes what the log dialog showed; with bLogEditTurnsArchiveOff it answers OK
  // with the archive off every 9 days.
  bool EditLogSettings(std::string*, std::int32_t* pArchiveOn, std::uint8_t* pPeriod, bool) override {
    strLogDialogShown = std::to_string(*pArchiveOn) + " " + std::to_string(*pPeriod);
    if (!bLogEditTurnsArchiveOff) return false;
    *pArchiveOn = 0;
    *pPeriod = 9;
    return true;
  }
  std::string strLogDialogShown;
  bool bLogEditTurnsArchiveOff = false;
  bool EditAlertDisplay(std::int32_t* pMail, std::int32_t* pWeb) override {
    *pMail = 1;
    *pWeb = 1;
    return true;
  }

  bool bLoginPasses = true;
  int nLoginChecks = 0;
  int nHidden = 0;
  int nEnded = 0;
};
