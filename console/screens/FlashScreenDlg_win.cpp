#include "console/screens/FlashScreenDlg_win.h"

#include "console/screens/DialogTemplate_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/NameCode.h"
#include "console/settings/SeededFolder_win.h"

namespace {

HWND g_hDefaultOwner = nullptr;

}  // namespace

CFlashScreenDlg::CFlashScreenDlg(const CConsoleSettings& settings, const SScreenTemplate& screenTemplate,
                                 EScreenFilter eFilter, ECloseRequest eClose)
    : m_settings(settings), m_template(screenTemplate), m_eFilter(eFilter), m_eClose(eClose) {}

CFlashScreenDlg::~CFlashScreenDlg() {
  // Before the members go: the window's messages still reach this object.
  m_wnd.Reset();
}

void CFlashScreenDlg::SetDefaultOwner(HWND hOwner) {
  g_hDefaultOwner = hOwner;
}

HWND CFlashScreenDlg::GetDefaultOwner() {
  if (g_hDefaultOwner && ::IsWindow(g_hDefaultOwner)) return g_hDefaultOwner;
  return ::GetActiveWindow();
}

INT_PTR CFlashScreenDlg::DoModal(HWND hOwner) {
  if (!hOwner) hOwner = GetDefaultOwner();
  // A popup without caption or border; the hidden buttons are what the dialog
  // manager's Enter and Escape look for.
  CDialogTemplate dialogTemplate(WS_POPUP | DS_SETFONT | m_template.dwExtraStyle, m_template.dwExStyle, 0, 0,
                                 m_template.cx, m_template.cy, "", "MS Sans Serif");
  dialogTemplate.AddControl("BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON, 0, 0, 1, 1);
  dialogTemplate.AddControl("BUTTON", "Cancel", IDCANCEL, BS_PUSHBUTTON, 0, 0, 1, 1);
  m_bEnded = false;
  m_nResult = SCREEN_RESULT_CANCEL;
  const HWND hWnd = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), dialogTemplate.Get(), hOwner,
                                                 &CFlashScreenDlg::DialogProc, CreationParam());
  if (!hWnd) return -1;

  const bool bReEnableOwner = hOwner && ::IsWindowEnabled(hOwner);
  if (bReEnableOwner) ::EnableWindow(hOwner, FALSE);
  if (!m_bEnded && ::IsWindow(hWnd)) {
    if (!PlacesItself()) CentreOverOwner(hOwner);
    ::ShowWindow(hWnd, SW_SHOW);
    ::UpdateWindow(hWnd);
  }
  while (!m_bEnded) {
    MSG msg;
    const BOOL bGot = ::GetMessageA(&msg, nullptr, 0, 0);
    if (bGot <= 0) {
      // The thread is quitting: end the screen and leave the quit for the caller's loop.
      if (bGot == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      EndScreen(SCREEN_RESULT_CANCEL);
      break;
    }
    if (FilterMessage(msg)) continue;
    if (m_wnd.Get() && ::IsDialogMessageA(m_wnd.Get(), &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  // The owner comes back before the screen goes, so that it gets the activation.
  if (bReEnableOwner) ::EnableWindow(hOwner, TRUE);
  if (m_wnd) {
    if (hOwner && ::GetActiveWindow() == m_wnd.Get()) ::SetActiveWindow(hOwner);
    m_wnd.Reset();
  }
  return m_nResult;
}

void CFlashScreenDlg::EndScreen(int nResult) {
  if (m_bEnded) return;
  m_bEnded = true;
  m_nResult = nResult;
  if (m_wnd.Get()) ::PostMessageA(m_wnd.Get(), WM_NULL, 0, 0);  // wakes the modal loop
}

std::string BuildMoviePath(const char* szAppFolder, const char* szScreenName, const char* szExtension) {
  return GetScreenFolder(szAppFolder) + "\\" + EncodeNameCode(szScreenName ? szScreenName : "") +
         (szExtension ? szExtension : "");
}

void CFlashScreenDlg::LoadMovie(const char* szScreenName, const char* szExtension) {
  LoadScreenMovie(m_flash, BuildMoviePath(m_settings.GetAppPath(), szScreenName, szExtension));
}

void CFlashScreenDlg::SendLanguagePair() {
  ::SendLanguagePair(m_flash, m_settings.m_strLanguage);
}

void CFlashScreenDlg::StartDrag() {
  ::ReleaseCapture();
  ::SendMessageA(m_wnd.Get(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void CFlashScreenDlg::Perform(const SScreenReply& reply) {
  switch (reply.eKind) {
    case SScreenReply::Drag:
      StartDrag();
      break;
    case SScreenReply::End:
      EndScreen(reply.nResult);
      break;
    case SScreenReply::Ignored:
    case SScreenReply::Handled:
    case SScreenReply::Resize:  // the screen knows its size and resizes itself
      break;
  }
}

void CFlashScreenDlg::ResizeScreen(int cx, int cy) {
  cx = cx < 0 ? 0 : cx;
  cy = cy < 0 ? 0 : cy;
  ::SetWindowPos(m_wnd.Get(), nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (m_flash.GetWindow()) {
    ::SetWindowPos(m_flash.GetWindow(), nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CFlashScreenDlg::OnFSCommand(const char* szCommand, const char* szArgs) {
  // Copies: the screen may load another movie, which ends the player's texts.
  const std::string strCommand = szCommand ? szCommand : "";
  const std::string strArgs = szArgs ? szArgs : "";
  if (IsDragCommand(strCommand.c_str())) {
    StartDrag();
    return;
  }
  OnScreenCommand(strCommand.c_str(), strArgs.c_str());
}

void CFlashScreenDlg::OnInitDialog() {
  GrowToDisplayScale(m_wnd.Get(), m_template.cx, m_template.cy);
  RECT rc;
  ::GetClientRect(m_wnd.Get(), &rc);
  m_flash.Create(m_wnd.Get(), m_template.wControlId, rc, m_settings.GetAppPath(), this);
  OnInitScreen();
}

bool CFlashScreenDlg::OnCommand(const SCommand& command) {
  if (command.nId == IDOK) {
    OnOK();
    return true;
  }
  if (command.nId == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

bool CFlashScreenDlg::OnMessage(UINT uMsg, WPARAM, LPARAM) {
  switch (uMsg) {
    case WM_CLOSE:
      switch (m_eClose) {
        case ECloseRequest::CancelAction:
          OnCancel();
          break;
        case ECloseRequest::Ignore:
          break;
        case ECloseRequest::Destroy:
          m_wnd.Reset();
          break;
      }
      return true;
    case WM_DESTROY:
      // A screen whose window goes before it ended did not end with OK.
      EndScreen(SCREEN_RESULT_CANCEL);
      return false;
    default:
      return false;
  }
}

int ScaleToDisplay(int nPixels) {
  CDeleteDC info(::CreateICA("DISPLAY", nullptr, nullptr, nullptr));
  const int nDpi = info ? ::GetDeviceCaps(info.Get(), LOGPIXELSY) : 96;
  return ::MulDiv(nPixels, nDpi > 0 ? nDpi : 96, 96);
}

SFilterDecision FilterScreenMessage(MSG& msg, HWND hScreen, HWND hControl, EScreenFilter eFilter) {
  if (!hScreen || (msg.hwnd != hScreen && !::IsChild(hScreen, msg.hwnd))) return SFilterDecision();
  EFilterInput eInput = EFilterInput::Other;
  if (msg.message == WM_RBUTTONDOWN && hControl && (msg.hwnd == hControl || ::IsChild(hControl, msg.hwnd))) {
    eInput = EFilterInput::RightButtonDownOnControl;
  } else if (msg.message == WM_KEYDOWN) {
    if (msg.wParam == VK_APPS) eInput = EFilterInput::ContextKeyDown;
    if (msg.wParam == VK_F1) eInput = EFilterInput::F1KeyDown;
    if (msg.wParam == VK_ESCAPE) eInput = EFilterInput::EscapeKeyDown;
  }
  if (eInput == EFilterInput::Other) return SFilterDecision();
  const SFilterDecision decision = DecideScreenFilter(eFilter, eInput);
  if (decision.bClear) {
    msg.message = WM_NULL;
    msg.wParam = 0;
    msg.lParam = 0;
  }
  return decision;
}

bool CFlashScreenDlg::FilterMessage(MSG& msg) {
  const SFilterDecision decision = FilterScreenMessage(msg, m_wnd.Get(), m_flash.GetWindow(), m_eFilter);
  if (decision.bEndCancel) EndScreen(SCREEN_RESULT_CANCEL);
  if (decision.bOpenHelp) OnHelpKey();
  return decision.bHandled;
}

void CFlashScreenDlg::CentreOverOwner(HWND hOwner) {
  RECT rcScreen;
  ::GetWindowRect(m_wnd.Get(), &rcScreen);
  RECT rcArea;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  const HMONITOR hMonitor = ::MonitorFromWindow(hOwner ? hOwner : m_wnd.Get(), MONITOR_DEFAULTTONEAREST);
  if (::GetMonitorInfoA(hMonitor, &monitor)) {
    rcArea = monitor.rcWork;
  } else {
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
  }
  RECT rcOver = rcArea;
  if (hOwner && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner)) ::GetWindowRect(hOwner, &rcOver);
  const int cx = rcScreen.right - rcScreen.left;
  const int cy = rcScreen.bottom - rcScreen.top;
  int x = (rcOver.left + rcOver.right - cx) / 2;
  int y = (rcOver.top + rcOver.bottom - cy) / 2;
  if (x + cx > rcArea.right) x = rcArea.right - cx;
  if (y + cy > rcArea.bottom) y = rcArea.bottom - cy;
  if (x < rcArea.left) x = rcArea.left;
  if (y < rcArea.top) y = rcArea.top;
  ::SetWindowPos(m_wnd.Get(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
