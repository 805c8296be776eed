// Serving one client connection of the web proxy (see ProxySession.h).
#include "guard/proxy/ProxySession.h"

#include <algorithm>
#include <cstring>

#include "guard/proxy/ProxyPages.h"

namespace {

constexpr std::size_t kMaxResponseHeadBytes = 64 * 1024;
// Reads from a client hold heads and request bodies; reads from the origin carry
// downloads, and under Wine every read costs a trip to its server: larger, and
// larger still while a large body keeps them full.
constexpr std::size_t kClientReadBytes = 64 * 1024;
constexpr std::size_t kOriginReadBytes = 256 * 1024;
constexpr std::size_t kOriginMaxReadBytes = 1024 * 1024;

std::string NoAnswerDetail(const SProxyRoute& route, const SProxyRequest& request) {
  return (route.bUpstream ? "The upstream proxy for " : "The origin server ") + HostFieldValue(request) +
         " does not answer.";
}

std::string LateAnswerDetail(const SProxyRoute& route, const SProxyRequest& request, unsigned nWaitMs) {
  return (route.bUpstream ? "The upstream proxy for " : "The origin server ") + HostFieldValue(request) +
         " did not answer within " + std::to_string(nWaitMs / 1000) + " s.";
}

// Methods whose second run changes nothing the first did not (RFC 9110 9.2.1):
// only these go on a kept connection, which its server may have closed just as
// the request came, so that they can go once more on a new one. Others (also the
// idempotent PUT and DELETE, whose second answer may differ from the first's)
// always get a new connection and are sent once.
bool IsSafeToSendAgain(const std::string& strMethod) {
  return strMethod == "GET" || strMethod == "HEAD" || strMethod == "OPTIONS" || strMethod == "TRACE";
}

}  // namespace

void CStreamInput::Reset(IByteStream* pStream) {
  m_pStream = pStream;
  m_nBegin = m_nEnd = 0;
  m_nReceived = 0;
  m_bLastReadFull = false;
  m_bTimedOut = false;
  // A connection kept for small answers does not keep a download's room.
  if (m_buffer.size() > m_cbBuffer) std::string().swap(m_buffer);
}

bool CStreamInput::Fill(unsigned nWaitMs) {
  m_bTimedOut = nWaitMs == 0;
  if (!m_pStream || nWaitMs == 0) return false;
  if (m_buffer.empty()) m_buffer.resize(m_cbBuffer);
  if (m_nBegin == m_nEnd) {
    m_nBegin = m_nEnd = 0;
    // Nothing to keep: a larger room costs no copy.
    if (m_bLastReadFull && m_buffer.size() < m_cbMaxBuffer) {
      const std::size_t cbGrown = std::min(m_buffer.size() * 2, m_cbMaxBuffer);
      m_buffer.clear();
      m_buffer.resize(cbGrown);
    }
  }
  if (m_nEnd == m_buffer.size()) {
    // Bytes not used yet move to the front; a head longer than the buffer grows it
    // (heads are bounded by their limits, bodies are used as they come).
    if (m_nBegin > 0) {
      std::memmove(&m_buffer[0], m_buffer.data() + m_nBegin, m_nEnd - m_nBegin);
      m_nEnd -= m_nBegin;
      m_nBegin = 0;
    } else {
      m_buffer.resize(m_buffer.size() * 2);
    }
  }
  const std::size_t cbRoom = m_buffer.size() - m_nEnd;
  const int nRead = m_pStream->Read(&m_buffer[m_nEnd], cbRoom, nWaitMs);
  m_bTimedOut = nRead == kReadTimedOut;
  if (nRead <= 0) return false;
  m_bLastReadFull = static_cast<std::size_t>(nRead) == cbRoom;
  m_nEnd += static_cast<std::size_t>(nRead);
  m_nReceived += static_cast<std::uint64_t>(nRead);
  return true;
}

