// The web proxy's listening socket: accepts clients and serves each on its own
// thread, at most kMaxProxyConnections at once.
#pragma once

#include "guard/proxy/ProxyOptions.h"

constexpr int kMaxProxyConnections = 64;

// Runs until stopped (Ctrl+C, or options.nSeconds). The program's exit code.
int RunProxy(const SProxyOptions& options);

// Asks a running RunProxy to stop, as Ctrl+C does; safe from any thread.
void RequestProxyStop();
