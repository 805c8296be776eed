#include "console/core/RequestWindow_win.h"

#include "console/screens/DialogTemplate_win.h"

bool CRequestWindow::Create(HWND hOwner) {
  // A popup dialog with caption, system menu and modal frame, never shown.
  CDialogTemplate dialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 100, 40,
                                 REQUEST_WINDOW_TITLE);
  m_wnd.Reset(
      CreateDialogFromTemplate(dialogTemplate, hOwner, &CRequestWindow::DialogProc, reinterpret_cast<LPARAM>(this)));
  if (!m_wnd) return false;
  ::ShowWindow(m_wnd.Get(), SW_HIDE);
  return true;
}

INT_PTR CALLBACK CRequestWindow::DialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_INITDIALOG:
      ::SetWindowLongPtrA(hDlg, GWLP_USERDATA, lParam);
      return TRUE;
    case WM_NCDESTROY: {
      // Destroyed with its owner, the main window: the owner object must not
      // destroy it a second time.
      auto* pThis = reinterpret_cast<CRequestWindow*>(::GetWindowLongPtrA(hDlg, GWLP_USERDATA));
      if (pThis) pThis->m_wnd.Detach();
      return FALSE;
    }
    case WM_COMMAND:
      // OK and Cancel do nothing: the window cannot be dismissed by the keyboard.
      return (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ? TRUE : FALSE;
    case WM_QUERYENDSESSION:
      // The console never holds up the end of the session.
      ::SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_ENDSESSION: {
      auto* pThis = reinterpret_cast<CRequestWindow*>(::GetWindowLongPtrA(hDlg, GWLP_USERDATA));
      if (wParam && pThis && pThis->m_onSessionEnd) pThis->m_onSessionEnd();
      return TRUE;
    }
    case WM_COPYDATA: {
      auto* pThis = reinterpret_cast<CRequestWindow*>(::GetWindowLongPtrA(hDlg, GWLP_USERDATA));
      const auto* pCopy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (!pThis || !pCopy) return FALSE;
      const SDispatchResult result = DispatchRequest(pCopy->dwData, pCopy->lpData, pCopy->cbData, pThis->m_handlers);
      if (!result.bHandled) return FALSE;  // default processing answers 0
      ::SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, result.nVerdict);
      return TRUE;
    }
    default:
      return FALSE;
  }
}
