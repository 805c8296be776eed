#include "console/core/TrayTooltip.h"

std::string TrayTooltip(const std::string& strTitle, const std::string& strWebGuard, const std::string& strUpdate) {
  std::string strTooltip = strTitle;
  if (!strWebGuard.empty()) strTooltip += " - " + strWebGuard;
  if (!strUpdate.empty()) strTooltip += ": " + strUpdate;
  return strTooltip;
}
