// A proxy request's address as the engine's typed check takes it, and as the
// console is shown it.
#pragma once

#include <string>

#include "engine/WebAddress.h"
#include "guard/proxy/ProxyRequestHead.h"

// Host, port, path and query of the request (a CONNECT has host and port only).
SWebAddress RequestWebAddress(const SProxyRequest& request);

// As the console's web list keys it: host and path in the engine's normal form (a
// listed address in whatever spelling shows as one), a port other than 80, no
// leading "www.", no query, lower case.
std::string ShownWebAddress(const SProxyRequest& request);
