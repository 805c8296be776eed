#include "console/settings/ListsAndLog_win.h"

#include "console/ConsoleResources.h"
#include "console/core/HookwardenApp_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/LogArchive_win.h"

std::string GetPermissionText(std::int32_t nPermission) {
  const unsigned nId = PermissionStringId(nPermission);
  return nId == 0 ? std::string() : LoadLocalString(nId);
}

void RecountHighRatedEntries(CHookwardenApp& app) {
  app.m_overview.m_nNoOfBlockedInstructionsHaveHighRating =
      app.m_alertLog.CountEntriesRated(LoadLocalString(IDS_RATING_HIGH).c_str());
}

std::string RunStartupArchiveCheck(CHookwardenApp& app) {
  const SArchiveTexts texts = {LoadLocalString(IDS_APP_TITLE), app.m_overview.m_strConsoleVersion};
  return RunArchiveCheck(app.m_alertLog, app.GetAppPath(), CurrentLocalTime(), texts);
}
