// The web proxy's reading of request and response heads, the heads it forwards,
// the addresses it checks and shows, and its own pages: everything that takes bytes from a client or origin.
#include <gtest/gtest.h>

#include <string>

#include "guard/proxy/ProxyOptions.h"
#include "guard/proxy/ProxyPages.h"
#include "guard/proxy/ProxyRequestHead.h"
#include "guard/proxy/ProxyResponseHead.h"
#include "guard/proxy/RequestAddress.h"

namespace {

SProxyRequest Parsed(const std::string& strHead) {
  SProxyRequest request;
  const CResult parsed = ParseRequestHead(strHead, &request);
  EXPECT_TRUE(parsed.IsOk()) << strHead << ": " << parsed.Text();
  return request;
}

// The address of the request in the engine's normal form, as the console is shown it.
std::string CheckedAddress(const std::string& strHead, bool bWithPort = true) {
  SProxyRequest request = Parsed(strHead);
  if (!bWithPort) request.nPort = 80;
  return ShownWebAddress(request, true);
}

}  // namespace

TEST(ProxyHeadTest, HeadEndsAtTheFirstEmptyLineWithinTheLimit) {
  std::size_t nLength = 0;
  const std::string strTwo = "GET http://a/ HTTP/1.1\r\nHost: a\r\n\r\nGET http://b/ HTTP/1.1\r\n\r\n";
  ASSERT_EQ(EHeadEnd::Complete, FindHeadEnd(strTwo.data(), strTwo.size(), 1024, &nLength));
  EXPECT_EQ(strTwo.find("\r\n\r\n") + 4, nLength);
  const std::string strBareLf = "GET http://a/ HTTP/1.0\n\nrest";
  ASSERT_EQ(EHeadEnd::Complete, FindHeadEnd(strBareLf.data(), strBareLf.size(), 1024, &nLength));
  EXPECT_EQ(strBareLf.size() - 4, nLength);
  EXPECT_EQ(EHeadEnd::NeedMore, FindHeadEnd(strTwo.data(), 30, 1024, &nLength));
  // The limit counts the whole head: one byte short of it is too long.
  EXPECT_EQ(EHeadEnd::TooLong, FindHeadEnd(strTwo.data(), strTwo.size(), strTwo.find("\r\n\r\n") + 3, &nLength));
  const std::string strBig(kMaxRequestHeadBytes * 2, 'x');
  EXPECT_EQ(EHeadEnd::TooLong, FindHeadEnd(strBig.data(), strBig.size(), kMaxRequestHeadBytes, &nLength));
}

TEST(ProxyHeadTest, AbsoluteRequestsAreForwardedInOriginFormWithTheirEndToEndFields) {
  SProxyRequest request = Parsed(
      "GET HTTP://WWW.Example.ORG:8080/Path/Page.html?q=1#top HTTP/1.0\r\nHost: wrong.example\r\n"
      "Proxy-Connection: keep-alive\r\nConnection: keep-alive, X-Private\r\nX-Private: 1\r\nAccept:  */* \r\n\r\n");
  EXPECT_EQ("www.example.org", request.strHost);
  EXPECT_EQ(8080u, request.nPort);
  EXPECT_EQ(0, request.nMinorVersion);
  EXPECT_TRUE(request.bKeepAlive);
  EXPECT_EQ("GET /Path/Page.html?q=1 HTTP/1.1\r\nHost: www.example.org:8080\r\nAccept: */*\r\n\r\n",
            ForwardedHead(request));

  request = Parsed("POST http://[::1]/ HTTP/1.1\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n");
  EXPECT_EQ("::1", request.strHost);
  EXPECT_TRUE(request.bChunkedBody);
  EXPECT_FALSE(request.bKeepAlive);
  EXPECT_EQ("POST / HTTP/1.1\r\nHost: [::1]\r\nTransfer-Encoding: chunked\r\n\r\n", ForwardedHead(request));
  EXPECT_FALSE(Parsed("GET http://a HTTP/1.0\r\n\r\n").bKeepAlive);
  EXPECT_EQ("/", Parsed("GET http://a?x HTTP/1.1\r\n\r\n").strTarget.substr(0, 1));

  request = Parsed("CONNECT Mail.Example.com:443 HTTP/1.1\r\nHost: mail.example.com:443\r\n\r\n");
  EXPECT_TRUE(request.bConnect);
  EXPECT_EQ("mail.example.com", request.strHost);
  EXPECT_EQ(443u, request.nPort);
}

