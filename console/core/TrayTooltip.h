// The tray tooltip of the console: the title, the web guard's status, the
// updater's line and a save that failed. Each part reports its own; a part with
// nothing to say is left out, and one part's report never wipes another's.
#pragma once

#include <string>

struct STrayStatus {
  std::string strWebGuard;
  std::string strUpdate;
  // The reason the last save failed; empty once a save worked.
  std::string strSaveFailure;
};

constexpr const char* kSettingsNotSavedText = "Settings not saved: ";

std::string TrayTooltip(const std::string& strTitle, const STrayStatus& status);
