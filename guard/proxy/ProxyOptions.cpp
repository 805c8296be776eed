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

CResult Unusable(const std::string& strWhy) {
  return CResult(RESULT_INVALID_PARAMETER, strWhy);
}

}  // namespace

CResultOf<SProxyOptions> ParseProxyOptions(int argc, const char* const* argv, int nFirst) {
  SProxyOptions options;
  if (nFirst < argc && argv[nFirst][0] != '-') {
    if (!ParseHostAndPort(argv[nFirst], false, &options.strAddress, &options.nPort)) {
      return Unusable(std::string("not an address and port: ") + argv[nFirst]);
    }
    ++nFirst;
  }
  for (int i = nFirst; i < argc; i += 2) {
    if (i + 1 >= argc) {
      return Unusable(std::string("a value is missing after ") + argv[i]);
    }
    const std::string strValue = argv[i + 1];
    if (!std::strcmp(argv[i], "--resolve")) {
      const std::size_t nEquals = strValue.find('=');
      if (nEquals == std::string::npos || nEquals == 0 || nEquals + 1 == strValue.size()) {
        return Unusable("--resolve takes NAME=ADDRESS");
      }
      std::string strName = strValue.substr(0, nEquals);
      for (char& c : strName) c = LowerAsciiChar(c);
      options.resolveOverrides[strName] = strValue.substr(nEquals + 1);
    } else if (!std::strcmp(argv[i], kProxyUpstreamOption)) {
      if (!ParseHostAndPort(strValue, true, &options.strUpstreamHost, &options.nUpstreamPort)) {
        return Unusable(std::string(kProxyUpstreamOption) + " takes HOST:PORT");
      }
    } else if (!std::strcmp(argv[i], "--seconds")) {
      unsigned long long nSeconds = 0;
      if (!ParseDecimal(strValue, &nSeconds) || nSeconds == 0 || nSeconds > 86400 * 365) {
        return Unusable("--seconds takes a number of seconds");
      }
      options.nSeconds = static_cast<unsigned>(nSeconds);
    } else {
      return Unusable(std::string("unknown option ") + argv[i]);
    }
  }
  return options;
}
