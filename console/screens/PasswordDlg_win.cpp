#include "console/screens/PasswordDlg_win.h"

#include "console/screens/MsgBoxDlg_win.h"
#include "console/settings/Languages_win.h"

namespace {

const SScreenTemplate kPasswordTemplate = {1033, 167, 123, 2013, 0, 0};

}  // namespace

// A close request takes the window away at once; the screen then ends with
// Cancel, so its caller changes nothing.
CPasswordDlg::CPasswordDlg(const CConsoleSettings& settings)
    : CFlashScreenDlg(settings, kPasswordTemplate, EScreenFilter::Modal, ECloseRequest::Destroy),
      m_screen(Flash(), *this) {}

void CPasswordDlg::OnInitScreen() {
  // The control keeps its child-window style: without it the control would leave
  // the dialog's family of windows, and the dialog manager and the key filter would
  // no longer see its keys (Escape, Enter, Tab).
  ::SetWindowTextA(GetSafeHwnd(), LoadLocalString(Settings(), IDS_APP_TITLE).c_str());
  LoadMovie("HWPass", ".hwf");
  m_screen.m_nMode = m_nMode;
  m_screen.m_strPassword = m_strPassword;
  m_screen.SendStartVariables();
  m_nMode = m_screen.m_nMode;
  SendLanguagePair();
}

void CPasswordDlg::PerformReply(const SScreenReply& reply) {
  if (reply.eKind == SScreenReply::End) m_strPassword = m_screen.m_strPassword;
  CFlashScreenDlg::Perform(reply);
}

void CPasswordDlg::OnScreenCommand(const char* szCommand, const char* szArgs) {
  PerformReply(m_screen.OnCommand(szCommand, szArgs));
}

void CPasswordDlg::OnOK() {
  PerformReply(m_screen.OkAction());
}

int CPasswordDlg::ShowMessage(int nTextId, int nCaptionId, int nFlags) {
  return ShowConsoleMessage(Settings(), LoadLocalString(Settings(), nTextId), LoadLocalString(Settings(), nCaptionId),
                            nFlags, GetSafeHwnd());
}

int AskLoginPassword(const CConsoleSettings& settings, const std::string& strStoredPassword, HWND hOwner) {
  CPasswordDlg dialog(settings);
  dialog.m_nMode = PASSWORD_MODE_LOGIN;
  dialog.m_strPassword = strStoredPassword;
  return static_cast<int>(dialog.DoModal(hOwner));
}