TEST(ProxyHeadTest, MalformedOrNonProxyHeadsAreRefused) {
  const char* const kRefused[] = {
      "GET /index.html HTTP/1.1\r\nHost: example.org\r\n\r\n",  // no host in the request
      "GET http:///x HTTP/1.1\r\n\r\n",
      "GET https://example.org/ HTTP/1.1\r\n\r\n",
      "GET http://user@example.org/ HTTP/1.1\r\n\r\n",
      "GET http://example.org:0/ HTTP/1.1\r\n\r\n",
      "GET http://example.org:65536/ HTTP/1.1\r\n\r\n",
      "GET http://exa mple.org/ HTTP/1.1\r\n\r\n",
      "GET http://example.org/ HTTP/2.0\r\n\r\n",
      "GET http://example.org/\x80 HTTP/1.1\r\n\r\n",
      "GET  http://example.org/ HTTP/1.1\r\n\r\n",
      "G(T http://example.org/ HTTP/1.1\r\n\r\n",
      "CONNECT example.org HTTP/1.1\r\n\r\n",
      "GET http://example.org/ HTTP/1.1\r\nX-A : 1\r\n\r\n",
      "GET http://example.org/ HTTP/1.1\r\nX-A: 1\r\n folded\r\n\r\n",
      "GET http://example.org/ HTTP/1.1\r\nNo colon\r\n\r\n",
      "GET http://example.org/ HTTP/1.1\r\nX-A: a\x01b\r\n\r\n",
      "POST http://example.org/ HTTP/1.1\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n",
      "POST http://example.org/ HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n",
      "POST http://example.org/ HTTP/1.1\r\nContent-Length: -5\r\n\r\n",
      "POST http://example.org/ HTTP/1.1\r\nTransfer-Encoding: gzip\r\n\r\n",
      // Named as hop-by-hop, the length would be dropped while the body still goes on.
      "POST http://example.org/ HTTP/1.1\r\nContent-Length: 0\r\nConnection: keep-alive, CONTENT-length\r\n\r\n",
      "POST http://example.org/ HTTP/1.1\r\nTransfer-Encoding: chunked\r\nConnection: transfer-encoding\r\n\r\n",
      "GET http://example.org/ HTTP/1.1\r\nHost: b.example\r\nProxy-Connection: Host\r\n\r\n",
      "\x16\x03\x01\x02\xfc\x01\xff\x03\x03\r\n\r\n",  // a TLS hello sent without CONNECT
      "\r\n\r\n",
  };
  for (const char* szHead : kRefused) {
    SProxyRequest request;
    const CResult parsed = ParseRequestHead(szHead, &request);
    EXPECT_FALSE(parsed.IsOk()) << szHead;
    EXPECT_FALSE(parsed.Text().empty()) << szHead;
  }
}

TEST(ProxyHeadTest, EveryMethodVersionAndQueryIsCheckedAsTheAddressItNames) {
  EXPECT_EQ("login.example.com/verify", CheckedAddress("GET http://WWW.Login.Example.com/Verify HTTP/1.1\r\n\r\n"));
  EXPECT_EQ("login.example.com/verify", CheckedAddress("POST http://login.example.com/verify HTTP/1.0\r\n\r\n"));
  EXPECT_EQ("login.example.com/verify", CheckedAddress("HEAD http://login.example.com/verify HTTP/1.1\r\n\r\n"));
  // A query that looks like an image file does not turn the page into an image.
  EXPECT_EQ("login.example.com/verify",
            CheckedAddress("GET http://login.example.com/verify?f=a/b.jpg HTTP/1.1\r\n\r\n"));
  // A field whose name ends in "host" does not stand in for the host.
  EXPECT_EQ("login.example.com:8080/verify",
            CheckedAddress("GET http://login.example.com:8080/verify HTTP/1.1\r\nX-Host: other.example\r\n\r\n"));
  // Every resource is checked, style sheets too.
  EXPECT_EQ("login.example.com/style.css", CheckedAddress("GET http://login.example.com/style.css HTTP/1.1\r\n\r\n"));
}

