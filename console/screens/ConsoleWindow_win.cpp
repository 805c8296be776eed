#include "console/screens/ConsoleWindow_win.h"

#include "shared/BoundaryGuard.h"

namespace {

// The messages whose result is the dialog procedure's return value itself; every
// other takes its result from DWLP_MSGRESULT when the procedure returns TRUE.
bool IsResultReturned(UINT uMsg) {
  return (uMsg >= WM_CTLCOLORMSGBOX && uMsg <= WM_CTLCOLORSTATIC) || uMsg == WM_COMPAREITEM || uMsg == WM_VKEYTOITEM ||
         uMsg == WM_CHARTOITEM || uMsg == WM_QUERYDRAGICON;
}

void StoreDialogResult(HWND hWnd, LONG_PTR nResult) {
  ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, nResult);
}

}  // namespace

CConsoleWindow::~CConsoleWindow() {
  if (m_wnd) ::SetWindowLongPtrA(m_wnd.Get(), GWLP_USERDATA, 0);
}

CConsoleWindow* CConsoleWindow::Attached(HWND hWnd, UINT uMsg, LPARAM lParam, bool bDialog) {
  CConsoleWindow* pNew = nullptr;
  if (bDialog && uMsg == WM_INITDIALOG) pNew = reinterpret_cast<CConsoleWindow*>(lParam);
  if (!bDialog && uMsg == WM_NCCREATE) {
    pNew = static_cast<CConsoleWindow*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
  }
  if (pNew) {
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pNew));
    if (pNew->m_wnd.Get() != hWnd) pNew->m_wnd.Reset(hWnd);
  }
  return reinterpret_cast<CConsoleWindow*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

void CConsoleWindow::Release(HWND hWnd, CConsoleWindow* pThis) {
  ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
  if (pThis->m_wnd.Get() == hWnd) static_cast<void>(pThis->m_wnd.Detach());  // the window is being destroyed
}

INT_PTR CALLBACK CConsoleWindow::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CConsoleWindow* pThis = Attached(hWnd, uMsg, lParam, true);
  if (!pThis) return FALSE;
  INT_PTR nAnswer = FALSE;
  const bool bAnswered = RunGuarded(false, [&] {
    nAnswer = pThis->DispatchDialogMessage(uMsg, wParam, lParam);
    return true;
  });
  if (uMsg == WM_NCDESTROY) Release(hWnd, pThis);
  return bAnswered ? nAnswer : DialogFailureAnswer(hWnd, uMsg);
}

LRESULT CALLBACK CConsoleWindow::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CConsoleWindow* pThis = Attached(hWnd, uMsg, lParam, false);
  if (!pThis) return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
  LRESULT nAnswer = 0;
  const bool bAnswered = RunGuarded(false, [&] {
    if (IsAppMessage(uMsg) && pThis->OnAppMessage(SAppMessage{static_cast<EAppMessage>(uMsg), wParam, lParam})) {
      nAnswer = 0;
    } else {
      nAnswer = pThis->HandleWindowMessage(uMsg, wParam, lParam);
    }
    return true;
  });
  if (uMsg == WM_NCDESTROY) Release(hWnd, pThis);
  return bAnswered ? nAnswer : WindowFailureAnswer(hWnd, uMsg, wParam, lParam);
}

INT_PTR CConsoleWindow::DispatchDialogMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  // Read back below: a handler that sets no result answers 0, not an older one.
  if (IsResultReturned(uMsg)) StoreDialogResult(m_wnd.Get(), 0);
  bool bHandled = false;
  switch (uMsg) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;  // the dialog manager sets the default focus
    case WM_COMMAND:
      bHandled = OnCommand(SCommand{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
      break;
    case WM_TIMER:
      bHandled = OnTimer(static_cast<UINT_PTR>(wParam));
      break;
    case WM_NOTIFY:
      bHandled = lParam != 0 && OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      break;
    default:
      bHandled = IsAppMessage(uMsg) ? OnAppMessage(SAppMessage{static_cast<EAppMessage>(uMsg), wParam, lParam})
                                    : OnMessage(uMsg, wParam, lParam);
      break;
  }
  if (!bHandled) return FALSE;
  return IsResultReturned(uMsg) ? ::GetWindowLongPtrA(m_wnd.Get(), DWLP_MSGRESULT) : TRUE;
}

bool CConsoleWindow::SetDialogResult(LONG_PTR nResult) {
  StoreDialogResult(m_wnd.Get(), nResult);
  return true;
}

LRESULT CConsoleWindow::HandleWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(m_wnd.Get(), uMsg, wParam, lParam);
}

INT_PTR DialogFailureAnswer(HWND hWnd, UINT uMsg) {
  if (uMsg != WM_COPYDATA) return FALSE;
  // The sender reads the result: 0, nothing done.
  StoreDialogResult(hWnd, 0);
  return TRUE;
}

LRESULT WindowFailureAnswer(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_COPYDATA:
      return 0;
    case WM_NCCREATE:
      return FALSE;
    case WM_CREATE:
      return -1;
    default:
      return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
  }
}
