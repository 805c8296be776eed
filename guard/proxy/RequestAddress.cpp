// The addresses of proxy requests (see RequestAddress.h).
#include "guard/proxy/RequestAddress.h"

#include "engine/WebAddressKey.h"

namespace {

// The proxy takes requests in absolute form for http only (https comes as a tunnel).
constexpr unsigned short kHttpPort = 80;

}  // namespace

SWebAddress RequestWebAddress(const SProxyRequest& request) {
  SWebAddress address;
  address.strHost = request.strHost;
  address.nPort = static_cast<unsigned short>(request.nPort);
  if (request.bConnect) return address;
  const std::size_t nQuery = request.strTarget.find('?');
  address.strPath = request.strTarget.substr(0, nQuery);
  if (nQuery != std::string::npos) address.strQuery = request.strTarget.substr(nQuery + 1);
  return address;
}

std::string ShownWebAddress(const SProxyRequest& request, bool bListedWithoutQuery) {
  SWebAddress address = RequestWebAddress(request);
  if (request.bConnect) address.nPort = 0;
  return WebAddressKey(address, kHttpPort, bListedWithoutQuery);
}
