// One client connection of the web proxy, served on its own thread: its requests
// one after another (keep-alive), each checked and then forwarded, answered with
// the block page, or refused; or one CONNECT tunnel.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>

#include "guard/proxy/ProxySockets_win.h"

struct SProxySettings {
  unsigned nListenPort = 0;
  CResolveOverrides resolveOverrides;
  DWORD dwIdleMs = 15000;        // waiting for a client's next request or more of its head
  DWORD dwOriginMs = 30000;      // waiting for the origin to connect or to send more
  DWORD dwTunnelIdleMs = 60000;  // a tunnel with no traffic either way
  // The user's own proxy, which checked requests go on through; else direct.
  bool bUpstream = false;
  SResolvedAddress upstream;
};

void ServeConnection(CCloseSocket client, const sockaddr_storage& peer, const SProxySettings& settings,
                     const std::atomic<bool>& bStopping);
