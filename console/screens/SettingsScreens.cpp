#include "console/screens/SettingsScreens.h"

#include "console/screens/ScreenText.h"
#include "console/settings/PermissionLists.h"

namespace {

const char kMailOption[] = "_root.selectedMailOption";
const char kWebOption[] = "_root.selectedWebOption";
const char kArchiveLog[] = "_root.bArchiveLog";
const char kDayInterval[] = "_root.dayIntervalValue";
const char kArchiveByPolicy[] = "_root.bArchiveByPolicy";
const char kLogFileLocation[] = "_root.strSelectedFileLocation";

// The period is an unsigned byte: 300 days keep 44. A text without a number, or
// one that leaves 0 days, keeps the period.
void TakePeriod(const char* szValue, std::uint8_t* pPeriod) {
  int nDays = 0;
  if (IsUndefinedArgument(szValue) || !ReadDecimalNumber(szValue, &nDays)) return;
  const auto bDays = static_cast<std::uint8_t>(nDays & 0xFF);
  if (bDays != 0) *pPeriod = bDays;
}

// A permission the movie gives: Allow, Block or Ask; anything else keeps the
// current one, so that a missing value never turns into Allow.
void TakePermission(const std::string& strValue, int* pOption) {
  int nValue = 0;
  if (ReadDecimalNumber(strValue.c_str(), &nValue) && nValue >= PERMISSION_ALLOW && nValue <= PERMISSION_ASK) {
    *pOption = nValue;
  }
}

}  // namespace

void CAdvSettingsScreen::SendStartVariables() {
  if (m_nMode == ADVSET_MODE_MAIL) {
    m_player.TGotoLabel("_root", "mailProtection");
    m_player.SetVariable(kMailOption, DecimalText(m_nOption));
  } else if (m_nMode == ADVSET_MODE_SITE) {
    m_player.TGotoLabel("_root", "siteBlocking");
    m_player.SetVariable(kWebOption, DecimalText(m_nOption));
  }
}

SScreenReply CAdvSettingsScreen::OnCommand(const char* szCommand, const char*) {
  if (IsDragCommand(szCommand)) return SScreenReply::Make(SScreenReply::Drag);
  if (IsSameCommand(szCommand, "IDC_FS_OK")) return OkAction();
  if (IsSameCommand(szCommand, "IDC_FS_Cancel")) return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_CANCEL);
  return SScreenReply::Make(SScreenReply::Ignored);
}

SScreenReply CAdvSettingsScreen::OkAction() {
  if (m_nMode == ADVSET_MODE_MAIL) {
    TakePermission(m_player.GetVariable(kMailOption), &m_nOption);
  } else if (m_nMode == ADVSET_MODE_SITE) {
    TakePermission(m_player.GetVariable(kWebOption), &m_nOption);
  }
  return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_OK);
}

void CLogAdvancedScreen::SendStartVariables() {
  m_player.SetVariable(kArchiveLog, StateForm(m_nArchiveOn));
  m_player.SetVariable(kDayInterval, DecimalText(m_bArchivePeriod));
  m_player.SetVariable(kLogFileLocation, m_strLogFilePath);
  m_player.SetVariable(kArchiveByPolicy, StateForm(m_bArchiveByPolicy ? 1 : 0));
}

SScreenReply CLogAdvancedScreen::OnCommand(const char* szCommand, const char* szArgs) {
  if (IsDragCommand(szCommand)) return SScreenReply::Make(SScreenReply::Drag);
  const bool bArchiveCommand = IsSameCommand(szCommand, "IDC_FS_dayStepper") ||
                               IsSameCommand(szCommand, "IDC_FS_bArchiveLog_TRUE") ||
                               IsSameCommand(szCommand, "IDC_FS_bArchiveLog_FALSE");
  if (bArchiveCommand && m_bArchiveByPolicy) return SScreenReply::Make(SScreenReply::Handled);
  if (IsSameCommand(szCommand, "IDC_FS_dayStepper")) {
    TakePeriod(szArgs, &m_bArchivePeriod);
    return SScreenReply::Make(SScreenReply::Handled);
  }
  if (IsSameCommand(szCommand, "IDC_FS_bArchiveLog_TRUE")) {
    m_nArchiveOn = 1;
    return SScreenReply::Make(SScreenReply::Handled);
  }
  if (IsSameCommand(szCommand, "IDC_FS_bArchiveLog_FALSE")) {
    m_nArchiveOn = 0;
    return SScreenReply::Make(SScreenReply::Handled);
  }
  if (IsSameCommand(szCommand, "IDC_FS_Browse")) {
    std::string strPath;
    if (m_chooser.ChooseLogFile(&strPath)) {
      m_strLogFilePath = strPath;
      m_player.SetVariable(kLogFileLocation, strPath);
    }
    return SScreenReply::Make(SScreenReply::Handled);
  }
  if (IsSameCommand(szCommand, "IDC_FS_OK")) return OkAction();
  if (IsSameCommand(szCommand, "IDC_FS_CANCEL")) return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_CANCEL);
  return SScreenReply::Make(SScreenReply::Ignored);
}

SScreenReply CLogAdvancedScreen::OkAction() {
  // An empty path is no log file: the current one stays.
  const std::string strPath = m_player.GetVariable(kLogFileLocation);
  if (!strPath.empty()) m_strLogFilePath = strPath;
  if (m_bArchiveByPolicy) return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_OK);
  const std::string strArchive = m_player.GetVariable(kArchiveLog);
  m_nArchiveOn = strArchive.empty() || IsSameCommand(strArchive.c_str(), "false") ? 0 : 1;
  TakePeriod(m_player.GetVariable(kDayInterval).c_str(), &m_bArchivePeriod);
  return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_OK);
}
