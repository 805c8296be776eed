// The console's link to its web guard (see WebGuardLink.h).
#include "guard/WebGuardLink.h"

#include "guard/ProxyScript.h"
#include "guard/SystemProxySetting.h"

std::string GuardStopEventName(unsigned long dwGuardProcessId) {
  return "Local\\HookwdnGuard.Stop." + std::to_string(dwGuardProcessId);
}

std::string GuardCommandLine(const std::string& strGuardPath, unsigned long dwConsoleProcessId, unsigned nPort,
                             const std::string& strUpstream, const std::string& strScriptName) {
  std::string strLine = "\"" + strGuardPath + "\" " + kGuardConsoleOption + " " + std::to_string(dwConsoleProcessId) +
                        " " + kGuardAddress + ":" + std::to_string(nPort);
  // The user's proxy setting is free text; only a plain HOST:PORT goes along.
  if (!strUpstream.empty() && strUpstream.find_first_of(" \t\"") == std::string::npos)
    strLine += std::string(" ") + kProxyUpstreamOption + " " + strUpstream;
  if (IsProxyScriptName(strScriptName)) strLine += std::string(" ") + kGuardScriptOption + " " + strScriptName;
  return strLine;
}
