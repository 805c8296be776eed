// The web proxy's listening socket: accepts clients and serves each on a worker
// thread kept between connections (see WorkerPool.h), at most kMaxProxyConnections at once and kMaxProxyConnectionsPerProgram
// of one program (see ConnectionSlots.h).
#pragma once

#include "guard/proxy/ProxyOptions.h"
#include "guard/proxy/ProxySession_win.h"

// Enough for a user's browsers with many tunnels and WebSocket connections.
constexpr int kMaxProxyConnections = 512;
constexpr int kMaxProxyConnectionsPerProgram = 384;

// What a program running the proxy adds to its options.
struct SProxyHooks {
  decltype(SProxySettings::chooseUpstream) chooseUpstream;
  decltype(SProxySettings::ownPage) ownPage;
  // How long a stop waits for the connections still served. Those left then
  // are the caller's to end.
  DWORD dwStopWaitMs = 20000;
  // Connections of other users' programs get the own pages only.
  bool bOwnUserOnly = false;
};

// Runs until stopped (Ctrl+C, or options.nSeconds); a failure says why it could not
// start. *pbConnectionsLeft tells whether connections were still served at the end.
CResult RunProxy(const SProxyOptions& options, const SProxyHooks& hooks = SProxyHooks(),
                 bool* pbConnectionsLeft = nullptr);

// Asks a running RunProxy to stop, as Ctrl+C does; safe from any thread.
void RequestProxyStop();