TEST(ProxyHeadTest, EverySpellingOfAPageIsCheckedInOneForm) {
  // Each is the listed page login.example.com/verify as an origin server reads it.
  const char* const kSpellings[] = {
      "http://login.example.com:8080/verify",  // checked without the port too
      "http://login.example.com./verify",         "http://LOGIN.Example.COM/verif%79",
      "http://login.example.com//verify",         "http://login.example.com/x/../verify",
      "http://login.example.com/x/%2E%2e/verify", "http://login.example.com/./a//b/../../verify?next=/x",
      "http://login.example.com/../verify",
  };
  for (const char* szUrl : kSpellings) {
    EXPECT_EQ("login.example.com/verify", CheckedAddress(std::string("GET ") + szUrl + " HTTP/1.1\r\n\r\n", false))
        << szUrl;
  }
  EXPECT_EQ("login.example.com:8080/verify",
            CheckedAddress("GET http://login.example.com.:8080/x/../verify HTTP/1.1\r\n\r\n"));
  // A host of dots only names nothing.
  SProxyRequest request;
  EXPECT_FALSE(ParseRequestHead("GET http://../verify HTTP/1.1\r\n\r\n", &request).IsOk());

  const struct {
    const char* szPath;
    const char* szNormal;
  } kPaths[] = {
      {"/", "a.example"},
      {"/a/b/", "a.example/a/b/"},
      {"/a/.", "a.example/a/"},
      {"/a/..", "a.example"},
      {"/a/../../b", "a.example/b"},
      {"///a///b//", "a.example/a/b/"},
      {"/%41%7e%2d%5F", "a.example/a~-_"},
      {"/%2f%20%2", "a.example/%2f%20%2"},  // reserved and other escapes stay escaped; a cut one stays as it is
      {"/a%2e/b", "a.example/a./b"},
      {"/.hidden/..x", "a.example/.hidden/..x"},
  };
  for (const auto& test : kPaths)
    EXPECT_EQ(test.szNormal, CheckedAddress(std::string("GET http://A.Example..") + test.szPath + " HTTP/1.1\r\n\r\n"))
        << test.szPath;
}

TEST(ProxyHeadTest, EmptyLinesBeforeARequestLineAreSkipped) {
  EXPECT_EQ(4u, LeadingEmptyLineBytes("\r\n\r\nGET", 7));
  EXPECT_EQ(3u, LeadingEmptyLineBytes("\n\r\nGET", 6));
  EXPECT_EQ(0u, LeadingEmptyLineBytes("\r", 1));  // perhaps the start of one more
  EXPECT_EQ(0u, LeadingEmptyLineBytes("\rGET", 4));
}

TEST(ProxyHeadTest, UpgradesAndUpstreamProxies) {
  SProxyRequest request = Parsed(
      "GET http://chat.example/ws HTTP/1.1\r\nConnection: keep-alive, Upgrade\r\nUpgrade: websocket\r\n"
      "Sec-WebSocket-Key: k\r\nProxy-Authorization: Basic dTpw\r\n\r\n");
  EXPECT_EQ(
      "GET /ws HTTP/1.1\r\nHost: chat.example\r\nSec-WebSocket-Key: k\r\nUpgrade: websocket\r\n"
      "Connection: Upgrade\r\n\r\n",
      ForwardedHead(request));
  EXPECT_EQ(
      "GET http://chat.example/ws HTTP/1.1\r\nHost: chat.example\r\nSec-WebSocket-Key: k\r\n"
      "Proxy-Authorization: Basic dTpw\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n\r\n",
      ForwardedHead(request, true));
  SProxyResponse response;
  ASSERT_TRUE(ParseResponseHead("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: upgrade\r\n\r\n",
                                request, &response));
  EXPECT_TRUE(response.bUpgraded);
  EXPECT_EQ("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n\r\n",
            response.strRelayedHead);
  // Without the Connection token, or from an HTTP/1.0 client, there is no upgrade.
  EXPECT_EQ("", Parsed("GET http://a/ HTTP/1.1\r\nUpgrade: websocket\r\n\r\n").strUpgrade);
  EXPECT_EQ("", Parsed("GET http://a/ HTTP/1.0\r\nConnection: upgrade\r\nUpgrade: websocket\r\n\r\n").strUpgrade);
  ASSERT_TRUE(ParseResponseHead("HTTP/1.1 101 Switching Protocols\r\n\r\n", SProxyRequest(), &response));
  EXPECT_FALSE(response.bUpgraded);

  request = Parsed("CONNECT mail.example:443 HTTP/1.1\r\nProxy-Authorization: Basic dTpw\r\n\r\n");
  EXPECT_EQ("CONNECT mail.example:443 HTTP/1.1\r\nHost: mail.example:443\r\nProxy-Authorization: Basic dTpw\r\n\r\n",
            UpstreamConnectHead(request));
  EXPECT_EQ("CONNECT [::1]:80 HTTP/1.1\r\nHost: [::1]:80\r\n\r\n",
            UpstreamConnectHead(Parsed("CONNECT [::1]:80 HTTP/1.1\r\n\r\n")));
}

