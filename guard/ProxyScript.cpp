// The guard's proxy auto-config script (see ProxyScript.h).
#include "guard/ProxyScript.h"

#include "guard/SystemProxySetting.h"
#include "shared/AsciiCase.h"

namespace {

constexpr std::size_t kMaxScriptNameChars = 32;

bool IsPatternChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '*' ||
         c == '?';
}

// One bypass entry as a host pattern of the script, or empty when it is none:
// a scheme in front and a port behind are dropped (the script decides by host).
std::string HostPatternOf(std::string strEntry) {
  for (char& c : strEntry) c = LowerAsciiChar(c);
  const std::size_t nScheme = strEntry.find("://");
  if (nScheme != std::string::npos) strEntry = strEntry.substr(nScheme + 3);
  const std::size_t nColon = strEntry.find(':');
  if (nColon != std::string::npos && strEntry.find(':', nColon + 1) == std::string::npos)
    strEntry = strEntry.substr(0, nColon);
  if (strEntry.empty()) return std::string();
  for (const char c : strEntry) {
    // Nothing but a host pattern reaches the script's text.
    if (!IsPatternChar(c)) return std::string();
  }
  return strEntry;
}

}  // namespace

bool IsProxyScriptName(const std::string& strName) {
  if (strName.empty() || strName.size() > kMaxScriptNameChars) return false;
  for (const char c : strName) {
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

std::string ProxyScriptPath(const std::string& strName) {
  return "/hookwarden-" + strName + ".pac";
}

std::string ProxyScriptUrl(unsigned nGuardPort, const std::string& strName) {
  return std::string("http://") + kGuardAddress + ":" + std::to_string(nGuardPort) + ProxyScriptPath(strName);
}

std::string ProxyScriptText(unsigned nGuardPort, const std::string& strBypassList) {
  std::string strText = "function FindProxyForURL(url, host) {\n  host = host.toLowerCase();\n";
  std::size_t nStart = 0;
  while (nStart < strBypassList.size()) {
    std::size_t nEnd = strBypassList.find_first_of("; \t", nStart);
    if (nEnd == std::string::npos) nEnd = strBypassList.size();
    const std::string strEntry = strBypassList.substr(nStart, nEnd - nStart);
    nStart = nEnd + 1;
    if (EqualsIgnoringAsciiCase(strEntry.c_str(), kGuardProxyOverride)) {
      strText += "  if (isPlainHostName(host)) return \"DIRECT\";\n";
      continue;
    }
    const std::string strPattern = HostPatternOf(strEntry);
    if (!strPattern.empty()) strText += "  if (shExpMatch(host, \"" + strPattern + "\")) return \"DIRECT\";\n";
  }
  strText += std::string("  return \"PROXY ") + kGuardAddress + ":" + std::to_string(nGuardPort) +
             "; DIRECT\";\n}\n";
  return strText;
}
