#include "console/screens/LoginCheck_win.h"

#include "console/core/HookwardenApp_win.h"
#include "console/screens/PasswordDlg_win.h"

namespace {

std::function<void()>& OverviewPush() {
  static std::function<void()> pushOverview;
  return pushOverview;
}

}  // namespace

int CPasswordLoginPrompt::AskPassword(const std::string& strStoredPassword) {
  return AskLoginPassword(strStoredPassword);
}

void CPasswordLoginPrompt::PushOverview() {
  if (OverviewPush()) OverviewPush()();
}

void CPasswordLoginPrompt::SetOverviewPush(std::function<void()> pushOverview) {
  OverviewPush() = std::move(pushOverview);
}

bool CheckLogin(int& nIsLogin, const std::string& strStoredPassword) {
  CPasswordLoginPrompt prompt;
  return RunLoginCheck(nIsLogin, strStoredPassword, prompt);
}

bool CheckLogin() {
  COverviewSettings& overview = CHookwardenApp::Current().m_overview;
  int nIsLogin = overview.m_nIsLogin;
  const bool bPassed = CheckLogin(nIsLogin, overview.m_strPassword);
  overview.m_nIsLogin = nIsLogin;
  return bPassed;
}
