#include "console/settings/ListsAndLog_win.h"

#include "console/ConsoleResources.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/LogArchive_win.h"

std::string GetPermissionText(const CConsoleSettings& settings, std::int32_t nPermission) {
  const unsigned nId = PermissionStringId(nPermission);
  return nId == 0 ? std::string() : LoadLocalString(settings, nId);
}

void RecountHighRatedEntries(CConsoleSettings& settings) {
  settings.m_overview.m_nNoOfBlockedInstructionsHaveHighRating = settings.m_alertLog.CountEntriesRated(ERating::High);
}

std::string RunStartupArchiveCheck(CConsoleSettings& settings) {
  const SArchiveTexts texts = {LoadLocalString(settings, IDS_APP_TITLE), settings.m_overview.m_strConsoleVersion};
  return RunArchiveCheck(settings.m_alertLog, settings.GetDataPath(), CurrentLocalTime(), texts, settings.m_policies);
}