CStreamInput::EHead CStreamInput::ReadHead(std::size_t nMaxBytes, unsigned nWaitMs, bool bRequest, unsigned nWholeMs,
                                           std::string* pstrHead) {
  std::size_t nSkipped = 0;
  // Once a head has begun, all of it must come within nWholeMs: a peer that
  // drips it slowly holds its connection no longer than that.
  std::uint64_t nDeadline = 0;
  const auto wait = [&]() -> unsigned {
    if (!nDeadline) return nWaitMs;
    const std::uint64_t nNow = m_peers.NowMs();
    if (nNow >= nDeadline) return 0;
    return nDeadline - nNow < nWaitMs ? static_cast<unsigned>(nDeadline - nNow) : nWaitMs;
  };
  for (;;) {
    if (bRequest) {
      const std::size_t nEmpty = LeadingEmptyLineBytes(Data(), Size());
      Consume(nEmpty);
      nSkipped += nEmpty;
      if (nSkipped > nMaxBytes) return EHead::TooLong;
      // A lone CR may be the start of one more empty line.
      if (Size() == 0 || (Size() == 1 && Data()[0] == '\r')) {
        if (!Fill(wait())) return EHead::Closed;
        if (nWholeMs && !nDeadline) nDeadline = m_peers.NowMs() + nWholeMs;
        continue;
      }
    }
    if (nWholeMs && !nDeadline && Size()) nDeadline = m_peers.NowMs() + nWholeMs;
    std::size_t nLength = 0;
    const EHeadEnd end = FindHeadEnd(Data(), Size(), nMaxBytes, &nLength);
    if (end == EHeadEnd::TooLong) return EHead::TooLong;
    if (end == EHeadEnd::Complete) {
      pstrHead->assign(Data(), nLength);
      Consume(nLength);
      return EHead::Complete;
    }
    if (!Fill(wait())) return EHead::Closed;
  }
}

CProxySession::CProxySession(IByteStream& client, IProxyPeers& peers, COriginPool* pPool, const SSessionLimits& limits)
    : m_client(client),
      m_peers(peers),
      m_pPool(pPool),
      m_limits(limits),
      m_input(&client, peers, kClientReadBytes, kClientReadBytes),
      m_answer(nullptr, peers, kOriginReadBytes, kOriginMaxReadBytes) {}

CProxySession::SStep CProxySession::Step() {
  std::string strHead;
  // Waiting for the next request the connection is idle: closed first when the
  // proxy needs room.
  SetIdle(m_input.Size() == 0);
  const CStreamInput::EHead read =
      m_input.ReadHead(kMaxRequestHeadBytes, m_limits.nIdleMs, true, m_limits.nWholeHeadMs, &strHead);
  SetIdle(false);
  if (read == CStreamInput::EHead::Closed) return {EProxyOutcome::Close, false};
  if (read == CStreamInput::EHead::TooLong) return Refuse(400, "The request head is too long.");
  SProxyDecision decision = Decide(strHead);
  return Answer(decision);
}

SProxyDecision CProxySession::Decide(const std::string& strHead) {
  SProxyDecision decision;
  const std::string strPath = OwnPagePath(strHead);
  if (!strPath.empty() && m_peers.OwnPage(strPath, &decision.strType, &decision.strBody)) {
    decision.outcome = EProxyOutcome::OwnPage;
    return decision;
  }
  // Nothing but the own pages, unanswered otherwise.
  if (m_limits.bOwnPagesOnly) return decision;
  const CResult parsed = ParseRequestHead(strHead, &decision.request);
  if (!parsed.IsOk()) {
    decision.strDetail = parsed.Text();
    decision.outcome = EProxyOutcome::Refuse;
    decision.nStatus = 400;
    return decision;
  }
  decision.route = m_peers.Route(decision.request);
  switch (decision.route.outcome) {
    case EProxyOutcome::Block:
      decision.outcome = EProxyOutcome::Block;
      break;
    case EProxyOutcome::Refuse:
      decision.outcome = EProxyOutcome::Refuse;
      decision.nStatus = decision.route.nStatus;
      decision.strDetail = decision.route.strDetail;
      break;
    default:
      decision.outcome = decision.request.bConnect ? EProxyOutcome::Tunnel : EProxyOutcome::Forward;
  }
  return decision;
}

CProxySession::SStep CProxySession::Answer(SProxyDecision& decision) {
  switch (decision.outcome) {
    case EProxyOutcome::OwnPage: {
      const std::string strPage = "HTTP/1.1 200 OK\r\nContent-Type: " + decision.strType +
                                  "\r\nContent-Length: " + std::to_string(decision.strBody.size()) +
                                  "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + decision.strBody;
      m_client.Write(strPage.data(), strPage.size());
      break;
    }
    case EProxyOutcome::Refuse:
      return Refuse(decision.nStatus, decision.strDetail);
    case EProxyOutcome::Block: {
      // The connection ends: a body may still be on its way.
      const std::string strPage = BlockPageResponse(decision.route.strBlocked, decision.route.strDetail, false);
      m_client.Write(strPage.data(), strPage.size());
      break;
    }
    case EProxyOutcome::Tunnel:
      return OpenTunnel(decision);
    case EProxyOutcome::Forward:
      return Forward(decision);
    case EProxyOutcome::Close:
      break;
  }
  return {decision.outcome, false};
}

CProxySession::SStep CProxySession::Refuse(int nStatus, const std::string& strDetail) {
  const std::string strPage = ErrorResponse(nStatus, strDetail, false);
  m_client.Write(strPage.data(), strPage.size());
  return {EProxyOutcome::Refuse, false};
}

