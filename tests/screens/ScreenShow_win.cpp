// ScreenShow.exe SHOT [MILLISECONDS]: shows one screen with sample contents for a
// screenshot, prints "SHOWN x y width height" once it has settled, and closes it
// after the given time (default 4000). SHOT is one of message, question, login,
// setps, changeps, webalert, mailalert, alertdisplay, mailset, logset, and
// main-PAGE for the main window's page PAGE (overview, mail, sites, log, settings)
// with sample contents; webalert-details and mailalert-details show the alert
// after its Details button.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "console/ConsoleResources.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/screens/AlertsDlg_win.h"
#include "console/screens/FlashScreenDlg_win.h"
#include "console/screens/MsgBoxDlg_win.h"
#include "console/screens/PasswordDlg_win.h"
#include "console/screens/SettingsDlgs_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/NameCode.h"
#include "screens/ScreenUser_win.h"
#include "support/WaitUntil_win.h"

namespace {

const int kAlertDetailsButtonId = 342;

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

}  // namespace

int main(int argc, char** argv) {
  ::SetProcessDPIAware();  // as the console does
  std::string strShot = argc > 1 ? argv[1] : "message";
  const DWORD dwShowMs = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 4000;
  char szModule[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, szModule, sizeof(szModule));
  std::string strApp = szModule;
  strApp = strApp.substr(0, strApp.rfind('\\'));
  strApp = strApp.substr(0, strApp.rfind('\\')) + "\\app";
  CConsoleSettings app(strApp.c_str());

  CScreenUser user;
  // "webalert-details", "mailalert-details": the alert after its Details button.
  const std::size_t nDetails = strShot.rfind("-details");
  const bool bDetails = nDetails != std::string::npos && nDetails + 8 == strShot.size();
  if (bDetails) strShot.resize(nDetails);
  std::thread watcher([dwShowMs, bDetails, &user] {
    HWND hScreen = nullptr;
    WaitUntil([&] { return (hScreen = user.FindScreen()) != nullptr; });
    if (bDetails) user.Press(kAlertDetailsButtonId);
    // The movie sizes the message box with commands that it posted while loading,
    // before the screen showed.
    user.Flush();
    RECT rc = {};
    ::GetWindowRect(hScreen, &rc);
    std::printf("SHOWN %ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    std::fflush(stdout);
    ::Sleep(dwShowMs);
    // Escape: the log settings screen ignores a close request.
    ::PostMessageA(hScreen, WM_KEYDOWN, VK_ESCAPE, 1);
  });

  if (strShot.compare(0, 5, "main-") == 0) {
    CMainSample sample(app, strShot.substr(5));
    sample.DoModal();
  } else if (strShot == "message" || strShot == "question") {
    CMsgBoxDlg box(app);
    box.m_nFlags = strShot == "question" ? MSGBOX_FLAGS_YESNO : MSGBOX_FLAGS_INFORMATION;
    box.m_strMessageText = LoadLocalString(app, strShot == "question" ? IDS_LOGOUT_QUESTION : IDS_PASSWORD_RULES);
    box.m_strCaption = LoadLocalString(app, strShot == "question" ? IDS_LOGIN_ERROR : IDS_PASSWORD_ERROR);
    box.DoModal();
  } else if (strShot == "webalert" || strShot == "mailalert") {
    CAlertsDlg alert(app);
    SAlertFields& fields = alert.Fields();
    fields.strApplication = "iexplore.exe";
    fields.strProtocol = "HTTP";
    fields.strIPAddress = "203.0.113.5";
    if (strShot == "webalert") {
      fields.nAlertKind = ALERT_KIND_WEB;
      fields.strMatchType = "URL";
      fields.strStrictedData = fields.strScamSite = "login.example.com/verify";
      fields.strDateTime = "Monday, December 07, 2026 14:05:09";
      fields.strToolTip = FillAlertToolTip(LoadLocalString(app, IDS_ALERT_URL), fields.strStrictedData);
    } else {
      fields.nAlertKind = ALERT_KIND_MAIL;
      fields.strMatchType = "From";
      fields.strStrictedData = fields.strFrom = "billing@example.net";
      fields.strTo = "user@example.org";
      fields.strSubject = "Verify your account";
      fields.strDateTime = "Mon, 7 Dec 2026 14:05:09";
      fields.strToolTip = LoadLocalString(app, IDS_ALERT_MAIL);
    }
    alert.DoModal();
  } else if (strShot == "alertdisplay") {
    CLogCustomDlg dialog(app);
    dialog.DoModal();
  } else if (strShot == "mailset") {
    CAdvSettingsDlg dialog(app);
    dialog.m_nMode = ADVSET_MODE_MAIL;
    dialog.DoModal();
  } else if (strShot == "logset") {
    CLogAdvancedDlg dialog(app);
    dialog.m_strLogFilePath = app.m_alertLog.GetLogFilePath();
    dialog.m_bArchivePeriod = 7;
    dialog.DoModal();
  } else {
    CPasswordDlg dialog(app);
    dialog.m_nMode = strShot == "login" ? PASSWORD_MODE_LOGIN : PASSWORD_MODE_SET;
    if (strShot != "setps") dialog.m_strPassword = EncodeNameCode("secret1");
    dialog.DoModal();
  }
  watcher.join();
  std::printf("DONE\n");
  return 0;
}
