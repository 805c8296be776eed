// The key of an address the extension asks about (engine/WebAddressKey.h): the
// same text the web guard writes for the same http page.
#pragma once

#include <string>

#include "browser/host/HostMessages.h"

// bListedWithoutQuery: whether the definitions list the address with its query
// emptied.
std::string HostAddressKey(const SHostRequest& request, bool bListedWithoutQuery);
