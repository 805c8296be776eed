#include "console/screens/MainDlg_win.h"

#include <string>

#include "console/ConsoleResources.h"
#include "console/screens/DialogTemplate_win.h"
#include "console/screens/FlashScreenDlg_win.h"
#include "console/screens/LoginCheck_win.h"
#include "console/screens/MainScreen_win.h"
#include "console/screens/MsgBoxDlg_win.h"
#include "console/screens/SystemTray_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/ListsAndLog_win.h"
#include "console/settings/store/SettingsStore_win.h"

namespace {

// The system menu's about item; system commands 16 to 31 open the box.
constexpr WPARAM kAboutCommand = 16;

// A shared icon of the program's resources: the system keeps it, nothing frees it.
HICON WindowIcon() {
  return ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAINFRAME));
}

}  // namespace

CMainDlg::CMainDlg(CConsoleSettings& settings, IMainDlgHost& host, const SMainDlgParts& parts)
    : m_settings(settings), m_host(host), m_parts(parts) {}

CMainDlg::~CMainDlg() {
  // Before the members go: the window's messages still reach this object.
  m_wnd.Reset();
}

int CMainDlg::Run(bool bStartHidden) {
  m_bStartHidden = bStartHidden;
  // A popup without caption or border, like every screen, but with a taskbar
  // button, the system menu (its about item) and the minimise box.
  CDialogTemplate dialogTemplate(WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT | DS_CENTER, WS_EX_APPWINDOW, 0, 0,
                                 kMainWindowWidthDlu, kMainWindowHeightDlu, "", "MS Sans Serif");
  const HWND hWnd = CreateDialogFromTemplate(dialogTemplate, nullptr, &CMainDlg::DialogProc, CreationParam());
  if (!hWnd) return -1;
  if (m_wnd && !m_bStartHidden) {
    ::ShowWindow(m_wnd.Get(), SW_SHOW);
    ::UpdateWindow(m_wnd.Get());
  }
  MSG msg = {};
  while (m_wnd) {
    const BOOL bGot = ::GetMessageA(&msg, nullptr, 0, 0);
    if (bGot <= 0) break;
    // Right click and the context-menu key do nothing on the movie; F1 opens the help.
    const SFilterDecision decision = FilterScreenMessage(
        msg, m_wnd.Get(), ::GetDlgItem(m_wnd.Get(), kMainFlashControlId), EScreenFilter::MainWindow);
    if (decision.bOpenHelp && m_parts.pScreen) m_parts.pScreen->OpenHelp();
    if (decision.bHandled) continue;
    if (m_wnd && ::IsDialogMessageA(m_wnd.Get(), &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}

void CMainDlg::OnInitDialog() {
  GrowToDisplayScale(m_wnd.Get(), kMainWindowWidthDlu, kMainWindowHeightDlu);
  OnCreate();
  StartUp();
}

bool CMainDlg::OnCommand(const SCommand& command) {
  switch (command.nId) {
    case IDOK:  // Enter and Escape never close the main window
    case IDCANCEL:
      return true;
    case ID_TRAY_EXIT:
      RequestExit();
      return true;
    case ID_TRAY_RESTORE:
      Restore();
      return true;
    case ID_TRAY_HELP:
      if (m_parts.pScreen) m_parts.pScreen->OpenHelp();
      return true;
    default:
      return false;
  }
}

bool CMainDlg::OnTimer(UINT_PTR nTimerId) {
  if (StartedUpdate() && StartedUpdate()->OnTimer(nTimerId)) return true;
  if (nTimerId == kSaveTimerId) {
    SaveChanges();
    return true;
  }
  if (nTimerId != kListFeedTimerId) return false;
  ::KillTimer(m_wnd.Get(), kListFeedTimerId);
  if (m_parts.pListFeed) m_parts.pListFeed->Start();
  return true;
}

bool CMainDlg::OnAppMessage(const SAppMessage& message) {
  switch (message.eMessage) {
    case EAppMessage::SettingsChanged:
      ScheduleSave();
      return true;
    case EAppMessage::TrayNotify:
      if (m_parts.pTrayIcon) m_parts.pTrayIcon->OnNotify(message.wParam, message.lParam);
      return true;
    case EAppMessage::EndMainWindow:
      // Restore and reset: the console ends without the full save.
      m_wnd.Reset();
      return true;
    case EAppMessage::UpdaterOutput:
      if (StartedUpdate()) StartedUpdate()->OnUpdaterOutput();
      return true;
    case EAppMessage::UpdaterEnded:
      if (StartedUpdate()) StartedUpdate()->OnUpdaterEnded(static_cast<DWORD>(message.wParam));
      return true;
    default:
      return false;
  }
}

bool CMainDlg::OnMessage(UINT uMsg, WPARAM wParam, LPARAM) {
  if (StartedUpdate() && StartedUpdate()->OnBroadcast(uMsg)) return true;
  switch (uMsg) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != kAboutCommand) return false;
      if (m_parts.pScreen) m_parts.pScreen->ShowAbout();
      return true;
    case WM_PAINT:
      if (!::IsIconic(m_wnd.Get())) return false;
      PaintIcon();
      return true;
    case WM_QUERYDRAGICON:
      return SetDialogResult(reinterpret_cast<LONG_PTR>(WindowIcon()));
    case WM_CLOSE:
      HideToTray();
      return true;
    case WM_ENDSESSION:
      // Heard here only while the window shows; the request window hears it always.
      if (wParam) EndSession();
      return false;
    case WM_HOOKWARDEN_PRESENT:
      // The shell's tray call during creation lets sent messages in before the
      // start-up is done; only a started window answers 1.
      return SetDialogResult(m_bStartedUp ? 1 : 0);
    case WM_DESTROY:
      OnDestroy();
      return false;
    default:
      return false;
  }
}

void CMainDlg::OnCreate() {
  const std::string strTitle = LoadLocalString(m_settings, IDS_APP_TITLE);
  if (m_parts.pTrayIcon) m_parts.pTrayIcon->Create(m_wnd.Get(), strTitle);
  if (m_bStartHidden && m_parts.pTrayIcon) m_parts.pTrayIcon->SetDefaultItem(ID_TRAY_RESTORE);
  WriteStartupValues(m_settings);
}

void CMainDlg::StartUp() {
  // Requests can arrive from now on.
  const std::string strAbout = LoadBuiltInString(IDS_ABOUTBOX);
  if (const HMENU hSystemMenu = strAbout.empty() ? nullptr : ::GetSystemMenu(m_wnd.Get(), FALSE)) {
    ::AppendMenuA(hSystemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(hSystemMenu, MF_STRING, kAboutCommand, strAbout.c_str());
  }
  ::SendMessageA(m_wnd.Get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(WindowIcon()));
  ::SendMessageA(m_wnd.Get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(WindowIcon()));
  m_host.CreateRequestWindow(m_wnd.Get());
  ::SetWindowTextA(m_wnd.Get(), LoadLocalString(m_settings, IDS_APP_TITLE).c_str());
  CFlashScreenDlg::SetDefaultOwner(m_wnd.Get());
  const CResult unfinishedSave = LoadSettings(m_settings);
  m_bSettingsLoaded = true;
  if (!unfinishedSave.IsOk()) m_host.OnSaveOutcome(unfinishedSave);
  m_host.OnSettingsLoaded();
  if (m_settings.m_overview.m_nLoadSplashScreen != 0) m_splash.Play(m_wnd.Get(), m_settings.GetAppPath());
  if (m_parts.pScreen) {
    m_parts.pScreen->Load(m_wnd.Get());
    m_parts.pScreen->PushOverview();
  }
  RunStartupArchiveCheck(m_settings);
  ::SetTimer(m_wnd.Get(), kListFeedTimerId, kListFeedTimerMs, nullptr);
  static_cast<void>(UpdateStartupValue(m_settings));  // tried again at every start
  if (m_parts.pUpdate) m_parts.pUpdate->Start(m_wnd.Get());
  m_bStartedUp = true;
}

void CMainDlg::PaintIcon() {
  PAINTSTRUCT paint;
  const HDC hDC = ::BeginPaint(m_wnd.Get(), &paint);
  RECT rc;
  ::GetClientRect(m_wnd.Get(), &rc);
  const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(hDC, x, y, WindowIcon());
  ::EndPaint(m_wnd.Get(), &paint);
}

void CMainDlg::HideToTray() {
  if (!m_parts.pTrayIcon) {
    ::ShowWindow(m_wnd.Get(), SW_HIDE);
    return;
  }
  m_parts.pTrayIcon->SetDefaultItem(ID_TRAY_RESTORE);
  m_parts.pTrayIcon->HideWindowToTray(m_wnd.Get());
}

void CMainDlg::Restore() {
  if (!m_parts.pTrayIcon) {
    ::ShowWindow(m_wnd.Get(), SW_RESTORE);
    ::SetForegroundWindow(m_wnd.Get());
    return;
  }
  m_parts.pTrayIcon->RestoreWindowFromTray(m_wnd.Get());
  m_parts.pTrayIcon->SetDefaultItem(ID_TRAY_EXIT);
}

bool CMainDlg::RequestExit() {
  if (!CheckLogin(m_settings)) return false;
  SaveAndEnd(true);
  return true;
}

void CMainDlg::EndSession() {
  // A message box would hold up the shut-down as a login screen would.
  SaveAndEnd(false);
}

void CMainDlg::SaveAndEnd(bool bShowRefusal) {
  if (!m_wnd || m_bEnding) return;
  m_bEnding = true;
  // Whatever leaves this early, a later Exit or session end can still end the console.
  struct SEndingFlag {
    bool& bEnding;
    ~SEndingFlag() { bEnding = false; }
  } endingFlag{m_bEnding};
  // Before the load, the settings in memory are defaults and the stored ones stay
  // as they are: the console simply ends.
  if (m_bSettingsLoaded) {
    m_settings.m_overview.m_nIsLogin = 0;
    const CResult saved = SaveAllSettingsReporting(m_settings);
    if (!saved.IsOk() && bShowRefusal) {
      // The previous settings are still in place; the user learns that this run's
      // changes are lost, and the console still exits.
      ShowConsoleMessage(m_settings, kSaveFailedText + ResultMessage(saved), std::string(), MSGBOX_FLAGS_INFORMATION,
                         m_wnd.Get());
    }
  }
  m_wnd.Reset();
}

void CMainDlg::ScheduleSave() {
  if (!m_wnd) return;
  const ULONGLONG ullNow = ::GetTickCount64();
  if (!m_bSavePending) m_ullFirstUnsaved = ullNow;
  m_bSavePending = true;
  const ULONGLONG ullLatest = m_ullFirstUnsaved + kSaveLatestMs;
  const ULONGLONG ullDue = ullNow + kSaveDelayMs < ullLatest ? ullNow + kSaveDelayMs : ullLatest;
  ::SetTimer(m_wnd.Get(), kSaveTimerId, ullDue > ullNow ? static_cast<UINT>(ullDue - ullNow) : USER_TIMER_MINIMUM,
             nullptr);
}

void CMainDlg::SaveChanges() {
  ::KillTimer(m_wnd.Get(), kSaveTimerId);
  m_bSavePending = false;
  if (!m_bSettingsLoaded) return;
  // What failed stays in memory and the next save, the exit's at the latest,
  // writes it; meanwhile the tray names the failure.
  const CResult saved = SaveAllSettingsReporting(m_settings);
  m_host.OnSaveOutcome(saved);
}

void CMainDlg::OnDestroy() {
  CFlashScreenDlg::SetDefaultOwner(nullptr);
  if (m_parts.pListFeed) m_parts.pListFeed->End();
  if (m_parts.pUpdate) m_parts.pUpdate->End();
  if (m_parts.pTrayIcon) m_parts.pTrayIcon->Remove();
  static_cast<void>(m_wnd.Detach());  // the window is being destroyed
  m_host.OnMainWindowDestroyed();
}
