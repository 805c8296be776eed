// The system proxy setting's values (see SystemProxySetting.h).
#include "guard/SystemProxySetting.h"

#include <cstddef>

#include "guard/proxy/HttpFields.h"
#include "shared/AsciiCase.h"

namespace {

constexpr std::uint32_t kRegSz = 1;      // REG_SZ
constexpr std::uint32_t kRegBinary = 3;  // REG_BINARY
constexpr std::uint32_t kRegDword = 4;   // REG_DWORD

SRegistryValue TextValue(const std::string& strText) {
  SRegistryValue value;
  value.bPresent = true;
  value.dwType = kRegSz;
  value.strData = strText;
  return value;
}

// The text up to its first zero byte: a stored text may carry its terminator.
std::string TextOf(const SRegistryValue& value) {
  const std::size_t nZero = value.strData.find('\0');
  return nZero == std::string::npos ? value.strData : value.strData.substr(0, nZero);
}

// "HOST[:PORT]", with an optional "http://" before and a "/" after it; false when
// the host is empty or the port is not 1 to 65535.
bool ParseHostPort(std::string strEntry, std::string* pstrHost, unsigned* pnPort) {
  const std::string strScheme = "http://";
  if (strEntry.size() > strScheme.size() &&
      EqualsIgnoringAsciiCase(strEntry.c_str(), strScheme.c_str(), strScheme.size()))
    strEntry = strEntry.substr(strScheme.size());
  if (!strEntry.empty() && strEntry.back() == '/') strEntry.pop_back();
  std::string strHost = strEntry;
  unsigned nPort = 80;
  const std::size_t nColon = strEntry.rfind(':');
  // An IPv6 address in brackets has colons of its own.
  if (nColon != std::string::npos && strEntry.find(']', nColon) == std::string::npos) {
    strHost = strEntry.substr(0, nColon);
    if (!ParsePort(strEntry.substr(nColon + 1), &nPort)) return false;
  }
  if (strHost.empty() || strHost.find_first_of(" \t/") != std::string::npos) return false;
  *pstrHost = strHost;
  *pnPort = nPort;
  return true;
}

}  // namespace

SProxySettingValues GuardProxySetting(unsigned nPort) {
  SProxySettingValues values;
  values.enable.bPresent = true;
  values.enable.dwType = kRegDword;
  values.enable.strData = std::string("\x01\x00\x00\x00", 4);
  values.server = TextValue(std::string(kGuardAddress) + ":" + std::to_string(nPort));
  values.override = TextValue(kGuardProxyOverride);
  return values;
}

bool IsProxyEnabled(const SProxySettingValues& values) {
  const SRegistryValue& enable = values.enable;
  if (!enable.bPresent || (enable.dwType != kRegDword && enable.dwType != kRegBinary) || enable.strData.size() < 4)
    return false;
  return enable.strData.compare(0, 4, std::string(4, '\0')) != 0;
}

std::string UpstreamProxyOf(const SProxySettingValues& values, unsigned nGuardPort) {
  if (!IsProxyEnabled(values) || !values.server.bPresent) return std::string();
  // "http=HOST:PORT;https=..." names one proxy per protocol; a single entry
  // without "=" serves them all.
  const std::string strServer = TextOf(values.server);
  std::string strChosen;
  bool bFound = false;
  std::size_t nStart = 0;
  while (nStart <= strServer.size() && !bFound) {
    std::size_t nEnd = strServer.find_first_of("; ", nStart);
    if (nEnd == std::string::npos) nEnd = strServer.size();
    const std::string strEntry = Trimmed(strServer.substr(nStart, nEnd - nStart));
    nStart = nEnd + 1;
    const std::size_t nEquals = strEntry.find('=');
    if (nEquals == std::string::npos) {
      if (!strEntry.empty() && strChosen.empty()) strChosen = strEntry;
    } else if (EqualsIgnoringAsciiCase(Trimmed(strEntry.substr(0, nEquals)).c_str(), "http")) {
      strChosen = Trimmed(strEntry.substr(nEquals + 1));
      bFound = true;
    }
  }
  std::string strHost;
  unsigned nPort = 0;
  if (strChosen.empty() || !ParseHostPort(strChosen, &strHost, &nPort)) return std::string();
  const bool bLoopback = strHost == kGuardAddress || EqualsIgnoringAsciiCase(strHost.c_str(), "localhost");
  if (bLoopback && nPort == nGuardPort) return std::string();
  return strHost + ":" + std::to_string(nPort);
}
