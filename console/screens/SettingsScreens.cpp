#include "console/screens/SettingsScreens.h"

#include "console/screens/ScreenText.h"

namespace {

const char kMailOption[] = "_root.selectedMailOption";
const char kWebOption[] = "_root.selectedWebOption";
const char kArchiveLog[] = "_root.bArchiveLog";
const char kDayInterval[] = "_root.dayIntervalValue";
const char kLogFileLocation[] = "_root.strSelectedFileLocation";

// The period is an unsigned byte: 300 days keep 44.
std::uint8_t PeriodFrom(const std::string& strValue) {
  return static_cast<std::uint8_t>(ReadDecimalArgument(strValue.c_str()) & 0xFF);
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
    m_nOption = ReadDecimalArgument(m_player.GetVariable(kMailOption).c_str());
  } else if (m_nMode == ADVSET_MODE_SITE) {
    m_nOption = ReadDecimalArgument(m_player.GetVariable(kWebOption).c_str());
  }
  return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_OK);
}

void CLogAdvancedScreen::SendStartVariables() {
  m_player.SetVariable(kArchiveLog, StateForm(m_nArchiveOn));
  m_player.SetVariable(kDayInterval, DecimalText(m_bArchivePeriod));
  m_player.SetVariable(kLogFileLocation, m_strLogFilePath);
}

SScreenReply CLogAdvancedScreen::OnCommand(const char* szCommand, const char* szArgs) {
  if (IsDragCommand(szCommand)) return SScreenReply::Make(SScreenReply::Drag);
  if (IsSameCommand(szCommand, "IDC_FS_dayStepper")) {
    if (!IsUndefinedArgument(szArgs)) m_bArchivePeriod = PeriodFrom(szArgs);
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
  m_strLogFilePath = m_player.GetVariable(kLogFileLocation);
  const std::string strArchive = m_player.GetVariable(kArchiveLog);
  m_nArchiveOn = strArchive.empty() || IsSameCommand(strArchive.c_str(), "false") ? 0 : 1;
  const std::string strDays = m_player.GetVariable(kDayInterval);
  if (!IsUndefinedArgument(strDays.c_str())) m_bArchivePeriod = PeriodFrom(strDays);
  return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_OK);
}