CProxySession::SStep CProxySession::OpenTunnel(const SProxyDecision& decision) {
  const SProxyRequest& request = decision.request;
  std::unique_ptr<IByteStream> pOrigin = m_peers.Connect(decision.route);
  if (!pOrigin) return Refuse(502, NoAnswerDetail(decision.route, request));
  std::string strToClient = "HTTP/1.1 200 Connection established\r\n\r\n";
  if (decision.route.bUpstream) {
    // The tunnel asked of the upstream proxy: a refusal there (such as its 407
    // asking for credentials) goes to the client as it came.
    const std::string strConnect = UpstreamConnectHead(request);
    if (!pOrigin->Write(strConnect.data(), strConnect.size()))
      return Refuse(502, "The upstream proxy closed the connection.");
    m_answer.Reset(pOrigin.get());
    SProxyRequest closing = request;
    closing.bKeepAlive = false;
    SProxyResponse response;
    const EExchange exchange = ReadAnswerHead(closing, m_answer, &response);
    if (exchange == EExchange::Failed) return {EProxyOutcome::Close, false};
    if (exchange == EExchange::TimedOut)
      return Refuse(504, LateAnswerDetail(decision.route, request, m_limits.nOriginMs));
    if (exchange != EExchange::Done) return Refuse(502, "The upstream proxy's answer is not HTTP.");
    if (response.nStatus < 200 || response.nStatus >= 300) {
      if (response.body == EBodyKind::UntilClose) response.body = EBodyKind::None;
      RelayAnswerBody(response, m_answer);
      return {EProxyOutcome::Refuse, false};
    }
    // What the server sent behind its answer is the tunnel's first bytes.
    strToClient.append(m_answer.Data(), m_answer.Size());
    m_answer.Reset(nullptr);
  }
  return HandOverTunnel(std::move(pOrigin), strToClient);
}

CProxySession::SStep CProxySession::HandOverTunnel(std::unique_ptr<IByteStream> pOrigin,
                                                   const std::string& strToClient) {
  if (!m_client.Write(strToClient.data(), strToClient.size())) return {EProxyOutcome::Close, false};
  if (m_input.Size() && !pOrigin->Write(m_input.Data(), m_input.Size())) return {EProxyOutcome::Close, false};
  m_input.Consume(m_input.Size());
  m_pTunnel = std::move(pOrigin);
  return {EProxyOutcome::Tunnel, false};
}

CProxySession::SStep CProxySession::Forward(const SProxyDecision& decision) {
  const SProxyRequest& request = decision.request;
  const SProxyRoute& route = decision.route;
  // A request with a body, or one not safe to send twice, goes on a new
  // connection: a kept one the server has just closed would leave it half sent or
  // sent without knowing whether the server acted on it.
  const bool bHasBody = request.bChunkedBody || request.nContentLength;
  std::unique_ptr<IByteStream> pOrigin;
  if (m_pPool && !bHasBody && request.strUpgrade.empty() && IsSafeToSendAgain(request.strMethod))
    pOrigin = m_pPool->Take(route.strOrigin, m_peers.NowMs());
  bool bReused = pOrigin != nullptr;
  SProxyResponse response;
  for (;;) {
    if (!pOrigin) pOrigin = m_peers.Connect(route);
    if (!pOrigin) return Refuse(502, NoAnswerDetail(route, request));
    m_answer.Reset(pOrigin.get());
    EExchange exchange = SendRequest(request, route, *pOrigin);
    if (exchange == EExchange::Done) exchange = ReadAnswerHead(request, m_answer, &response);
    // A 408 on a kept connection is its server closing it for idleness just as
    // the request came, not an answer to it.
    if (exchange == EExchange::Done && bReused && response.nStatus == 408) exchange = EExchange::LostBeforeAnswer;
    if (exchange == EExchange::Done) break;
    m_answer.Reset(nullptr);
    // A kept connection the server closed meanwhile: once more on a new one. Never
    // after a time-out: the server may still be at work on the request.
    if (exchange == EExchange::LostBeforeAnswer && bReused) {
      pOrigin.reset();
      bReused = false;
      continue;
    }
    if (exchange == EExchange::LostBeforeAnswer) return Refuse(502, "The origin server closed the connection.");
    if (exchange == EExchange::TimedOut) return Refuse(504, LateAnswerDetail(route, request, m_limits.nOriginMs));
    if (exchange == EExchange::NotHttp) return Refuse(502, "The origin server's answer is not HTTP.");
    return {EProxyOutcome::Close, false};
  }
  if (response.bUpgraded) {
    // A WebSocket or other switched protocol: bytes both ways from here on.
    std::string strFirst = response.strRelayedHead;
    strFirst.append(m_answer.Data(), m_answer.Size());
    m_answer.Reset(nullptr);
    return HandOverTunnel(std::move(pOrigin), strFirst);
  }
  const bool bRelayed = RelayAnswerBody(response, m_answer);
  // Extra bytes behind an answer are not the next answer's: such a connection goes.
  if (bRelayed && m_pPool && response.bOriginKeepsOpen && m_answer.Size() == 0)
    m_pPool->Give(route.strOrigin, std::move(pOrigin), m_peers.NowMs());
  m_answer.Reset(nullptr);
  return {EProxyOutcome::Forward, bRelayed && response.bKeepAlive};
}

