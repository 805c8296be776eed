#include "console/screens/MainScreen_win.h"

#include <shellapi.h>

#include "console/screens/AlertsDlg_win.h"
#include "console/screens/ConsoleMessages_win.h"
#include "console/screens/FlashScreenDlg_win.h"
#include "console/screens/LoginCheck_win.h"
#include "console/screens/MsgBoxDlg_win.h"
#include "console/screens/PasswordDlg_win.h"
#include "console/screens/ScreenText.h"
#include "console/screens/SettingsCommands_win.h"
#include "console/screens/SettingsDlgs_win.h"
#include "console/screens/SystemTray_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/NameCode.h"
#include "console/settings/SeededFolder_win.h"
#include "console/settings/store/SettingsStore_win.h"

namespace {

SMainScreenState StateOf(CConsoleSettings& settings) {
  COverviewSettings& overview = settings.m_overview;
  return SMainScreenState{settings.m_mailSafeList,
                          settings.m_webSiteBlockingList,
                          settings.m_alertLog,
                          overview.m_nNoOfBlockedInstructions,
                          overview.m_nNoOfBlockedInstructionsHaveHighRating,
                          overview.m_nNoOfEmailProtection,
                          overview.m_nNoOfWebProtection,
                          overview.m_nLoadwithWindowsStartup,
                          overview.m_nLoadSplashScreen,
                          overview.m_nIsLogin,
                          overview.m_strPassword,
                          settings.m_strLanguage,
                          overview.m_strConsoleVersion,
                          overview.m_strEngineVersion,
                          overview.m_strDefnsVersion,
                          &overview.m_nCheckWebTraffic,
                          &settings.m_policies};
}

const SScreenTemplate kAboutTemplate = {100, 167, 93, 2026, 0, 0};

void OpenWithShell(HWND hOwner, const std::string& strPath) {
  // Failures are not reported: the help, update and mail programs are optional.
  ::ShellExecuteA(hOwner, "open", strPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

// A close request takes the box away at once.
CAboutDlg::CAboutDlg(const CConsoleSettings& settings)
    : CFlashScreenDlg(settings, kAboutTemplate, EScreenFilter::None, ECloseRequest::Destroy) {}

void CAboutDlg::OnInitScreen() {
  LoadMovie("AB", ".hkx");
  SendLanguagePair();
}

void CAboutDlg::OnScreenCommand(const char* szCommand, const char*) {
  if (IsSameCommand(szCommand, "IDC_FS_CLOSE") || IsSameCommand(szCommand, "IDC_FS_OK")) EndScreen(0);
}

CMainScreenWindow::CMainScreenWindow(CConsoleSettings& settings, IMainTrayIcon& trayIcon)
    : m_settings(settings), m_trayIcon(trayIcon), m_texts(settings), m_screen(m_flash, StateOf(settings), *this) {}

CMainScreenWindow::~CMainScreenWindow() {
  CPasswordLoginPrompt::SetOverviewPush(nullptr);
  End();
}

void CMainScreenWindow::Load(HWND hMainWnd) {
  m_hMainWnd = hMainWnd;
  // Languages are installed with the console, which starts again after it.
  m_strLanguageOptions = GetInstalledLanguages(m_settings);
  RECT rc;
  ::GetClientRect(hMainWnd, &rc);
  m_flash.Create(hMainWnd, kMainFlashControlId, rc, m_settings.GetAppPath(), this);
  LoadScreenMovie(m_flash, BuildMoviePath(m_settings.GetAppPath(), "HWMain", ".hwf"));
  // A login through any guarded command or an alert shows on this screen.
  CPasswordLoginPrompt::SetOverviewPush([this] { m_screen.PushOverview(); });
}

void CMainScreenWindow::OpenHelp() {
  OpenWithShell(m_hMainWnd, GetHelpFolder(m_settings.GetAppPath()) + "\\" +
                                EncodeNameCode(m_settings.m_strLanguage.c_str()) + ".chm");
}

void CMainScreenWindow::ShowAbout() {
  CAboutDlg(m_settings).DoModal(m_hMainWnd);
}

void CMainScreenWindow::Start() {
  m_screen.StartFeeding();
}

void CMainScreenWindow::End() {
  m_screen.StopFeeding();
}

void CMainScreenWindow::OnFSCommand(const char* szCommand, const char* szArgs) {
  // Copies: a command may open a screen whose player call ends the texts.
  const std::string strCommand = szCommand ? szCommand : "";
  const std::string strArgs = szArgs ? szArgs : "";
  m_screen.OnCommand(strCommand.c_str(), strArgs.c_str());
}

bool CMainScreenWindow::CheckLogin() {
  return CheckSettingsLogin(m_settings);
}

std::string CMainScreenWindow::LocalText(unsigned nStringId) {
  return m_texts.Text(nStringId);
}

std::string CMainScreenWindow::LanguageOptions() {
  return m_strLanguageOptions;
}

void CMainScreenWindow::Drag() {
  ::ReleaseCapture();
  ::SendMessageA(m_hMainWnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void CMainScreenWindow::HideToTray() {
  m_trayIcon.SetDefaultItem(ID_TRAY_RESTORE);
  m_trayIcon.HideWindowToTray(m_hMainWnd);
}

void CMainScreenWindow::MinimizeToTaskbar() {
  m_trayIcon.SetDefaultItem(ID_TRAY_RESTORE);
  ::ShowWindow(m_hMainWnd, SW_MINIMIZE);
}

void CMainScreenWindow::UpdateStartupEntry() {
  static_cast<void>(UpdateStartupValue(m_settings));  // tried again at every start
}

bool CMainScreenWindow::AskNewPassword(const std::string& strCurrent, std::string* pNew) {
  CPasswordDlg dlg(m_settings);
  dlg.m_nMode = PASSWORD_MODE_SET;
  dlg.m_strPassword = strCurrent;
  if (dlg.DoModal(m_hMainWnd) != SCREEN_RESULT_OK) return false;
  *pNew = dlg.m_strPassword;
  return true;
}

bool CMainScreenWindow::AskLogin(const std::string& strStored) {
  return AskLoginPassword(m_settings, strStored, m_hMainWnd) == SCREEN_RESULT_OK;
}

int CMainScreenWindow::AskQuestion(unsigned nTextId, unsigned nCaptionId) {
  return ShowConsoleMessage(m_settings, LoadLocalString(m_settings, nTextId), LoadLocalString(m_settings, nCaptionId),
                            MSGBOX_FLAGS_YESNO, m_hMainWnd);
}

void CMainScreenWindow::BackupSettings() {
  CSettingsCommands(m_settings, m_hMainWnd).Backup();
}

bool CMainScreenWindow::RestoreSettings() {
  return CSettingsCommands(m_settings, m_hMainWnd).Restore();
}

bool CMainScreenWindow::ResetSettings() {
  return CSettingsCommands(m_settings, m_hMainWnd).Reset();
}

void CMainScreenWindow::EndWindow() {
  PostConsoleMessage(m_hMainWnd, EAppMessage::EndMainWindow);
}

void CMainScreenWindow::RunLiveUpdate() {
  if (m_pUpdate) m_pUpdate->RunNow();
}

void CMainScreenWindow::OpenSupportMail() {
  OpenWithShell(m_hMainWnd, kSupportMailLink);
}

bool CMainScreenWindow::EditPermission(int nMode, std::int32_t* pPermission) {
  CAdvSettingsDlg dlg(m_settings);
  dlg.m_nMode = nMode;
  dlg.m_nOption = *pPermission;
  if (dlg.DoModal(m_hMainWnd) != SCREEN_RESULT_OK) return false;
  *pPermission = dlg.m_nOption;
  return true;
}

bool CMainScreenWindow::EditLogSettings(std::string* pPath, std::int32_t* pArchiveOn, std::uint8_t* pPeriod,
                                        bool bArchiveByPolicy) {
  CLogAdvancedDlg dlg(m_settings);
  dlg.m_bArchiveByPolicy = bArchiveByPolicy;
  dlg.m_strLogFilePath = *pPath;
  dlg.m_nArchiveOn = *pArchiveOn;
  dlg.m_bArchivePeriod = *pPeriod;
  if (dlg.DoModal(m_hMainWnd) != SCREEN_RESULT_OK) return false;
  *pPath = dlg.m_strLogFilePath;
  *pArchiveOn = dlg.m_nArchiveOn;
  *pPeriod = dlg.m_bArchivePeriod;
  return true;
}

bool CMainScreenWindow::EditAlertDisplay(std::int32_t* pMail, std::int32_t* pWeb) {
  CLogCustomDlg dlg(m_settings);
  dlg.m_nDisplayMailAlerts = *pMail;
  dlg.m_nDisplayWebAlerts = *pWeb;
  if (dlg.DoModal(m_hMainWnd) != SCREEN_RESULT_OK) return false;
  *pMail = dlg.m_nDisplayMailAlerts;
  *pWeb = dlg.m_nDisplayWebAlerts;
  return true;
}

void CMainScreenWindow::SettingsChanged() {
  if (m_hMainWnd) PostConsoleMessage(m_hMainWnd, EAppMessage::SettingsChanged);
}
