// A proxy session driven by a fuzzed client: the first bytes pick the route and
// the origin's answer, the rest is what the client sends, in pieces with pauses.
// Beyond not crashing or leaking: a session ends, and every head the origin
// receives is one well-formed head followed by no more than the client sent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "guard/proxy/HttpFields.h"
#include "guard/proxy/ProxySession.h"
#include "tests/guard/proxy/ScriptedStreams.h"

namespace {

const char* const kAnswers[] = {
    "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi",
    "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n\r\n",
    "HTTP/1.0 200 OK\r\n\r\nuntil the close",
    "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 204 No Content\r\n\r\n",
    "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: upgrade\r\n\r\n",
    "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n",
    "",
    "not http\r\n\r\n",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  if (cbData < 3) return 0;
  const std::string strClient(reinterpret_cast<const char*>(pData) + 3, cbData - 3);
  SScriptClock clock;
  CScriptedPeers peers(clock);
  const EProxyOutcome routes[] = {EProxyOutcome::Forward, EProxyOutcome::Forward, EProxyOutcome::Block,
                                  EProxyOutcome::Refuse};
  peers.route.outcome = routes[pData[0] & 3];
  peers.route.bUpstream = (pData[0] & 4) != 0;
  peers.route.nStatus = 502;
  peers.answers.assign(8, kAnswers[pData[1] % (sizeof(kAnswers) / sizeof(kAnswers[0]))]);
  std::string strToClient;
  CScriptedStream client(clock, &strToClient);
  client.Add(strClient, pData[2] & 0x3f, (pData[2] >> 6) * 1500u);
  COriginPool pool;
  SSessionLimits limits;
  limits.bOwnPagesOnly = (pData[0] & 8) != 0;
  CProxySession session(client, peers, &pool, limits);
  CProxySession::SStep step;
  int nSteps = 0;
  do {
    step = session.Step();
    // Each step takes a request's bytes at least: the client's bytes bound them.
    if (++nSteps > static_cast<int>(cbData) + 1) std::abort();
  } while (step.bMore);
  session.TakeTunnel();
  std::size_t cbToOrigins = 0;
  for (std::size_t i = 0; i < peers.received.size(); ++i) {
    const std::string& strReceived = peers.received[i];
    cbToOrigins += strReceived.size();
    // A direct tunnel's origin gets the client's bytes as they are.
    const bool bRaw = step.outcome == EProxyOutcome::Tunnel && i + 1 == peers.received.size();
    if (strReceived.empty() || bRaw) continue;
    std::size_t nLength = 0;
    std::vector<std::string> lines;
    if (FindHeadEnd(strReceived.data(), strReceived.size(), strReceived.size() + 1, &nLength) != EHeadEnd::Complete ||
        !SplitHeadLines(strReceived.substr(0, nLength), &lines))
      std::abort();
  }
  // Heads are rewritten, never grown without end: a few hundred bytes each at most.
  if (cbToOrigins > 2 * strClient.size() + 512 * (peers.received.size() + 1)) std::abort();
  return 0;
}
