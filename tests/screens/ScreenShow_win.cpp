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
#include "console/screens/MsgBoxDlg_win.h"
#include "console/screens/PasswordDlg_win.h"
#include "console/screens/SettingsDlgs_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/NameCode.h"
#include "screens/MainMovieSample_win.h"
#include "screens/ScreenUser_win.h"
#include "support/WaitUntil_win.h"

namespace {

const int kAlertDetailsButtonId = 342;

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