TEST(ProxyHeadTest, ResponseFramingAndTheRelayedConnectionField) {
  struct {
    const char* szHead;
    bool bHeadRequest;
    EBodyKind body;
    bool bKeepAlive;
  } const kCases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 12\r\nConnection: close\r\n\r\n", false, EBodyKind::Length, true},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\nContent-Length: 3\r\n\r\n", false, EBodyKind::Chunked,
       true},
      {"HTTP/1.0 200 OK\r\n\r\n", false, EBodyKind::UntilClose, false},
      {"HTTP/1.1 200 OK\r\nContent-Length: 12\r\n\r\n", true, EBodyKind::None, true},
      {"HTTP/1.1 304 Not Modified\r\n\r\n", false, EBodyKind::None, true},
      {"HTTP/1.1 204\r\n\r\n", false, EBodyKind::None, true},
      // A coding other than chunked last: only the close ends the body.
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked, gzip\r\nContent-Length: 3\r\n\r\n", false, EBodyKind::UntilClose,
       false},
  };
  SProxyRequest request;
  for (const auto& test : kCases) {
    SProxyResponse response;
    request.strMethod = test.bHeadRequest ? "HEAD" : "GET";
    ASSERT_TRUE(ParseResponseHead(test.szHead, request, &response)) << test.szHead;
    EXPECT_EQ(test.body, response.body) << test.szHead;
    EXPECT_EQ(test.bKeepAlive, response.bKeepAlive) << test.szHead;
  }
  SProxyResponse response;
  request.strMethod = "GET";
  request.bKeepAlive = false;
  ASSERT_TRUE(ParseResponseHead("HTTP/1.1 200 OK\r\nKeep-Alive: timeout=5\r\nX-A: b\r\nContent-Length: 0\r\n\r\n",
                                request, &response));
  EXPECT_EQ("HTTP/1.1 200 OK\r\nX-A: b\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", response.strRelayedHead);
  // Beside a Transfer-Encoding a length is never passed on.
  ASSERT_TRUE(ParseResponseHead("HTTP/1.1 200 OK\r\nContent-Length: 9\r\nTransfer-Encoding: chunked\r\n\r\n", request,
                                &response));
  EXPECT_EQ("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n", response.strRelayedHead);
  // An HTTP/1.0 client gets a chunked body as plain data ended by the close.
  request.nMinorVersion = 0;
  request.bKeepAlive = true;
  ASSERT_TRUE(ParseResponseHead("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nX-A: b\r\n\r\n", request, &response));
  EXPECT_TRUE(response.bDechunk);
  EXPECT_FALSE(response.bKeepAlive);
  EXPECT_EQ("HTTP/1.1 200 OK\r\nX-A: b\r\nConnection: close\r\n\r\n", response.strRelayedHead);
  for (const char* szBad : {"HTTP/1.1 2000 OK\r\n\r\n", "ICY 200 OK\r\n\r\n", "HTTP/1.1 099 X\r\n\r\n",
                            "HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n"}) {
    EXPECT_FALSE(ParseResponseHead(szBad, request, &response)) << szBad;
  }
}

