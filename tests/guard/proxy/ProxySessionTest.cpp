// The proxy session over scripted streams: what the client is answered, what the
// origin receives, and each step's outcome, for forwarding with kept connections
// both ways, chunked bodies, tunnels and upgrades, and heads and bodies that try
// to smuggle a second request past the proxy or hold it up.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "shared/WorkerPool.h"
#include "tests/guard/proxy/ScriptedStreams.h"

namespace {

const char kGet[] = "GET http://a.example/x HTTP/1.1\r\nHost: a.example\r\n\r\n";
const char kToOrigin[] = "GET /x HTTP/1.1\r\nHost: a.example\r\n\r\n";
const char kOk[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi";
const char kOkRelayed[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: keep-alive\r\n\r\nhi";

struct SSessionCase {
  const char* szName;
  std::string strClient;              // what the client sends
  std::vector<std::string> answers;   // each origin connection's answer
  std::string strOutcomes;            // the steps' outcomes, one letter each (see Letter)
  std::string strToClient;            // what the client gets; "*TEXT": what it contains
  std::vector<std::string> toOrigin;  // what each origin connection got
  // A kept connection to the origin that its server has closed meanwhile.
  bool bStaleKept = false;
  std::size_t nPieceBytes = 0;  // the client's bytes in pieces of this size...
  unsigned nPieceDelayMs = 0;   // ...each this long after the one before
  EProxyOutcome route = EProxyOutcome::Forward;
  bool bUpstream = false;  // through the user's own proxy
  // A kept connection to the origin on which its server says this unasked...
  std::string strKeptSays = std::string();
  unsigned nKeptSaysAfterMs = 0;  // ...this long after it is taken (0: before)
};

void PrintTo(const SSessionCase& test, std::ostream* pOut) {
  *pOut << test.szName;
}

char Letter(EProxyOutcome outcome) {
  return "FRBTOC"[static_cast<int>(outcome)];
}

class ProxySessionTest : public testing::TestWithParam<SSessionCase> {};

TEST_P(ProxySessionTest, AnswersAndForwardsAsScripted) {
  const SSessionCase& test = GetParam();
  SScriptClock clock;
  CScriptedPeers peers(clock);
  peers.answers = test.answers;
  peers.route.outcome = test.route;
  peers.route.bUpstream = test.bUpstream;
  peers.route.nStatus = 502;
  peers.route.strDetail = "refused by the checks";
  peers.route.strBlocked = "a.example/x";
  COriginPool pool;
  if (test.bStaleKept || !test.strKeptSays.empty()) {
    peers.answers.insert(peers.answers.begin(), "");
    peers.received.emplace_back();
    auto pKept = std::make_unique<CScriptedStream>(clock, &peers.received.back());
    if (!test.strKeptSays.empty()) pKept->AddUnasked(test.strKeptSays, test.nKeptSaysAfterMs);
    pool.Give("origin", std::move(pKept), clock.nNowMs);
  }
  std::string strToClient;
  CScriptedStream client(clock, &strToClient);
  client.Add(test.strClient, test.nPieceBytes, test.nPieceDelayMs);
  CProxySession session(client, peers, &pool, SSessionLimits());
  std::string strOutcomes;
  CProxySession::SStep step;
  do {
    step = session.Step();
    strOutcomes += Letter(step.outcome);
  } while (step.bMore && strOutcomes.size() < 10);
  EXPECT_EQ(test.strOutcomes, strOutcomes);
  if (test.strToClient[0] == '*') {
    EXPECT_NE(std::string::npos, strToClient.find(test.strToClient.substr(1))) << strToClient;
  } else {
    EXPECT_EQ(test.strToClient, strToClient);
  }
  const std::vector<std::string> toOrigin(peers.received.begin(), peers.received.end());
  EXPECT_EQ(test.toOrigin, toOrigin);
  if (step.outcome == EProxyOutcome::Tunnel) EXPECT_NE(nullptr, session.TakeTunnel());
}

const std::string kPost = "POST http://a.example/f HTTP/1.1\r\n";
const std::string kHidden = "GET http://b.example/ HTTP/1.1\r\n\r\n";
const std::string kPostToOrigin = "POST /f HTTP/1.1\r\nHost: a.example\r\n";
const std::string k408 = "HTTP/1.1 408 Request Timeout\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";

// The case with a kept connection to the origin on which its server says strSays,
// nAfterMs after the connection is taken.
SSessionCase KeptSays(SSessionCase test, std::string strSays, unsigned nAfterMs = 0) {
  test.strKeptSays = std::move(strSays);
  test.nKeptSaysAfterMs = nAfterMs;
  return test;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProxySessionTest,
    testing::Values(
        SSessionCase{"KeptBothWays",
                     std::string(kGet) + kGet,
                     {std::string(kOk) + "\f" + kOk},
                     "FFC",
                     std::string(kOkRelayed) + kOkRelayed,
                     {std::string(kToOrigin) + kToOrigin}},
        SSessionCase{
            "KeptConnectionClosedMeanwhileIsReplaced", kGet, {kOk}, "FC", kOkRelayed, {kToOrigin, kToOrigin}, true},
        // A POST may have been acted on before the close: it never takes a kept connection.
        SSessionCase{"KeptConnectionIsNotTakenForAPost",
                     kPost + "\r\n",
                     {kOk},
                     "FC",
                     kOkRelayed,
                     {"", kPostToOrigin + "\r\n"},
                     true},
        // An origin still at work on a request is not sent it again.
        SSessionCase{
            "SilentOriginIsAGatewayTimeout", kGet, {std::string("\v") + kOk}, "R", "*504 Gateway Timeout", {kToOrigin}},
        KeptSays({"SilentKeptConnectionIsNotSentAgain", kGet, {kOk}, "R", "*504 Gateway Timeout", {kToOrigin}}, kOk,
                 60000),
        // A server's 408 on a kept connection (its idle time-out) is not the answer.
        KeptSays({"KeptConnectionTheServerSpokeOnIsNotUsed", kGet, {kOk}, "FC", kOkRelayed, {"", kToOrigin}}, k408),
        KeptSays({"Kept408AsTheRequestCameIsNotTheAnswer", kGet, {kOk}, "FC", kOkRelayed, {kToOrigin, kToOrigin}}, k408,
                 5),
        SSessionCase{"OriginThatCloses",
                     std::string(kGet) + kGet,
                     {"HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 1\r\n\r\nA", kOk},
                     "FFC",
                     "*A",
                     {kToOrigin, kToOrigin}},
        SSessionCase{
            "ChunkedBothWaysHeadAndBodyTogether",
            kPost + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n",
            {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n\r\n"},
            "FC",
            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: keep-alive\r\n\r\n2\r\nok\r\n0\r\n\r\n",
            {kPostToOrigin + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n"}},
        SSessionCase{"ChunkedAnswerToHttp10IsPlainData",
                     "GET http://a.example/x HTTP/1.0\r\n\r\n",
                     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n\r\n"},
                     "F",
                     "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nok",
                     {kToOrigin}},
        SSessionCase{"AnswerUntilCloseEndsTheConnection",
                     std::string(kGet) + kGet,
                     {"HTTP/1.0 200 OK\r\n\r\nall"},
                     "F",
                     "HTTP/1.0 200 OK\r\nConnection: close\r\n\r\nall",
                     {kToOrigin}},
        SSessionCase{"LengthBesideCodingIsNotRelayed",
                     kGet,
                     {"HTTP/1.1 200 OK\r\nContent-Length: 99\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n"},
                     "FC",
                     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: keep-alive\r\n\r\n0\r\n\r\n",
                     {kToOrigin}},
        // The origin's Connection field does not take away the framing the client reads.
        SSessionCase{
            "OriginConnectionNamesContentLength",
            std::string(kGet) + kGet,
            {std::string("HTTP/1.1 200 OK\r\nConnection: Content-Length\r\nContent-Length: 2\r\n\r\nhi\f") + kOk},
            "FFC",
            std::string("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: keep-alive\r\n\r\nhi") + kOkRelayed,
            {std::string(kToOrigin) + kToOrigin}},
        // A second request hidden in a body the proxy frames another way than the origin.
        SSessionCase{
            "ConflictingLengths",
            kPost + "Content-Length: 5\r\nContent-Length: 40\r\n\r\nhelloGET http://b.example/ HTTP/1.1\r\n\r\n",
            {kOk},
            "R",
            "*400 Bad Request",
            {}},
        SSessionCase{"CodingBesideLength",
                     kPost + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\nGET http://b.example/ "
                             "HTTP/1.1\r\n\r\n",
                     {kOk},
                     "R",
                     "*400 Bad Request",
                     {}},
        SSessionCase{
            "BadChunkSizeEndsTheConnection",
            kPost + "Transfer-Encoding: chunked\r\n\r\n3x\r\nabc\r\n0\r\n\r\nGET http://b.example/ HTTP/1.1\r\n\r\n",
            {kOk},
            "C",
            "",
            {""}},
        SSessionCase{
            "OverflowingChunkSize",
            kPost + "Transfer-Encoding: chunked\r\n\r\n10000000000000000\r\nGET http://b.example/ HTTP/1.1\r\n\r\n",
            {kOk},
            "C",
            "",
            {""}},
        SSessionCase{
            "LengthBodyIsNotTakenForARequest",
            kPost + "Content-Length: " + std::to_string(kHidden.size()) + "\r\n\r\n" + kHidden + kGet,
            {std::string(kOk) + "\f" + kOk},
            "FFC",
            std::string(kOkRelayed) + kOkRelayed,
            {kPostToOrigin + "Content-Length: " + std::to_string(kHidden.size()) + "\r\n\r\n" + kHidden + kToOrigin}},
        SSessionCase{"Tunnel",
                     "CONNECT a.example:443 HTTP/1.1\r\n\r\n\x16\x03\x01",
                     {""},
                     "T",
                     "HTTP/1.1 200 Connection established\r\n\r\n",
                     {"\x16\x03\x01"}},
        SSessionCase{"TunnelThroughTheUserProxy",
                     "CONNECT a.example:443 HTTP/1.1\r\n\r\n",
                     {"HTTP/1.1 200 OK\r\n\r\nearly"},
                     "T",
                     "HTTP/1.1 200 Connection established\r\n\r\nearly",
                     {"CONNECT a.example:443 HTTP/1.1\r\nHost: a.example:443\r\n\r\n"},
                     false,
                     0,
                     0,
                     EProxyOutcome::Forward,
                     true},
        SSessionCase{"TunnelRefusedByTheUserProxy",
                     "CONNECT a.example:443 HTTP/1.1\r\n\r\n",
                     {"HTTP/1.1 407 Proxy Authentication Required\r\nContent-Length: 0\r\n\r\n"},
                     "R",
                     "HTTP/1.1 407 Proxy Authentication Required\r\nContent-Length: 0\r\nConnection: close\r\n\r\n",
                     {"CONNECT a.example:443 HTTP/1.1\r\nHost: a.example:443\r\n\r\n"},
                     false,
                     0,
                     0,
                     EProxyOutcome::Forward,
                     true},
        SSessionCase{"TunnelToNobody", "CONNECT a.example:443 HTTP/1.1\r\n\r\n", {}, "R", "*502 Bad Gateway", {}},
        SSessionCase{"Upgrade",
                     "GET http://a.example/ws HTTP/1.1\r\nConnection: Upgrade\r\nUpgrade: websocket\r\n\r\nframe",
                     {"HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: upgrade\r\n\r\nhello"},
                     "T",
                     "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n\r\nhello",
                     {"GET /ws HTTP/1.1\r\nHost: a.example\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n\r\nframe"}},
        SSessionCase{
            "Blocked", std::string(kGet) + kGet, {kOk}, "B", "*a.example/x", {}, false, 0, 0, EProxyOutcome::Block},
        SSessionCase{
            "RefusedByTheChecks", kGet, {kOk}, "R", "*refused by the checks", {}, false, 0, 0, EProxyOutcome::Refuse},
        SSessionCase{"NotHttpFromTheOrigin", kGet, {"SSH-2.0\r\n\r\n"}, "R", "*not HTTP", {kToOrigin}},
        SSessionCase{"OwnPage", "GET /own.pac HTTP/1.1\r\n\r\n", {}, "O", "*FindProxyForURL", {}},
        SSessionCase{"EmptyLinesBeforeARequest", std::string("\r\n\r\n") + kGet, {kOk}, "FC", kOkRelayed, {kToOrigin}},
        // A head dripped a few bytes a second ends at the whole head's deadline.
        SSessionCase{"DrippedHead", kGet, {kOk}, "C", "", {}, false, 4, 1000},
        SSessionCase{"QuietClient", kGet, {kOk}, "C", "", {}, false, 0, 20000}),
    [](const testing::TestParamInfo<SSessionCase>& info) { return std::string(info.param.szName); });

TEST(ProxySessionDecisions, OwnPagesOnlyClosesEverythingElseUnanswered) {
  SScriptClock clock;
  CScriptedPeers peers(clock);
  std::string strToClient;
  CScriptedStream client(clock, &strToClient);
  SSessionLimits limits;
  limits.bOwnPagesOnly = true;
  CProxySession session(client, peers, nullptr, limits);
  EXPECT_EQ(EProxyOutcome::OwnPage, session.Decide("GET /own.pac HTTP/1.1\r\n\r\n").outcome);
  EXPECT_EQ(EProxyOutcome::Close, session.Decide(kGet).outcome);
  EXPECT_TRUE(peers.routedHosts.empty());
}

TEST(OriginPool, KeepsAFewPerOriginForAWhile) {
  SScriptClock clock;
  CScriptedPeers peers(clock);
  peers.answers.assign(COriginPool::kMaxPerOrigin + 2, "");
  COriginPool pool;
  for (std::size_t i = 0; i < COriginPool::kMaxPerOrigin + 1; ++i) pool.Give("a", peers.Connect(peers.route), 0);
  EXPECT_EQ(COriginPool::kMaxPerOrigin, pool.Count());
  EXPECT_EQ(nullptr, pool.Take("b", 0));
  EXPECT_NE(nullptr, pool.Take("a", COriginPool::kKeptMs - 1));
  EXPECT_EQ(nullptr, pool.Take("a", COriginPool::kKeptMs));
  EXPECT_EQ(0u, pool.Count());
}

TEST(WorkerPool, ReusesThreadsAndRefusesBeyondItsBound) {
  CWorkerPool workers(2, 60000);
  std::mutex mutex;
  std::condition_variable changed;
  int nDone = 0;
  bool bRelease = false;
  const auto finish = [&] {
    std::lock_guard<std::mutex> lock(mutex);
    ++nDone;
    changed.notify_all();
  };
  const auto waitDone = [&](int n) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(10), [&] { return nDone >= n; });
  };
  const auto waitIdle = [&] {
    for (int nWaits = 0; nWaits < 1000 && workers.IdleThreads() == 0; ++nWaits)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return workers.IdleThreads() == 1;
  };
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(workers.Run(finish));
    ASSERT_TRUE(waitDone(i));
    ASSERT_TRUE(waitIdle());
  }
  EXPECT_EQ(1u, workers.Threads());
  const auto held = [&] {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return bRelease; });
    ++nDone;
    changed.notify_all();
  };
  ASSERT_TRUE(workers.Run(held));
  ASSERT_TRUE(workers.Run(held));
  EXPECT_FALSE(workers.Run(finish));
  {
    std::lock_guard<std::mutex> lock(mutex);
    bRelease = true;
    changed.notify_all();
  }
  EXPECT_TRUE(waitDone(5));
}

}  // namespace