CProxySession::EExchange CProxySession::SendRequest(const SProxyRequest& request, const SProxyRoute& route,
                                                    IByteStream& origin) {
  std::string strHead = ForwardedHead(request, route.bUpstream);
  if (!request.bChunkedBody && !request.nContentLength)
    return origin.Write(strHead.data(), strHead.size()) ? EExchange::Done : EExchange::LostBeforeAnswer;
  // The head goes with as much of the body as is here already.
  return RelayBody(m_input, origin, request.bChunkedBody, request.nContentLength, false, std::move(strHead),
                   m_limits.nIdleMs)
             ? EExchange::Done
             : EExchange::Failed;
}

CProxySession::EExchange CProxySession::ReadAnswerHead(const SProxyRequest& request, CStreamInput& answer,
                                                       SProxyResponse* pResponse) {
  for (;;) {
    std::string strHead;
    const CStreamInput::EHead read = answer.ReadHead(kMaxResponseHeadBytes, m_limits.nOriginMs, false, 0, &strHead);
    if (read == CStreamInput::EHead::Closed && answer.TimedOut()) return EExchange::TimedOut;
    if (read == CStreamInput::EHead::Closed && answer.Received() == 0) return EExchange::LostBeforeAnswer;
    if (read != CStreamInput::EHead::Complete || !ParseResponseHead(strHead, request, pResponse))
      return EExchange::NotHttp;
    if (pResponse->nStatus >= 200 || pResponse->bUpgraded || request.bConnect) return EExchange::Done;
    // Interim answers (100 Continue) go to HTTP/1.1 clients only.
    if (request.nMinorVersion == 1 && !m_client.Write(strHead.data(), strHead.size())) return EExchange::Failed;
  }
}

bool CProxySession::RelayBody(CStreamInput& from, IByteStream& to, bool bChunked, unsigned long long nLength,
                              bool bDechunk, std::string strFirst, unsigned nWaitMs) {
  CChunkedBody chunked;
  std::string strData;
  for (;;) {
    std::size_t nTake = 0;
    if (bChunked) {
      strData.clear();
      nTake = chunked.Consume(from.Data(), from.Size(), bDechunk ? &strData : nullptr);
      if (chunked.IsMalformed()) return false;
    } else {
      nTake = nLength < from.Size() ? static_cast<std::size_t>(nLength) : from.Size();
      nLength -= nTake;
    }
    // Passed on from where it was read; only the first piece joins the head in front.
    const char* pSend = bDechunk ? strData.data() : from.Data();
    const std::size_t nSend = bDechunk ? strData.size() : nTake;
    if (!strFirst.empty()) {
      strFirst.append(pSend, nSend);
      if (!to.Write(strFirst.data(), strFirst.size())) return false;
      strFirst = std::string();
    } else if (nSend && !to.Write(pSend, nSend)) {
      return false;
    }
    from.Consume(nTake);
    if (bChunked ? chunked.IsComplete() : nLength == 0) return true;
    if (!from.Fill(nWaitMs)) return false;
  }
}

bool CProxySession::RelayAnswerBody(const SProxyResponse& response, CStreamInput& answer) {
  switch (response.body) {
    case EBodyKind::None:
      return m_client.Write(response.strRelayedHead.data(), response.strRelayedHead.size());
    case EBodyKind::Length:
    case EBodyKind::Chunked:
      return RelayBody(answer, m_client, response.body == EBodyKind::Chunked, response.nLength, response.bDechunk,
                       response.strRelayedHead, m_limits.nOriginMs);
    case EBodyKind::UntilClose: {
      std::string strFirst = response.strRelayedHead;
      strFirst.append(answer.Data(), answer.Size());
      answer.Consume(answer.Size());
      if (!m_client.Write(strFirst.data(), strFirst.size())) return false;
      while (answer.Fill(m_limits.nOriginMs)) {
        if (!m_client.Write(answer.Data(), answer.Size())) return false;
        answer.Consume(answer.Size());
      }
      return false;  // only the close ended it: the client's connection ends too
    }
  }
  return false;
}

void CProxySession::SetIdle(bool bIdle) {
  if (bIdle != m_bIdle) m_peers.SetIdle(bIdle);
  m_bIdle = bIdle;
}
