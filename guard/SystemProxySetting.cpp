// The system proxy setting's values (see SystemProxySetting.h).
#include "guard/SystemProxySetting.h"

#include <cstddef>
#include <cstring>

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

SProxySettingValues GuardProxySetting(unsigned nPort, const SProxySettingValues& user,
                                      const std::string& strScriptUrl) {
  SProxySettingValues values;
  values.enable.bPresent = true;
  values.enable.dwType = kRegDword;
  const std::string strGuard = std::string(kGuardAddress) + ":" + std::to_string(nPort);
  if (!strScriptUrl.empty()) {
    // The script decides; the fixed proxy stays the user's but is off, so that a
    // script that cannot be had means direct, not a dead port.
    values.enable.strData = std::string(4, '\0');
    values.server = user.server;
    values.override = user.override;
    values.autoConfig = TextValue(strScriptUrl);
    return values;
  }
  values.enable.strData = std::string("\x01\x00\x00\x00", 4);
  values.server = TextValue(strGuard);
  values.override = TextValue(BypassListWithLocal(user));
  // A script of the user's would win over the fixed proxy: the guard asks it instead.
  return values;
}

std::string BypassListWithLocal(const SProxySettingValues& user) {
  std::string strList = user.override.bPresent ? Trimmed(TextOf(user.override)) : std::string();
  std::size_t nStart = 0;
  while (nStart < strList.size()) {
    std::size_t nEnd = strList.find_first_of("; ", nStart);
    if (nEnd == std::string::npos) nEnd = strList.size();
    if (nEnd - nStart == std::strlen(kGuardProxyOverride) &&
        EqualsIgnoringAsciiCase(strList.c_str() + nStart, kGuardProxyOverride, nEnd - nStart))
      return strList;
    nStart = nEnd + 1;
  }
  while (!strList.empty() && (strList.back() == ';' || strList.back() == ' ')) strList.pop_back();
  return strList.empty() ? std::string(kGuardProxyOverride) : strList + ";" + kGuardProxyOverride;
}

bool IsSameValue(const SRegistryValue& a, const SRegistryValue& b) {
  if (a.bPresent != b.bPresent) return false;
  if (!a.bPresent) return true;
  if (a.dwType != b.dwType) return false;
  return a.dwType == kRegSz ? TextOf(a) == TextOf(b) : a.strData == b.strData;
}

bool IsSameSetting(const SProxySettingValues& a, const SProxySettingValues& b) {
  return IsSameValue(a.enable, b.enable) && IsSameValue(a.server, b.server) && IsSameValue(a.override, b.override) &&
         IsSameValue(a.autoConfig, b.autoConfig);
}

SProxySettingValues SettingToPutBack(const SProxySettingValues& user, const SProxySettingValues& written,
                                     const SProxySettingValues& current) {
  SProxySettingValues back;
  back.enable = IsSameValue(current.enable, written.enable) ? user.enable : current.enable;
  back.server = IsSameValue(current.server, written.server) ? user.server : current.server;
  back.override = IsSameValue(current.override, written.override) ? user.override : current.override;
  back.autoConfig = IsSameValue(current.autoConfig, written.autoConfig) ? user.autoConfig : current.autoConfig;
  return back;
}

bool IsProxyEnabled(const SProxySettingValues& values) {
  const SRegistryValue& enable = values.enable;
  if (!enable.bPresent || (enable.dwType != kRegDword && enable.dwType != kRegBinary) || enable.strData.size() < 4)
    return false;
  return enable.strData.compare(0, 4, std::string(4, '\0')) != 0;
}

std::string UpstreamProxyOf(const SProxySettingValues& values, unsigned nGuardPort) {
  return UpstreamProxyFor(values, false, nGuardPort);
}

std::string UpstreamProxyFor(const SProxySettingValues& values, bool bSecure, unsigned nGuardPort) {
  if (!IsProxyEnabled(values) || !values.server.bPresent) return std::string();
  // "http=HOST:PORT;https=..." names one proxy per protocol; a single entry
  // without "=" serves them all.
  const char* szProtocol = bSecure ? "https" : "http";
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
    } else if (EqualsIgnoringAsciiCase(Trimmed(strEntry.substr(0, nEquals)).c_str(), szProtocol)) {
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

std::string AutoConfigUrlOf(const SProxySettingValues& values) {
  return values.autoConfig.bPresent ? Trimmed(TextOf(values.autoConfig)) : std::string();
}
