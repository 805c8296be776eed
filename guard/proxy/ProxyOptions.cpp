// The web proxy's command line (see ProxyOptions.h).
#include "guard/proxy/ProxyOptions.h"

#include <cstring>

#include "shared/AsciiCase.h"
#include "guard/proxy/HttpFields.h"

namespace {

// "[ADDRESS:]PORT"; an IPv6 address in brackets. bAddressRequired: HOST:PORT.
bool ParseHostAndPort(const std::string& strValue, bool bAddressRequired, std::string* pstrAddress, unsigned* pnPort) {
  const std::size_t nColon = strValue.rfind(':');
  std::string strPort = strValue;
  if (nColon != std::string::npos) {
    std::string strAddress = strValue.substr(0, nColon);
    if (strAddress.size() > 2 && strAddress.front() == '[' && strAddress.back() == ']')
      strAddress = strAddress.substr(1, strAddress.size() - 2);
    if (strAddress.empty()) return false;
    *pstrAddress = strAddress;
    strPort = strValue.substr(nColon + 1);
  } else if (bAddressRequired) {
    return false;
  }
  return ParsePort(strPort, pnPort);
}

}  // namespace

bool ParseProxyOptions(int argc, const char* const* argv, int nFirst, SProxyOptions* pOptions, std::string* pstrError) {
  *pOptions = SProxyOptions();
  if (nFirst < argc && argv[nFirst][0] != '-') {
    if (!ParseHostAndPort(argv[nFirst], false, &pOptions->strAddress, &pOptions->nPort)) {
      *pstrError = std::string("not an address and port: ") + argv[nFirst];
      return false;
    }
    ++nFirst;
  }
  for (int i = nFirst; i < argc; i += 2) {
    if (i + 1 >= argc) {
      *pstrError = std::string("a value is missing after ") + argv[i];
      return false;
    }
    const std::string strValue = argv[i + 1];
    if (!std::strcmp(argv[i], "--resolve")) {
      const std::size_t nEquals = strValue.find('=');
      if (nEquals == std::string::npos || nEquals == 0 || nEquals + 1 == strValue.size()) {
        *pstrError = "--resolve takes NAME=ADDRESS";
        return false;
      }
      std::string strName = strValue.substr(0, nEquals);
      for (char& c : strName) c = LowerAsciiChar(c);
      pOptions->resolveOverrides[strName] = strValue.substr(nEquals + 1);
    } else if (!std::strcmp(argv[i], kProxyUpstreamOption)) {
      if (!ParseHostAndPort(strValue, true, &pOptions->strUpstreamHost, &pOptions->nUpstreamPort)) {
        *pstrError = std::string(kProxyUpstreamOption) + " takes HOST:PORT";
        return false;
      }
    } else if (!std::strcmp(argv[i], "--seconds")) {
      unsigned long long nSeconds = 0;
      if (!ParseDecimal(strValue, &nSeconds) || nSeconds == 0 || nSeconds > 86400 * 365) {
        *pstrError = "--seconds takes a number of seconds";
        return false;
      }
      pOptions->nSeconds = static_cast<unsigned>(nSeconds);
    } else {
      *pstrError = std::string("unknown option ") + argv[i];
      return false;
    }
  }
  return true;
}
