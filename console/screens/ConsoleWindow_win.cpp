#include "console/screens/ConsoleWindow_win.h"

#include "shared/BoundaryGuard.h"

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
  if (pThis->m_wnd.Get() == hWnd) pThis->m_wnd.Detach();
}

INT_PTR CALLBACK CConsoleWindow::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CConsoleWindow* pThis = Attached(hWnd, uMsg, lParam, true);
  if (!pThis) return FALSE;
  INT_PTR nAnswer = FALSE;
  const bool bAnswered = RunGuarded(false, [&] {
    nAnswer = pThis->HandleMessage(uMsg, wParam, lParam);
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
    nAnswer = pThis->HandleWindowMessage(uMsg, wParam, lParam);
    return true;
  });
  if (uMsg == WM_NCDESTROY) Release(hWnd, pThis);
  return bAnswered ? nAnswer : WindowFailureAnswer(hWnd, uMsg, wParam, lParam);
}

INT_PTR CConsoleWindow::HandleMessage(UINT, WPARAM, LPARAM) {
  return FALSE;
}

LRESULT CConsoleWindow::HandleWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(m_wnd.Get(), uMsg, wParam, lParam);
}

INT_PTR DialogFailureAnswer(HWND hWnd, UINT uMsg) {
  if (uMsg != WM_COPYDATA) return FALSE;
  ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, 0);
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
