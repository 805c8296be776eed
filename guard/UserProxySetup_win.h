// The user's own proxy setup as the guard follows it: the copy of the user's
// setting that the console keeps while the system setting points at the guard,
// read again now and then (a change the user or another program makes meanwhile
// becomes the kept copy), and from it the proxy each request goes on through
// (the per-protocol entry, or what the user's auto-config script answers) and the
// guard's own auto-config script.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "guard/SystemProxySetting.h"
#include "guard/proxy/ProxySockets_win.h"

class CUserProxySetup {
 public:
  // strScriptName: the name of the guard's script (see ProxyScript.h); empty when
  // it serves none.
  CUserProxySetup(unsigned nGuardPort, std::string strScriptName, CResolveOverrides overrides);

  // Reads the kept copy again; a copy that is gone leaves the last one in force.
  void Refresh();

  // The upstream proxy for a request to strHost:nPort (bTunnel: a CONNECT); false:
  // direct. Safe from any thread.
  bool ChooseUpstream(const std::string& strHost, unsigned nPort, bool bTunnel, SResolvedAddress* pUpstream);
  // The guard's script when strPath is its path.
  bool OwnPage(const std::string& strPath, std::string* pstrType, std::string* pstrBody);

 private:
  // "HOST:PORT" of the proxy the user's script names for the address; empty:
  // direct, or the script could not be had.
  std::string AskUserScript(const std::string& strScriptUrl, const std::string& strAddress, bool* pbAnswered);

  const unsigned m_nGuardPort;
  const std::string m_strScriptName;
  const CResolveOverrides m_overrides;
  std::mutex m_mutex;
  SProxySettingValues m_user;
  // The upstream chosen per scheme and host, kept for a while: asking a script,
  // and resolving the proxy's name, for every request would cost too much.
  struct SChoice {
    bool bUpstream = false;
    SResolvedAddress upstream;
    unsigned long long ullUntil = 0;
  };
  std::map<std::string, SChoice> m_choices;
};
