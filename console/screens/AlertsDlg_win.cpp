#include "console/screens/AlertsDlg_win.h"

#include <algorithm>

#include "console/screens/LoginCheck_win.h"
#include "console/screens/PasswordDlg_win.h"
#include "console/settings/ConsoleSettings_win.h"

namespace {

const SScreenTemplate kAlertTemplate = {1032, 200, 130, 2020, 0, WS_EX_TOPMOST};
const SScreenTemplate kLogCustomTemplate = {1037, 167, 136, 2018, 0, 0};

// The password screen over the alert: owned by the main window it would open
// behind the topmost alert.
class CAlertLoginPrompt : public CPasswordLoginPrompt {
 public:
  CAlertLoginPrompt(const CConsoleSettings& settings, HWND hAlert)
      : CPasswordLoginPrompt(settings), m_settings(settings), m_hAlert(hAlert) {}
  int AskPassword(const std::string& strStoredPassword) override {
    return AskLoginPassword(m_settings, strStoredPassword, m_hAlert);
  }

 private:
  const CConsoleSettings& m_settings;
  HWND m_hAlert;
};

}  // namespace

CAlertsDlg::CAlertsDlg(CConsoleSettings& settings)
    : CFlashScreenDlg(settings, kAlertTemplate, EScreenFilter::Alert, ECloseRequest::CancelAction),
      m_settings(settings),
      m_screen(Flash(), [this] { return CheckLogin(); }) {}

bool CAlertsDlg::CheckLogin() {
  COverviewSettings& overview = m_settings.m_overview;
  CAlertLoginPrompt prompt(m_settings, GetSafeHwnd());
  return RunLoginCheck(overview.m_nIsLogin, overview.m_strPassword, prompt);
}

void CAlertsDlg::OnInitScreen() {
  // The template is topmost already; this keeps it so if the template changes.
  ::SetWindowPos(GetSafeHwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  LoadMovie("HWAlerts", ".hwf");
  m_screen.SendStartVariables();
  PlaceAtCorner();
  m_screen.SendDetails();
  SendLanguagePair();
}

void CAlertsDlg::PlaceAtCorner() {
  RECT rc = {};
  ::GetWindowRect(GetSafeHwnd(), &rc);
  // The corner of the full-screen client area, but never beyond the work area:
  // Wine reports a full-screen height taller than the screen, which would leave
  // the answers below its edge.
  RECT rcWork = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
  const int nRight = std::min<int>(::GetSystemMetrics(SM_CXFULLSCREEN), rcWork.right);
  const int nBottom = std::min<int>(::GetSystemMetrics(SM_CYFULLSCREEN), rcWork.bottom);
  const int nLeft = nRight - (rc.right - rc.left);
  const int nTop = nBottom - (rc.bottom - rc.top);
  ::SetWindowPos(GetSafeHwnd(), nullptr, nLeft, nTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CAlertsDlg::GrowForMoreInfo() {
  const int nGrowth = ScaleToDisplay(kAlertMoreInfoGrowth);
  RECT rc = {};
  ::GetWindowRect(GetSafeHwnd(), &rc);
  ::SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top + nGrowth,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (HWND hControl = Flash().GetWindow()) {
    ::GetWindowRect(hControl, &rc);
    ::SetWindowPos(hControl, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top + nGrowth,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  PlaceAtCorner();
}

void CAlertsDlg::OnScreenCommand(const char* szCommand, const char* szArgs) {
  const SScreenReply reply = m_screen.OnCommand(szCommand, szArgs);
  if (reply.eKind == SScreenReply::Resize) {
    GrowForMoreInfo();
    return;
  }
  Perform(reply);
}

CLogCustomDlg::CLogCustomDlg(const CConsoleSettings& settings)
    : CFlashScreenDlg(settings, kLogCustomTemplate, EScreenFilter::Modal, ECloseRequest::CancelAction),
      m_screen(Flash()) {}

void CLogCustomDlg::OnInitScreen() {
  LoadMovie("HWLogCstm", ".hwf");
  m_screen.m_nDisplayMailAlerts = m_nDisplayMailAlerts;
  m_screen.m_nDisplayWebAlerts = m_nDisplayWebAlerts;
  m_screen.SendStartVariables();
  SendLanguagePair();
}

void CLogCustomDlg::OnScreenCommand(const char* szCommand, const char* szArgs) {
  const SScreenReply reply = m_screen.OnCommand(szCommand, szArgs);
  if (reply.eKind == SScreenReply::End && reply.nResult == SCREEN_RESULT_OK) {
    m_nDisplayMailAlerts = m_screen.m_nDisplayMailAlerts;
    m_nDisplayWebAlerts = m_screen.m_nDisplayWebAlerts;
  }
  Perform(reply);
}
