#include "console/screens/SettingsDlgs_win.h"

#include <commdlg.h>

#include <vector>

#include "shared/BoundedCopy.h"

namespace {

const SScreenTemplate kAdvSettingsTemplate = {1034, 167, 155, 2017, 0, 0};
const SScreenTemplate kLogAdvancedTemplate = {1036, 167, 155, 2019, 0, 0};

constexpr char kLogFileFilter[] = "Log file(*.log)\0*.log\0\0";
constexpr const char* kLogFileExtension = "log";
constexpr const char* kLogFileDefaultName = "NewCVHookwarden.log";

}  // namespace

// A close request takes the window away at once and ends the screen with
// Cancel, so its caller changes nothing.
CAdvSettingsDlg::CAdvSettingsDlg(const CConsoleSettings& settings)
    : CFlashScreenDlg(settings, kAdvSettingsTemplate, EScreenFilter::Modal, ECloseRequest::Destroy),
      m_screen(Flash()) {}

void CAdvSettingsDlg::OnInitScreen() {
  LoadMovie("HWAdvSet", ".hwf");
  m_screen.m_nMode = m_nMode;
  m_screen.m_nOption = m_nOption;
  m_screen.SendStartVariables();
  SendLanguagePair();
}

void CAdvSettingsDlg::PerformReply(const SScreenReply& reply) {
  if (reply.eKind == SScreenReply::End && reply.nResult == SCREEN_RESULT_OK) m_nOption = m_screen.m_nOption;
  Perform(reply);
}

void CAdvSettingsDlg::OnScreenCommand(const char* szCommand, const char* szArgs) {
  PerformReply(m_screen.OnCommand(szCommand, szArgs));
}

void CAdvSettingsDlg::OnOK() {
  PerformReply(m_screen.OkAction());
}

// The log settings screen ignores a close request.
CLogAdvancedDlg::CLogAdvancedDlg(const CConsoleSettings& settings)
    : CFlashScreenDlg(settings, kLogAdvancedTemplate, EScreenFilter::Modal, ECloseRequest::Ignore),
      m_screen(Flash(), *this) {}

void CLogAdvancedDlg::OnInitScreen() {
  LoadMovie("HWLogAdv", ".hwf");
  m_screen.m_strLogFilePath = m_strLogFilePath;
  m_screen.m_nArchiveOn = m_nArchiveOn;
  m_screen.m_bArchivePeriod = m_bArchivePeriod;
  m_screen.m_bArchiveByPolicy = m_bArchiveByPolicy;
  m_screen.SendStartVariables();
  SendLanguagePair();
}

void CLogAdvancedDlg::PerformReply(const SScreenReply& reply) {
  if (reply.eKind == SScreenReply::End && reply.nResult == SCREEN_RESULT_OK) {
    m_strLogFilePath = m_screen.m_strLogFilePath;
    m_nArchiveOn = m_screen.m_nArchiveOn;
    m_bArchivePeriod = m_screen.m_bArchivePeriod;
  }
  Perform(reply);
}

void CLogAdvancedDlg::OnScreenCommand(const char* szCommand, const char* szArgs) {
  PerformReply(m_screen.OnCommand(szCommand, szArgs));
}

void CLogAdvancedDlg::OnOK() {
  PerformReply(m_screen.OkAction());
}

bool CLogAdvancedDlg::ChooseLogFile(std::string* pPath) {
  std::vector<char> path(4096, 0);
  CopyBounded(path.data(), path.size(), kLogFileDefaultName);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = GetSafeHwnd();
  ofn.lpstrFilter = kLogFileFilter;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.lpstrDefExt = kLogFileExtension;
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  if (!::GetSaveFileNameA(&ofn)) return false;
  *pPath = path.data();
  return true;
}
