#include "console/core/RequestWindow_win.h"

#include "console/screens/DialogTemplate_win.h"

bool CRequestWindow::Create(HWND hOwner) {
  // A popup dialog with caption, system menu and modal frame, never shown.
  CDialogTemplate dialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 100, 40,
                                 REQUEST_WINDOW_TITLE);
  // The window attaches itself to this object while it is made; when its owner
  // goes, it goes too, and this object lets go of it.
  if (!CreateDialogFromTemplate(dialogTemplate, hOwner, &CRequestWindow::DialogProc, CreationParam())) return false;
  ::ShowWindow(m_wnd.Get(), SW_HIDE);
  return true;
}

bool CRequestWindow::OnCommand(const SCommand& command) {
  // OK and Cancel do nothing: the window cannot be dismissed by the keyboard.
  return command.nId == IDOK || command.nId == IDCANCEL;
}

bool CRequestWindow::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_QUERYENDSESSION:
      // The console never holds up the end of the session.
      return SetDialogResult(TRUE);
    case WM_ENDSESSION:
      if (wParam && m_onSessionEnd) m_onSessionEnd();
      return true;
    case WM_COPYDATA: {
      // A handler that throws (memory ran out) gets the request blocked by the window base.
      const auto* pCopy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (!pCopy) return false;
      const SDispatchResult result = DispatchRequest(pCopy->dwData, pCopy->lpData, pCopy->cbData, m_handlers);
      if (!result.bHandled) return false;  // default processing answers 0
      return SetDialogResult(result.nVerdict);
    }
    default:
      return false;
  }
}