TEST(ProxyHeadTest, ChunkedBodyEndsAfterItsTrailerWhicheverWayTheBytesArrive) {
  const std::string strBody = "5;ext=1\r\nhello\r\nA\r\n0123456789\r\n0\r\nTrailer: x\r\n\r\n";
  const std::string strNext = "HTTP/1.1 200 OK";
  CChunkedBody whole;
  EXPECT_EQ(strBody.size(), whole.Consume((strBody + strNext).data(), strBody.size() + strNext.size()));
  EXPECT_TRUE(whole.IsComplete());
  CChunkedBody byteWise;
  std::size_t nTaken = 0;
  std::string strData;
  for (char c : strBody + strNext) nTaken += byteWise.Consume(&c, 1, &strData);
  EXPECT_EQ(strBody.size(), nTaken);
  EXPECT_TRUE(byteWise.IsComplete());
  EXPECT_EQ("hello0123456789", strData);
  for (const std::string& strBad : {std::string("x\r\n"), std::string("1234567890abcdef0\r\n"),
                                    std::string("3\r\nabcX\r\n"), std::string(5000, '1')}) {
    CChunkedBody bad;
    bad.Consume(strBad.data(), strBad.size());
    EXPECT_TRUE(bad.IsMalformed()) << strBad.substr(0, 20);
  }
}

TEST(ProxyHeadTest, BlockPageNamesTheAddressSafelyAndCarriesItsLength) {
  const std::string strPage = BlockPageResponse("evil.example/<script>", "Listed.", true);
  EXPECT_EQ(0u, strPage.find("HTTP/1.1 403 Forbidden\r\n"));
  EXPECT_NE(std::string::npos, strPage.find("evil.example/&lt;script&gt;"));
  EXPECT_EQ(std::string::npos, strPage.find("<script>"));
  EXPECT_EQ(std::string::npos, strPage.find("http"));  // nothing loaded from outside
  const std::size_t nBody = strPage.find("\r\n\r\n") + 4;
  EXPECT_NE(std::string::npos, strPage.find("Content-Length: " + std::to_string(strPage.size() - nBody) + "\r\n"));
}

TEST(ProxyHeadTest, CommandLineOptions) {
  const char* const kArgs[] = {"x",         "--proxy", "0.0.0.0:3128", "--resolve", "Login.Example.com=127.0.0.1",
                               "--seconds", "30"};
  CResultOf<SProxyOptions> parsed = ParseProxyOptions(7, kArgs, 2);
  ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  EXPECT_EQ("0.0.0.0", parsed.Value().strAddress);
  EXPECT_EQ(3128u, parsed.Value().nPort);
  EXPECT_EQ("127.0.0.1", parsed.Value().resolveOverrides["login.example.com"]);
  EXPECT_EQ(30u, parsed.Value().nSeconds);
  parsed = ParseProxyOptions(2, kArgs, 2);
  ASSERT_TRUE(parsed.IsOk());
  EXPECT_EQ("127.0.0.1", parsed.Value().strAddress);
  EXPECT_EQ(8118u, parsed.Value().nPort);
  const char* const kBad[] = {"x", "--proxy", "8118", "--resolve", "=1.2.3.4"};
  EXPECT_FALSE(ParseProxyOptions(5, kBad, 2).IsOk());
  const char* const kBadPort[] = {"x", "--proxy", "localhost:http"};
  EXPECT_FALSE(ParseProxyOptions(3, kBadPort, 2).IsOk());
  const char* const kUpstream[] = {"x", "--proxy", "8118", "--upstream", "[::1]:3128"};
  parsed = ParseProxyOptions(5, kUpstream, 2);
  ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  EXPECT_EQ("::1", parsed.Value().strUpstreamHost);
  EXPECT_EQ(3128u, parsed.Value().nUpstreamPort);
  const char* const kNoUpstreamHost[] = {"x", "--proxy", "8118", "--upstream", "3128"};
  EXPECT_FALSE(ParseProxyOptions(5, kNoUpstreamHost, 2).IsOk());
}
