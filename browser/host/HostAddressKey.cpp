// The key of an address the extension asks about (see HostAddressKey.h).
#include "browser/host/HostAddressKey.h"

#include "engine/WebAddressKey.h"

std::string HostAddressKey(const SHostRequest& request, bool bListedWithoutQuery) {
  const SWebAddress address{request.strHost, request.nPort, request.strPath, request.strQuery};
  return WebAddressKey(address, request.bHttps ? 443 : 80, bListedWithoutQuery);
}
