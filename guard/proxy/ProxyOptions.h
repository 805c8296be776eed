// The web proxy's options, after the listening [ADDRESS:]PORT (the web guard's
// --console PID ADDRESS:PORT, the provider stand-in's --proxy [ADDRESS:]PORT):
// [--resolve NAME=ADDRESS]... [--upstream HOST:PORT] [--seconds N].
#pragma once

#include <map>
#include <string>

#include "shared/Result.h"

// The proxy the user had before, which checked requests go on through.
constexpr const char* kProxyUpstreamOption = "--upstream";

struct SProxyOptions {
  std::string strAddress = "127.0.0.1";  // loopback unless told otherwise
  unsigned nPort = 8118;
  // Names that resolve to the given address without asking a name server.
  std::map<std::string, std::string> resolveOverrides;
  unsigned nSeconds = 0;  // 0: until stopped
  // The proxy the user had before: checked requests go on through it instead of
  // straight to the origin. Empty: direct.
  std::string strUpstreamHost;
  unsigned nUpstreamPort = 0;
};

// argv[nFirst] is the listening [ADDRESS:]PORT. RESULT_INVALID_PARAMETER with a reason
// for the usage text.
CResultOf<SProxyOptions> ParseProxyOptions(int argc, const char* const* argv, int nFirst);
