#include "console/screens/SystemTray_win.h"

#include <cstring>

#include "console/ConsoleResources.h"
#include "console/settings/Languages_win.h"
#include "shared/BoundedCopy.h"

namespace {

constexpr const char* kTrayWindowClass = "HookwardenTrayWnd";
constexpr UINT kMainIconId = IDI_MAINFRAME;
// The work-area part of a setting change.
constexpr WPARAM kWorkAreaSetting = SPI_SETWORKAREA;

// The shell's version-5 record: 488 bytes in a 32-bit build, the same fields in
// 504 bytes in this 64-bit one.
static_assert(NOTIFYICONDATAA_V2_SIZE == (sizeof(void*) == 8 ? 504 : 488), "the version-5 notification record");

// Registered when the program starts, so that the first broadcast is heard.
const UINT g_uTaskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");

ATOM RegisterTrayWindowClass(WNDPROC pfnWindowProc) {
  static const ATOM s_atom = [pfnWindowProc] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = pfnWindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kTrayWindowClass;
    return ::RegisterClassA(&wc);
  }();
  return s_atom;
}

// The process-wide hidden window that a window hidden in the tray is parked
// under, so that it leaves the taskbar; made on first use.
HWND HiddenParent(bool bCreate) {
  static CDestroyWindow s_wnd;
  if (!s_wnd && bCreate) {
    s_wnd.Reset(::CreateWindowExA(0, kTrayWindowClass, "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
  }
  return s_wnd.Get();
}

BOOL CALLBACK FindTrayNotifyArea(HWND hWnd, LPARAM lParam) {
  RECT& rect = *reinterpret_cast<RECT*>(lParam);
  char szClass[32] = {};
  ::GetClassNameA(hWnd, szClass, sizeof(szClass));
  if (std::strcmp(szClass, "TrayNotifyWnd") == 0) {
    ::GetWindowRect(hWnd, &rect);
  } else if (std::strcmp(szClass, "TrayClockWClass") == 0) {
    RECT rectClock;
    ::GetWindowRect(hWnd, &rectClock);
    if (rectClock.bottom < rect.bottom - 5)
      rect.top = rectClock.bottom;  // a vertical taskbar: the clock sits above the icons
    else
      rect.right = rectClock.left;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

RECT GetTrayWndRect() {
  RECT rect = {};
  if (const HWND hShellTray = ::FindWindowA("Shell_TrayWnd", nullptr)) {
    ::GetWindowRect(hShellTray, &rect);
    ::EnumChildWindows(hShellTray, &FindTrayNotifyArea, reinterpret_cast<LPARAM>(&rect));
    return rect;
  }
  APPBARDATA appBar = {};
  appBar.cbSize = sizeof(appBar);
  if (::SHAppBarMessage(ABM_GETTASKBARPOS, &appBar)) {
    rect = appBar.rc;
    if (appBar.uEdge == ABE_LEFT || appBar.uEdge == ABE_RIGHT) {
      rect.top = appBar.rc.bottom - 100;
      rect.bottom = appBar.rc.bottom - 16;
    } else {
      rect.left = appBar.rc.right - 100;
      rect.right = appBar.rc.right - 16;
    }
    return rect;
  }
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0);
  rect.left = rect.right - 150;
  rect.top = rect.bottom - 30;
  return rect;
}

CSystemTray::CSystemTray(const CConsoleSettings& settings) : m_settings(settings) {
  // The version's low byte is the major version; the high bit marks the old
  // Windows line without the extended tray.
  const DWORD dwVersion = ::GetVersion();
  const DWORD dwMajor = LOBYTE(LOWORD(dwVersion));
  m_bEnabled = dwMajor >= 4;
  m_bExtendedFeatures = (dwVersion & 0x80000000) == 0 && dwMajor > 4;
}

CSystemTray::~CSystemTray() {
  RemoveIcon();
}

bool CSystemTray::Create(HWND hMainWnd, const std::string& strTooltip) {
  const HICON hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kMainIconId));
  return Create(hMainWnd, AppMessageNumber(EAppMessage::TrayNotify), strTooltip, hIcon, IDR_TRAYMENU, false,
                STrayBalloon());
}

bool CSystemTray::Create(HWND hOwner, UINT uCallbackMessage, const std::string& strTooltip, HICON hIcon, UINT uId,
                         bool bHidden, const STrayBalloon& balloon) {
  if (!m_bEnabled) return false;
  RegisterTrayWindowClass(&CSystemTray::WindowProc);
  // The window attaches itself to this object while it is made.
  if (!::CreateWindowExA(0, kTrayWindowClass, "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         nullptr, nullptr, ::GetModuleHandleA(nullptr), reinterpret_cast<void*>(CreationParam()))) {
    return false;
  }

  m_nid = NOTIFYICONDATAA();
  m_nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
  m_nid.hWnd = hOwner ? hOwner : m_wnd.Get();
  m_nid.uID = uId;
  m_nid.hIcon = hIcon;
  m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_nid.uCallbackMessage = uCallbackMessage;
  CopyBounded(m_nid.szTip, kTooltipMaxChars + 1, strTooltip.c_str());
  if (m_bExtendedFeatures && balloon.szText) {
    m_nid.uFlags |= NIF_INFO;
    CopyBounded(m_nid.szInfo, kBalloonTextMaxChars + 1, balloon.szText);
    CopyBounded(m_nid.szInfoTitle, kBalloonTitleMaxChars + 1, balloon.szTitle);
    m_nid.uTimeout = balloon.uTimeoutSeconds * 1000;
    m_nid.dwInfoFlags = balloon.dwIconFlags;
  }
  if (m_bExtendedFeatures && bHidden) {
    m_nid.uFlags = NIF_STATE;
    m_nid.dwState = NIS_HIDDEN;
    m_nid.dwStateMask = NIS_HIDDEN;
  }
  m_uCreateFlags = m_nid.uFlags;
  // Without the extended features a hidden icon is not added at all.
  if (bHidden && !m_bExtendedFeatures) return true;
  return AddIcon(m_uCreateFlags);
}

bool CSystemTray::AddIcon(UINT uFlags) {
  m_nid.uFlags = uFlags;
  if (!NotifyIcon(NIM_ADD, m_nid)) {
    m_bRemoved = m_bHidden = m_bAddPending = true;
    return false;
  }
  m_bRemoved = m_bHidden = m_bAddPending = false;
  return true;
}

bool CSystemTray::RemoveIcon() {
  m_bAddPending = false;
  if (!m_bEnabled || m_bRemoved || !m_wnd) return true;
  m_nid.uFlags = 0;
  if (!NotifyIcon(NIM_DELETE, m_nid)) return false;
  m_bRemoved = m_bHidden = true;
  return true;
}

bool CSystemTray::SetTooltip(const std::string& strTooltip) {
  CopyBounded(m_nid.szTip, kTooltipMaxChars + 1, strTooltip.c_str());
  if (!m_bEnabled || m_bRemoved || !m_wnd) return true;
  m_nid.uFlags = NIF_TIP;
  return NotifyIcon(NIM_MODIFY, m_nid);
}

bool CSystemTray::ShowIcon() {
  if (!m_bEnabled || !m_wnd) return false;
  if (!m_bRemoved) RemoveIcon();
  m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  if (!NotifyIcon(NIM_ADD, m_nid)) {
    m_bAddPending = true;
    return false;
  }
  m_bHidden = m_bRemoved = false;
  return true;
}

void CSystemTray::OnTaskbarCreated() {
  if (m_bAddPending) AddIcon(m_uCreateFlags);
  ShowIcon();
}

void CSystemTray::SetMenuDefaultItem(UINT uItem, bool bByPosition) {
  // The menu is loaded afresh each time it opens; it takes the default then.
  m_uDefaultItem = uItem;
  m_bDefaultByPosition = bByPosition;
}

HWND CSystemTray::TargetWnd() const {
  return m_hTarget ? m_hTarget : m_nid.hWnd;
}

UINT CSystemTray::DefaultCommand(HMENU hMenu) const {
  if (!m_bDefaultByPosition) return m_uDefaultItem;
  return hMenu ? ::GetMenuItemID(hMenu, static_cast<int>(m_uDefaultItem)) : 0;
}

void CSystemTray::OnTrayNotification(WPARAM wParam, LPARAM lParam) {
  if (!m_wnd || wParam != m_nid.uID) return;
  const UINT uMouse = LOWORD(lParam);
  if (uMouse != WM_RBUTTONUP && uMouse != WM_LBUTTONDBLCLK) return;
  CDestroyMenu menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nid.uID)));
  if (!menu) return;
  const HMENU hSubMenu = ::GetSubMenu(menu.Get(), 0);
  if (!hSubMenu) return;
  const HWND hTarget = TargetWnd();
  if (uMouse == WM_RBUTTONUP) {
    TranslateMenu(m_settings, menu.Get(), kTrayMenuSection);
    ::SetMenuDefaultItem(hSubMenu, m_uDefaultItem, m_bDefaultByPosition ? TRUE : FALSE);
    POINT pt = {};
    ::GetCursorPos(&pt);
    ::SetForegroundWindow(hTarget);
    ::TrackPopupMenu(hSubMenu, TPM_LEFTBUTTON, pt.x, pt.y, 0, hTarget, nullptr);
    // Lets the menu close when the user clicks elsewhere.
    ::PostMessageA(hTarget, WM_NULL, 0, 0);
    return;
  }
  ::SetForegroundWindow(hTarget);
  ::SendMessageA(hTarget, WM_COMMAND, DefaultCommand(hSubMenu), 0);
}

