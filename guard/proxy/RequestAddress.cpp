// The addresses of proxy requests (see RequestAddress.h).
#include "guard/proxy/RequestAddress.h"

#include "shared/AsciiCase.h"

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

std::string ShownWebAddress(const SProxyRequest& request) {
  SWebAddress shown = RequestWebAddress(request);
  shown.strQuery.clear();
  shown = NormalizeWebAddress(shown);
  std::string strShown = shown.strHost;
  if (!request.bConnect) {
    if (request.nPort != 80) strShown += ":" + std::to_string(request.nPort);
    if (shown.strPath != "/") strShown += shown.strPath;
  }
  if (strShown.compare(0, 4, "www.") == 0) strShown.erase(0, 4);
  for (char& c : strShown) c = LowerAsciiChar(c);
  return strShown;
}
