// One client connection of the web proxy over sockets: the session of
// ProxySession.h with the proxy's checks, name resolution and origin connections,
// and the bytes of a tunnel both ways.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "guard/proxy/OriginPool.h"
#include "guard/proxy/ProxySockets_win.h"
#include "shared/WorkerPool.h"

struct SProxySettings {
  unsigned nListenPort = 0;
  CResolveOverrides resolveOverrides;
  DWORD dwIdleMs = 15000;        // waiting for a client's next request or more of its head
  DWORD dwWholeHeadMs = 5000;    // a request head, from its first byte to its end
  DWORD dwOriginMs = 30000;      // waiting for the origin to connect or to send more
  DWORD dwTunnelIdleMs = 60000;  // a tunnel with no traffic either way
  // The user's own proxy, which checked requests go on through; else direct.
  bool bUpstream = false;
  SResolvedAddress upstream;
  // When set, the proxy for each request instead (host and tunnel or not): true
  // with *pUpstream for a proxy, false for direct.
  std::function<bool(const std::string& strHost, unsigned nPort, bool bTunnel, SResolvedAddress* pUpstream)>
      chooseUpstream;
  // The proxy's own pages, asked for as "GET /PATH": true with the page's type
  // and body when the path is one of them.
  std::function<bool(const std::string& strPath, std::string* pstrType, std::string* pstrBody)> ownPage;
};

// dwProgram: the client's process as found at accept (0: unknown), named in the
// console's alerts. onIdle(true) while the connection waits for its next request or is a quiet
// tunnel, onIdle(false) when it is busy again. bOwnPagesOnly: the connection
// gets the proxy's own pages and nothing else (it is closed unanswered).
// pPool: origin connections kept for reuse, shared by all connections; pWorkers:
// where a tunnel's second direction runs (null: both on this thread).
void ServeConnection(CCloseSocket client, unsigned long dwProgram, const SProxySettings& settings,
                     COriginPool* pPool, CWorkerPool* pWorkers, const std::atomic<bool>& bStopping,
                     const std::function<void(bool)>& onIdle, bool bOwnPagesOnly = false);
