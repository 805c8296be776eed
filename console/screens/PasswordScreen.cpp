#include "console/screens/PasswordScreen.h"

#include "console/screens/MsgBoxScreen.h"
#include "console/screens/ScreenText.h"
#include "console/settings/NameCode.h"

namespace {

const char kPasswordValue[] = "_root.strPasswordValue";
const char kVerifyPassword[] = "_root.strVerifyPassword";
const char kOldPasswordValue[] = "_root.strOldPasswordValue";

bool HasReadableNameCode(unsigned char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
  return c >= 10 && c <= 99;
}

}  // namespace

bool MatchesStoredPassword(const std::string& strTyped, const std::string& strStoredCode) {
  return IsSameCommand(strTyped.c_str(), DecodeNameCode(strStoredCode.c_str()).c_str());
}

bool IsAcceptableNewPassword(const std::string& strPassword) {
  if (strPassword.size() < 6 || strPassword.size() > 31) return false;
  for (const char c : strPassword) {
    if (c == ' ' || !HasReadableNameCode(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

void CPasswordScreen::SendStartVariables() {
  m_player.SetVariable(kPasswordValue, "");
  m_player.SetVariable(kVerifyPassword, "");
  m_player.SetVariable(kOldPasswordValue, "");
  if (!m_strPassword.empty() && m_nMode == PASSWORD_MODE_SET) m_nMode = PASSWORD_MODE_CHANGE;
  const char* szLabel = m_nMode == PASSWORD_MODE_LOGIN ? "login" : m_nMode == PASSWORD_MODE_SET ? "setps" : "changeps";
  if (m_nMode >= PASSWORD_MODE_LOGIN && m_nMode <= PASSWORD_MODE_CHANGE) m_player.TGotoLabel("_root", szLabel);
}

SScreenReply CPasswordScreen::OnCommand(const char* szCommand, const char*) {
  if (IsDragCommand(szCommand)) return SScreenReply::Make(SScreenReply::Drag);
  if (IsSameCommand(szCommand, "IDC_FS_LoginPassword")) return OkAction();
  if (IsSameCommand(szCommand, "IDC_FS_CancelLoginPassword")) {
    return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_CANCEL);
  }
  return SScreenReply::Make(SScreenReply::Ignored);
}

SScreenReply CPasswordScreen::OkAction() {
  if (m_nMode == PASSWORD_MODE_LOGIN) {
    if (MatchesStoredPassword(m_player.GetVariable(kPasswordValue), m_strPassword)) {
      return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_OK);
    }
    m_messages.ShowMessage(IDS_WRONG_PASSWORD, IDS_LOGIN_ERROR, MSGBOX_FLAGS_INFORMATION);
    m_player.SetVariable(kPasswordValue, "");
    return SScreenReply::Make(SScreenReply::Handled);
  }
  if (m_nMode == PASSWORD_MODE_SET || m_nMode == PASSWORD_MODE_CHANGE) {
    if (!ValidateNewPassword()) {
      ClearFields(true);
      return SScreenReply::Make(SScreenReply::Handled);
    }
    m_strPassword = EncodeNameCode(m_player.GetVariable(kPasswordValue).c_str());
    return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_OK);
  }
  return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_OK);
}

void CPasswordScreen::ClearFields(bool bOld) {
  m_player.SetVariable(kVerifyPassword, "");
  m_player.SetVariable(kPasswordValue, "");
  if (bOld) m_player.SetVariable(kOldPasswordValue, "");
}

bool CPasswordScreen::ValidateNewPassword() {
  const std::string strNew = m_player.GetVariable(kPasswordValue);
  const std::string strVerify = m_player.GetVariable(kVerifyPassword);
  if (!m_strPassword.empty()) {
    if (!MatchesStoredPassword(m_player.GetVariable(kOldPasswordValue), m_strPassword)) {
      m_messages.ShowMessage(IDS_WRONG_OLD_PASSWORD, IDS_PASSWORD_WARNING, MSGBOX_FLAGS_INFORMATION);
      return false;
    }
  }
  if (strNew.empty()) {
    return m_messages.ShowMessage(IDS_BLANK_PASSWORD_QUESTION, IDS_PASSWORD_WARNING, MSGBOX_FLAGS_YESNO) ==
           SCREEN_RESULT_OK;
  }
  if (!IsSameCommand(strNew.c_str(), strVerify.c_str())) {
    m_messages.ShowMessage(IDS_PASSWORD_MISMATCH, IDS_PASSWORD_ERROR, MSGBOX_FLAGS_INFORMATION);
    return false;
  }
  if (IsAcceptableNewPassword(strNew)) return true;
  m_messages.ShowMessage(IDS_PASSWORD_RULES, IDS_PASSWORD_ERROR, MSGBOX_FLAGS_INFORMATION);
  return false;
}