bool CSystemTray::IsMinimiseAnimationOn() {
  ANIMATIONINFO animation = {};
  animation.cbSize = sizeof(animation);
  ::SystemParametersInfoA(SPI_GETANIMATION, sizeof(animation), &animation, 0);
  return animation.iMinAnimate != 0;
}

void CSystemTray::HideWindowToTray(HWND hWnd) {
  if (IsMinimiseAnimationOn()) {
    RECT rectFrom, rectTo = GetTrayWndRect();
    ::GetWindowRect(hWnd, &rectFrom);
    ::DrawAnimatedRects(hWnd, IDANI_CAPTION, &rectFrom, &rectTo);
  }
  RegisterTrayWindowClass(&CSystemTray::WindowProc);
  ::SetParent(hWnd, HiddenParent(true));
  ::SetWindowLongPtrA(hWnd, GWL_STYLE, ::GetWindowLongPtrA(hWnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE));
}

void CSystemTray::RestoreWindowFromTray(HWND hWnd) {
  if (IsMinimiseAnimationOn()) {
    RECT rectFrom = GetTrayWndRect(), rectTo;
    ::SetParent(hWnd, nullptr);
    ::GetWindowRect(hWnd, &rectTo);
    ::DrawAnimatedRects(hWnd, IDANI_CAPTION, &rectFrom, &rectTo);
  } else {
    ::SetParent(hWnd, nullptr);
  }
  ::SetWindowLongPtrA(hWnd, GWL_STYLE, ::GetWindowLongPtrA(hWnd, GWL_STYLE) | WS_VISIBLE);
  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
  if (const HWND hHidden = HiddenParent(false)) ::SetActiveWindow(hHidden);
  ::SetActiveWindow(hWnd);
  ::SetForegroundWindow(hWnd);
}

bool CSystemTray::NotifyIcon(DWORD dwMessage, NOTIFYICONDATAA& data) {
  return ::Shell_NotifyIconA(dwMessage, &data) != FALSE;
}

LRESULT CSystemTray::HandleWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == g_uTaskbarCreated && g_uTaskbarCreated != 0) {
    OnTaskbarCreated();
    return 0;
  }
  if (uMsg == WM_SETTINGCHANGE && wParam == kWorkAreaSetting) {
    if (m_bAddPending) AddIcon(m_uCreateFlags);
    return 0;
  }
  return CConsoleWindow::HandleWindowMessage(uMsg, wParam, lParam);
}
