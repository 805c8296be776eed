#include "console/screens/MsgBoxDlg_win.h"

#include "console/ConsoleResources.h"
#include "console/settings/Languages_win.h"

namespace {

const SScreenTemplate kMsgBoxTemplate = {1038, 164, 76, 2016, 0, 0};

}  // namespace

CMsgBoxDlg::CMsgBoxDlg(const CConsoleSettings& settings)
    : CFlashScreenDlg(settings, kMsgBoxTemplate, EScreenFilter::Modal, ECloseRequest::CancelAction) {}

void CMsgBoxDlg::OnInitScreen() {
  RECT rc;
  ::GetWindowRect(GetSafeHwnd(), &rc);
  m_screen.SetSize(rc.right - rc.left, rc.bottom - rc.top);
  m_screen.m_strMessageText = m_strMessageText;
  m_screen.m_strCaption = m_strCaption;
  m_screen.m_nFlags = m_nFlags;
  ::SetWindowTextA(GetSafeHwnd(), m_strCaption.c_str());  // for the task switcher
  LoadMovie("HWMsgBx", ".hwf");
  m_screen.SendStartVariables(Flash());
  SendLanguagePair();
}

void CMsgBoxDlg::OnScreenCommand(const char* szCommand, const char* szArgs) {
  const SScreenReply reply = m_screen.OnCommand(szCommand, szArgs);
  if (reply.eKind == SScreenReply::Resize) {
    ResizeScreen(m_screen.Width(), m_screen.Height());
    return;
  }
  Perform(reply);
}

int ShowConsoleMessage(const CConsoleSettings& settings, const std::string& strText, const std::string& strCaption,
                       int nFlags, HWND hOwner) {
  CMsgBoxDlg box(settings);
  box.m_strMessageText = strText;
  box.m_strCaption = strCaption.empty() ? LoadLocalString(settings, IDS_APP_TITLE) : strCaption;
  box.m_nFlags = nFlags;
  return static_cast<int>(box.DoModal(hOwner));
}
