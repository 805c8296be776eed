#include "console/screens/LoginCheck_win.h"

#include "console/ConsoleResources.h"
#include "console/screens/MsgBoxDlg_win.h"
#include "console/screens/PasswordDlg_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/ConsoleSettings_win.h"

namespace {

std::function<void()>& OverviewPush() {
  static std::function<void()> pushOverview;
  return pushOverview;
}

}  // namespace

int CPasswordLoginPrompt::AskPassword(const std::string& strStoredPassword) {
  return AskLoginPassword(m_settings, strStoredPassword);
}

void CPasswordLoginPrompt::PushOverview() {
  if (OverviewPush()) OverviewPush()();
}

void CPasswordLoginPrompt::SetOverviewPush(std::function<void()> pushOverview) {
  OverviewPush() = std::move(pushOverview);
}

bool CheckLogin(const CConsoleSettings& settings, int& nIsLogin, const std::string& strStoredPassword) {
  CPasswordLoginPrompt prompt(settings);
  return RunLoginCheck(nIsLogin, strStoredPassword, prompt);
}

bool CheckSettingsLogin(CConsoleSettings& settings) {
  if (settings.m_policies.IsOn(EPolicy::PasswordRequired) && settings.m_overview.m_strPassword.empty()) {
    static_cast<void>(ShowConsoleMessage(settings, LoadLocalString(settings, IDS_PASSWORD_REQUIRED)));
    return false;
  }
  return CheckLogin(settings);
}

bool CheckLogin(CConsoleSettings& settings) {
  // The flag itself: the overview pushed after a login must show it set.
  COverviewSettings& overview = settings.m_overview;
  return CheckLogin(settings, overview.m_nIsLogin, overview.m_strPassword);
}
