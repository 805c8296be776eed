// Bytes of any kind as the user's proxy setting: the bypass list (up to the first
// line feed) and the proxy list. Beyond not crashing: the guard's script holds
// nothing of the list but host patterns in quotes, so the quotes pair up and no
// statement of the list's own gets in; an upstream chosen is HOST:PORT.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "guard/ProxyScript.h"
#include "guard/SystemProxySetting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strBytes(reinterpret_cast<const char*>(pData), cbData);
  const std::size_t nBreak = strBytes.find('\n');
  const std::string strBypass = strBytes.substr(0, nBreak);
  const std::string strServer = nBreak == std::string::npos ? std::string() : strBytes.substr(nBreak + 1);

  const std::string strScript = ProxyScriptText(8118, strBypass);
  std::size_t nQuotes = 0;
  for (const char c : strScript) nQuotes += c == '"';
  if (nQuotes % 2 != 0 || strScript.find('\\') != std::string::npos) std::abort();
  // Each entry adds one line of the same shape: "if (...) return "DIRECT";".
  const std::string strPrefix = "function FindProxyForURL(url, host) {\n  host = host.toLowerCase();\n";
  if (strScript.compare(0, strPrefix.size(), strPrefix) != 0) std::abort();
  std::size_t nLine = strPrefix.size();
  while (nLine < strScript.size()) {
    const std::size_t nEnd = strScript.find('\n', nLine);
    if (nEnd == std::string::npos) std::abort();
    const std::string strLine = strScript.substr(nLine, nEnd - nLine);
    const std::string strDirect = ") return \"DIRECT\";";
    const bool bBypass = strLine.compare(0, 6, "  if (") == 0 && strLine.size() >= 6 + strDirect.size() &&
                         strLine.compare(strLine.size() - strDirect.size(), strDirect.size(), strDirect) == 0;
    if (!bBypass && strLine.compare(0, 9, "  return ") != 0 && strLine != "}") std::abort();
    nLine = nEnd + 1;
  }

  SProxySettingValues values;
  values.enable.bPresent = true;
  values.enable.dwType = 4;
  values.enable.strData = std::string("\x01\x00\x00\x00", 4);
  values.server.bPresent = true;
  values.server.dwType = 1;
  values.server.strData = strServer;
  for (const bool bSecure : {false, true}) {
    const std::string strUpstream = UpstreamProxyFor(values, bSecure, 8118);
    if (!strUpstream.empty() && strUpstream.find(':') == std::string::npos) std::abort();
  }
  return 0;
}
