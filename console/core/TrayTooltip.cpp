#include "console/core/TrayTooltip.h"

std::string TrayTooltip(const std::string& strTitle, const STrayStatus& status) {
  std::string strTooltip = strTitle;
  // First after the title: the tooltip has room for 127 characters only.
  if (!status.strSaveFailure.empty()) strTooltip += " - " + std::string(kSettingsNotSavedText) + status.strSaveFailure;
  if (!status.strWebGuard.empty()) strTooltip += " - " + status.strWebGuard;
  if (!status.strUpdate.empty()) strTooltip += ": " + status.strUpdate;
  return strTooltip;
}
