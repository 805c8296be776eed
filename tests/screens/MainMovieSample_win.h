// The main window's movie with sample contents, for the screenshots and the
// keyboard test.
#pragma once

#include <string>

#include "console/screens/FlashScreenDlg_win.h"
#include "console/settings/ConsoleSettings_win.h"

// The main window's movie on a screen of the main window's size, filled with the
// values and rows the console would send.
class CMainSample : public CFlashScreenDlg {
 public:
  CMainSample(const CConsoleSettings& settings, const std::string& strPage)
      : CFlashScreenDlg(settings, {102, 334, 278, 2003, 0, 0}, EScreenFilter::Modal, ECloseRequest::CancelAction),
        m_strPage(strPage) {}

 protected:
  void OnInitScreen() override {
    LoadMovie("HWMain", ".hwf");
    const char* const values[][2] = {
        {"_root.dwNoOfBlockedInstructions", "4"},
        {"_root.dwNoOfBlockedInstructionsHaveHighRating", "1"},
        {"_root.dwNoOfEmailProtection", "2"},
        {"_root.dwNoOfWebProtection", "4"},
        {"_root.bWebSiteBlockingProtectionState", "\x01"},
        {"_root.bMailSafeProtectionState", "\x01"},
        {"_root.strApplicationVersion", "1.0.0.1"},
        {"_root.strTessalineSecurityEngineVersion", "1.0.0.1"},
        {"_root.strTessalineDefinitionVersion", "12/01/2026"},
        {"_root.bLoadwithWindowsStartup", "\x01"},
        {"_root.bLoadSplashScreen", ""},
        {"_root.bIsLogin", ""},
        {"_root.bIsPasswordEntered", ""},
        {"_root.strCurrentLanguage", "ENGLISH"},
        {"_root.languageOptions", "ENGLISH|GERMAN"},
        {"_root.enumAlertEventsLevel", "0"},
        {"_root.LogViewerStepper", "20"},
        {"_root.strCheckWebTrafficText", "Check web traffic through the local guard"},
        {"_root.bCheckWebTraffic", "\x01"},
        {"_root.siteRows", "URL\tlogin.example.com/verify\tBlock\nHostIP\t192.0.2.10\tAsk\n"},
        {"_root.mailRows", "From\tbilling-department@secure-payments.example.net\tAsk\n"},
        // The chosen entries' details, long as real ones run.
        {"_root.ScamProgramNameSiteEntryDetSItem.EntryValue", "iexplore.exe"},
        {"_root.ScamProtocolSiteEntryDetSItem.EntryValue", "HTTP"},
        {"_root.ScamIPAddressSiteEntryDetSItem.EntryValue", "203.0.113.5"},
        {"_root.ScamDateTimeSiteEntryDetSItem.EntryValue", "Wednesday, September 30, 2026 23:59:59"},
        {"_root.ScamProgramNameMailEntryDetSItem.EntryValue", "outlook.exe"},
        {"_root.ScamProtocolMailEntryDetSItem.EntryValue", "POP3"},
        {"ScamFromMailEntryDetSItem.EntryValue", "billing-department@secure-payments.example.net"},
        {"ScamToMailEntryDetSItem.EntryValue", "alice.longname@mail.example.org"},
        {"_root.ScamSubjectMailEntryDetSItem.EntryValue", "Your account will be suspended unless you verify it"},
        {"_root.ScamAttachmentMailEntryDetSItem.EntryValue", "invoice-2026-09.pdf"},
        {"_root.ScamDateTimeMailEntryDetSItem.EntryValue", "Wed, 30 Sep 2026 23:59:59 +0200"},
        {"_root.logRows",
         "High\t2\tURL\tlogin.example.com/verify\tBlocked\tiexplore.exe\t203.0.113.5\tHTTP\t"
         "12/07/2026 14:05\n"},
        {"page", m_strPage.c_str()},
    };
    for (const auto& value : values) SetVariable(value[0], value[1]);
  }
  void OnScreenCommand(const char*, const char*) override {}

 private:
  std::string m_strPage;
};
