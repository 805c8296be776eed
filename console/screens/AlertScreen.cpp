#include "console/screens/AlertScreen.h"

#include "console/screens/ScreenText.h"

namespace {

constexpr const char* kSourceMatchType = "From";

}  // namespace

std::string FillAlertToolTip(std::string strText, const std::string& strValue) {
  const std::size_t nAt = strText.find("%s");
  if (nAt != std::string::npos) strText.replace(nAt, 2, strValue);
  return strText;
}

std::string AlertSpamLabel(const std::string& strMatchType) {
  if (strMatchType == kSourceMatchType) return "Phishing e-mail Source Address";
  return "Phishing e-mail " + strMatchType;
}

std::string AlertRememberLabel(const std::string& strMatchType) {
  if (strMatchType == kSourceMatchType) return "an email from this Phishing Source Address";
  return "this " + AlertSpamLabel(strMatchType);
}

void CAlertScreen::SendStartVariables() {
  m_player.SetVariable("_root.bRememberAnswer", "");
  m_player.SetVariable("_root.strToolTip", m_fields.strToolTip);
  if (m_fields.nBlockOnly) m_player.SetVariable("_root.bBlockOnly", StateForm(1));
}

void CAlertScreen::SendDetails() {
  const SAlertFields& f = m_fields;
  if (f.nAlertKind == ALERT_KIND_MAIL) {
    m_player.SetVariable("_root.strPopupName", "SpamMail");
    m_player.SetVariable("_root.strSpamType", AlertSpamLabel(f.strMatchType) + " :");
    m_player.SetVariable("_root.strStrictedData", f.strStrictedData);
    m_player.SetVariable("_root.strFrom", f.strFrom);
    m_player.SetVariable("_root.strTo", f.strTo);
    m_player.SetVariable("_root.strSubject", f.strSubject);
    m_player.SetVariable("_root.strApplication", f.strApplication);
    m_player.SetVariable("_root.strDateTime", f.strDateTime);
    m_player.SetVariable("_root.strProtocol", f.strProtocol);
    m_player.SetVariable("_root.strAttachment", f.strAttachment);
    m_player.SetVariable("_root.strRememberAnswer", AlertRememberLabel(f.strMatchType));
  } else if (f.nAlertKind == ALERT_KIND_WEB) {
    m_player.SetVariable("_root.strPopupName", "SpamWebsite");
    m_player.SetVariable("_root.strScamSite", f.strScamSite);
    m_player.SetVariable("_root.strSpamType", "Phishing Website");
    m_player.SetVariable("_root.strStrictedData", f.strStrictedData);
    m_player.SetVariable("_root.strIPAddress", f.strIPAddress);
    m_player.SetVariable("_root.strApplication", f.strApplication);
    m_player.SetVariable("_root.strDateTime", f.strDateTime);
    m_player.SetVariable("_root.strProtocol", f.strProtocol);
  }
}

SScreenReply CAlertScreen::OnCommand(const char* szCommand, const char* /*szArgs*/) {
  if (IsDragCommand(szCommand)) return SScreenReply::Make(SScreenReply::Drag);
  if (IsSameCommand(szCommand, "IDC_FS_MoreInfo")) return SScreenReply::Make(SScreenReply::Resize);
  if (IsSameCommand(szCommand, "IDC_FS_ALLOW")) return AllowAction();
  if (IsSameCommand(szCommand, "IDC_FS_BLOCK")) return BlockAction();
  return SScreenReply::Make(SScreenReply::Ignored);
}

std::int32_t CAlertScreen::ReadRememberAnswer() {
  return IsSameCommand(m_player.GetVariable("_root.bRememberAnswer").c_str(), "true") ? 1 : 0;
}

SScreenReply CAlertScreen::AnswerAction(int nResult) {
  const bool bNeedsLogin = nResult == SCREEN_RESULT_OK || ReadRememberAnswer() == 1;
  if (bNeedsLogin && !m_checkLogin()) return SScreenReply::Make(SScreenReply::Handled);
  // Read after the login check: the box may have changed while the password was asked.
  m_fields.nRememberAnswer = ReadRememberAnswer();
  return SScreenReply::Make(SScreenReply::End, nResult);
}

void CLogCustomScreen::SendStartVariables() {
  m_player.SetVariable("_root.displayTypeAlert", DecimalText(m_nDisplayMailAlerts));
  // The mail flag alone cannot tell "all" from "mail only" or "none" from "web
  // only": the movie's choice shows what both flags say.
  const char* szShown =
      m_nDisplayMailAlerts ? (m_nDisplayWebAlerts ? "all" : "mail") : (m_nDisplayWebAlerts ? "web" : "none");
  m_player.SetVariable("_root.strShownAlerts", szShown);
}

SScreenReply CLogCustomScreen::OnCommand(const char* szCommand, const char* /*szArgs*/) {
  if (IsDragCommand(szCommand)) return SScreenReply::Make(SScreenReply::Drag);
  if (IsSameCommand(szCommand, "IDC_FS_CANCEL")) return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_CANCEL);
  if (IsSameCommand(szCommand, "IDC_FS_OK")) return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_OK);
  if (IsSameCommand(szCommand, "IDC_FS_DisplayMailAlert")) {
    m_nDisplayMailAlerts = 1;
    m_nDisplayWebAlerts = 0;
  } else if (IsSameCommand(szCommand, "IDC_FS_DisplayWebAlert")) {
    m_nDisplayWebAlerts = 1;
    m_nDisplayMailAlerts = 0;
  } else if (IsSameCommand(szCommand, "IDC_FS_checkAllAlerts")) {
    m_nDisplayMailAlerts = m_nDisplayWebAlerts = 1;
  } else if (IsSameCommand(szCommand, "IDC_FS_clearAllAlerts")) {
    m_nDisplayMailAlerts = m_nDisplayWebAlerts = 0;
  } else {
    return SScreenReply::Make(SScreenReply::Ignored);
  }
  return SScreenReply::Make(SScreenReply::Handled);
}
