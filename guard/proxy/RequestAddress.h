// A proxy request's address as the engine's typed check takes it, and as the
// console is shown it.
#pragma once

#include <string>

#include "engine/WebAddress.h"
#include "guard/proxy/ProxyRequestHead.h"

// Host, port, path and query of the request (a CONNECT has host and port only).
SWebAddress RequestWebAddress(const SProxyRequest& request);

// The key of a listed request's address (engine/WebAddressKey.h): an http page's
// as the browser host writes it for the same page; a CONNECT's is its host alone.
// bListedWithoutQuery: whether the definitions list the address with its query
// emptied.
std::string ShownWebAddress(const SProxyRequest& request, bool bListedWithoutQuery);
