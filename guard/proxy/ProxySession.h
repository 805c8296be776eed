// One client connection of the web proxy: its requests one after another
// (keep-alive), each read, decided and then answered. Platform-free over
// byte streams (ByteStream.h): the guard runs it over sockets, its tests over
// scripted bytes. Deciding (Decide) is apart from answering, and every step has
// one outcome: forwarded, refused, blocked, become a tunnel, or closed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "guard/proxy/ByteStream.h"
#include "guard/proxy/OriginPool.h"
#include "guard/proxy/ProxyRequestHead.h"
#include "guard/proxy/ProxyResponseHead.h"

enum class EProxyOutcome {
  Forward,  // passed to the origin (or the upstream proxy), its answer relayed
  Refuse,   // answered with an error page
  Block,    // answered with the block page
  Tunnel,   // a CONNECT or an upgrade: bytes both ways from here on (TakeTunnel)
  OwnPage,  // answered with one of the proxy's own pages
  Close,    // the client closed, went quiet, or gets no answer
};

// Where a checked request goes, as the proxy's checks and the user's setup say.
struct SProxyRoute {
  EProxyOutcome outcome = EProxyOutcome::Forward;  // Forward, Block or Refuse
  int nStatus = 0;                                 // Refuse: the status
  std::string strDetail;                           // Refuse: the page's explanation; Block: why
  std::string strBlocked;                          // Block: the address the page names
  bool bUpstream = false;                          // through the user's proxy: absolute form, a tunnel asked of it
  // Names the server connected to: kept connections are reused only for the same.
  std::string strOrigin;
};

// What a session asks of the program it runs in.
class IProxyPeers {
 public:
  virtual ~IProxyPeers() = default;
  // The request's checks and its way on.
  virtual SProxyRoute Route(const SProxyRequest& request) = 0;
  // A new connection along the route; null when it cannot be made.
  virtual std::unique_ptr<IByteStream> Connect(const SProxyRoute& route) = 0;
  // The proxy's own page at strPath ("/name.pac"), when it is one.
  virtual bool OwnPage(const std::string& strPath, std::string* pstrType, std::string* pstrBody) = 0;
  // True while the connection waits for the client's next request.
  virtual void SetIdle(bool bIdle) = 0;
  virtual std::uint64_t NowMs() = 0;
};

struct SSessionLimits {
  unsigned nIdleMs = 15000;      // waiting for a client's next request or more of its head
  unsigned nWholeHeadMs = 5000;  // a request head, from its first byte to its end
  unsigned nOriginMs = 30000;    // waiting for the origin to send more
  bool bOwnPagesOnly = false;    // anything but the own pages is closed unanswered
};

// A request's fate before anything is answered.
struct SProxyDecision {
  EProxyOutcome outcome = EProxyOutcome::Close;
  SProxyRequest request;
  SProxyRoute route;      // Forward and Tunnel: the way; Block: what and why
  int nStatus = 0;        // Refuse
  std::string strDetail;  // Refuse
  std::string strType;    // OwnPage
  std::string strBody;    // OwnPage
};

// The bytes a session reads from one stream and has not used yet.
class CStreamInput {
 public:
  enum class EHead { Complete, Closed, TooLong };

  // cbBuffer: the room for one read, taken at the first read. Reads that keep
  // filling all of it mean a large body: the room doubles up to cbMaxBuffer, so
  // a download takes fewer reads (under Wine each one a trip to its server).
  CStreamInput(IByteStream* pStream, IProxyPeers& peers, std::size_t cbBuffer, std::size_t cbMaxBuffer)
      : m_pStream(pStream), m_peers(peers), m_cbBuffer(cbBuffer), m_cbMaxBuffer(cbMaxBuffer) {}
  // Another stream, nothing pending; a room grown for a large body is given back.
  void Reset(IByteStream* pStream);
  // A head of at most nMaxBytes. bRequest: empty lines in front of it are
  // skipped, and once it has begun all of it must come within nWholeMs.
  EHead ReadHead(std::size_t nMaxBytes, unsigned nWaitMs, bool bRequest, unsigned nWholeMs, std::string* pstrHead);
  // One more read into the free room; false at the end, on a failure or time-out.
  bool Fill(unsigned nWaitMs);
  // The last read that gave nothing ended by its time-out, not by a close.
  bool TimedOut() const { return m_bTimedOut; }
  const char* Data() const { return m_buffer.data() + m_nBegin; }
  std::size_t Size() const { return m_nEnd - m_nBegin; }
  void Consume(std::size_t n) { m_nBegin += n; }
  // Every byte this stream gave so far.
  std::uint64_t Received() const { return m_nReceived; }

 private:
  IByteStream* m_pStream;
  IProxyPeers& m_peers;
  const std::size_t m_cbBuffer;
  const std::size_t m_cbMaxBuffer;
  std::string m_buffer;
  bool m_bLastReadFull = false;
  bool m_bTimedOut = false;
  std::size_t m_nBegin = 0;
  std::size_t m_nEnd = 0;
  std::uint64_t m_nReceived = 0;
};

class CProxySession {
 public:
  // pPool: kept origin connections shared by all sessions; null for none.
  CProxySession(IByteStream& client, IProxyPeers& peers, COriginPool* pPool, const SSessionLimits& limits);

  struct SStep {
    EProxyOutcome outcome = EProxyOutcome::Close;
    bool bMore = false;  // the connection serves another request
  };
  // Reads, decides and answers the next request.
  SStep Step();
  // What becomes of a complete request head.
  SProxyDecision Decide(const std::string& strHead);
  // After a Tunnel step, the other end; what either side sent early has been
  // passed on. Bytes both ways are the caller's from here on.
  std::unique_ptr<IByteStream> TakeTunnel() { return std::move(m_pTunnel); }

 private:
  SStep Answer(SProxyDecision& decision);
  SStep Refuse(int nStatus, const std::string& strDetail);
  SStep OpenTunnel(const SProxyDecision& decision);
  SStep Forward(const SProxyDecision& decision);
  // strToClient to the client and what it sent early to the origin: bytes both
  // ways are the caller's from here on.
  SStep HandOverTunnel(std::unique_ptr<IByteStream> pOrigin, const std::string& strToClient);
  // Done; the origin closed before answering; it did not answer in time; its
  // answer is not HTTP; the client is gone or sent a broken body.
  enum class EExchange { Done, LostBeforeAnswer, TimedOut, NotHttp, Failed };
  EExchange SendRequest(const SProxyRequest& request, const SProxyRoute& route, IByteStream& origin);
  EExchange ReadAnswerHead(const SProxyRequest& request, CStreamInput& answer, SProxyResponse* pResponse);
  // A body of nLength bytes, or a chunked one, from `from` to `to`, strFirst sent
  // with its first piece; bDechunk passes only the chunks' data.
  bool RelayBody(CStreamInput& from, IByteStream& to, bool bChunked, unsigned long long nLength, bool bDechunk,
                 std::string strFirst, unsigned nWaitMs);
  // The answer's head and body to the client; false when the connection is to end.
  bool RelayAnswerBody(const SProxyResponse& response, CStreamInput& answer);
  void SetIdle(bool bIdle);

  IByteStream& m_client;
  IProxyPeers& m_peers;
  COriginPool* m_pPool;
  const SSessionLimits m_limits;
  CStreamInput m_input;
  CStreamInput m_answer;
  std::unique_ptr<IByteStream> m_pTunnel;
  bool m_bIdle = false;
};
