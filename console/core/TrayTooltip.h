// The tray tooltip of the console: the title, the web guard's status and the
// updater's line. Each part reports its own; a part with nothing to say is left
// out, and one part's report never wipes another's.
#pragma once

#include <string>

std::string TrayTooltip(const std::string& strTitle, const std::string& strWebGuard, const std::string& strUpdate);
