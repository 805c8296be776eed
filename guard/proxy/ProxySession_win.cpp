// Serving one client connection of the web proxy (see ProxySession_win.h).
#include "guard/proxy/ProxySession_win.h"

#include <string>

#include "shared/EngineRequest.h"
#include "guard/proxy/ProxyChecks_win.h"
#include "guard/proxy/ProxyPages.h"
#include "guard/proxy/ProxyRequestHead.h"
#include "guard/proxy/ProxyResponseHead.h"

namespace {

constexpr std::size_t kMaxResponseHeadBytes = 64 * 1024;
constexpr int kBufferBytes = 16 * 1024;

enum class EHeadRead { Complete, Closed, TooLong };

// Bytes read from one socket that were not used yet, and reading a head from it.
class CInput {
 public:
  CInput(SOCKET s, DWORD dwTimeoutMs) : m_s(s), m_dwTimeoutMs(dwTimeoutMs) {}
  // bRequest: empty lines in front of the head are skipped, as many as a head
  // may have bytes.
  EHeadRead ReadHead(std::size_t nMaxBytes, std::string* pstrHead, bool bRequest = false) {
    std::size_t nSkipped = 0;
    for (;;) {
      if (bRequest) {
        const std::size_t nEmpty = LeadingEmptyLineBytes(m_strPending.data(), m_strPending.size());
        m_strPending.erase(0, nEmpty);
        nSkipped += nEmpty;
        if (nSkipped > nMaxBytes) return EHeadRead::TooLong;
        // A lone CR may be the start of one more empty line.
        if (m_strPending.empty() || m_strPending == "\r") {
          if (!ReadMore()) return EHeadRead::Closed;
          continue;
        }
      }
      std::size_t nLength = 0;
      const EHeadEnd end = FindHeadEnd(m_strPending.data(), m_strPending.size(), nMaxBytes, &nLength);
      if (end == EHeadEnd::TooLong) return EHeadRead::TooLong;
      if (end == EHeadEnd::Complete) {
        *pstrHead = m_strPending.substr(0, nLength);
        m_strPending.erase(0, nLength);
        return EHeadRead::Complete;
      }
      if (!ReadMore()) return EHeadRead::Closed;
    }
  }
  bool ReadMore() {
    char buffer[kBufferBytes];
    const int nRead = ReceiveWithin(m_s, buffer, sizeof(buffer), m_dwTimeoutMs);
    if (nRead <= 0) return false;
    m_strPending.append(buffer, static_cast<std::size_t>(nRead));
    return true;
  }
  std::string& Pending() { return m_strPending; }

 private:
  SOCKET m_s;
  DWORD m_dwTimeoutMs;
  std::string m_strPending;
};

// Copies a body of nLength bytes, or a chunked one, from input to the socket to;
// bDechunk passes only the chunks' data.
bool RelayBody(CInput& input, SOCKET to, bool bChunked, unsigned long long nLength, bool bDechunk = false) {
  CChunkedBody chunked;
  std::string strData;
  for (;;) {
    std::string& strPending = input.Pending();
    std::size_t nTake = 0;
    if (bChunked) {
      strData.clear();
      nTake = chunked.Consume(strPending.data(), strPending.size(), bDechunk ? &strData : nullptr);
      if (chunked.IsMalformed()) return false;
    } else {
      nTake = nLength < strPending.size() ? static_cast<std::size_t>(nLength) : strPending.size();
      nLength -= nTake;
    }
    if (bDechunk ? !SendAll(to, strData) : (nTake && !SendAll(to, strPending.data(), nTake))) return false;
    strPending.erase(0, nTake);
    if (bChunked ? chunked.IsComplete() : nLength == 0) return true;
    if (!input.ReadMore()) return false;
  }
}

class CSession {
 public:
  CSession(SOCKET client, const sockaddr_storage& peer, const SProxySettings& settings)
      : m_client(client), m_peer(peer), m_settings(settings), m_input(client, settings.dwIdleMs) {}

  // False when the connection is to close after this request.
  bool ServeNext() {
    std::string strHead;
    const EHeadRead read = m_input.ReadHead(kMaxRequestHeadBytes, &strHead, true);
    if (read == EHeadRead::Closed) return false;
    if (read == EHeadRead::TooLong) return Refuse(400, "The request head is too long.");
    SProxyRequest request;
    std::string strReason;
    if (!ParseRequestHead(strHead, &request, &strReason)) return Refuse(400, strReason);
    // The address first: a listed one is decided before its name is looked up, so
    // a phisher's name server never learns who looked.
    if (!IsAllowedAddress(request)) return false;
    SResolvedAddress origin;
    const bool bResolved = ResolveHost(request.strHost, request.nPort, m_settings.resolveOverrides, &origin);
    // Behind an upstream proxy the name may resolve only there.
    if (!bResolved && !m_settings.bUpstream)
      return Refuse(502, "The host name " + request.strHost + " does not resolve.");
    if (bResolved) {
      // A request for the proxy itself would come back to it again and again.
      if (request.nPort == m_settings.nListenPort && IsThisMachine(origin))
        return Refuse(400, "The request is for the proxy itself.");
      if (!IsAllowedHostAddress(request, origin)) return false;
    }
    CCloseSocket server = ConnectTo(m_settings.bUpstream ? m_settings.upstream : origin, m_settings.dwOriginMs);
    if (!server)
      return Refuse(502, (m_settings.bUpstream ? "The upstream proxy for " : "The origin server ") +
                             HostFieldValue(request) + " does not answer.");
    if (request.bConnect) {
      if (!m_settings.bUpstream) {
        Tunnel(server.Get(), true, std::string());
      } else {
        OpenUpstreamTunnel(request, server.Get());
      }
      return false;
    }
    return Forward(request, server.Get());
  }

 private:
  bool Refuse(int nStatus, const std::string& strDetail) {
    SendAll(m_client, ErrorResponse(nStatus, strDetail, false));
    return false;
  }

  static bool IsThisMachine(const SResolvedAddress& address) {
    const std::string& strText = address.strText;
    return strText.compare(0, 4, "127.") == 0 || strText == "::1" || strText == "0.0.0.0" || strText == "::";
  }

  const SClientProgram& Program() {
    if (m_program.strName.empty()) m_program = ProgramOfConnection(m_peer, m_settings.nListenPort);
    return m_program;
  }

  // The request's host, port, path and query through the engine's typed check,
  // which brings them to their normal form (a CONNECT has no path: only hosts
  // listed whole stop a tunnel). A listed one goes to the console; a block
  // answers the client with the block page and closes the connection (a body may
  // still be on its way).
  bool IsAllowedAddress(const SProxyRequest& request) {
    std::string strAddress;
    if (!IsListedWebAddress(request, &strAddress)) return true;
    // The host's address only when it needs no name server, else its name: a
    // listed name is never looked up.
    SResolvedAddress known;
    const std::string strHostIP =
        ResolveHost(request.strHost, request.nPort, m_settings.resolveOverrides, &known, false) ? known.strText
                                                                                                : request.strHost;
    if (AskConsole(KIND_URL, Program(), strHostIP, request.nPort, strAddress) == VERDICT_BLOCK)
      return Block(strAddress, request.bConnect ? "The phishing definitions list this host."
                                                : "The phishing definitions list this web address.");
    return true;  // the user let it through: not asked a second time
  }

  // The resolved host address through IsBadIP.
  bool IsAllowedHostAddress(const SProxyRequest& request, const SResolvedAddress& origin) {
    if (IsListedHostAddress(origin.strText) &&
        AskConsole(KIND_HOST_IP, Program(), origin.strText, request.nPort, "") == VERDICT_BLOCK) {
      return Block(origin.strText, "The phishing definitions list this host address.");
    }
    return true;
  }

  bool Block(const std::string& strWhat, const std::string& strWhy) {
    SendAll(m_client, BlockPageResponse(strWhat, strWhy + " The console answered Block.", false));
    return false;
  }

  // Reads the answer's head, interim answers passed on to HTTP/1.1 clients.
  bool ReadAnswerHead(CInput& answer, const SProxyRequest& request, SProxyResponse* pResponse) {
    for (;;) {
      std::string strHead;
      if (answer.ReadHead(kMaxResponseHeadBytes, &strHead) != EHeadRead::Complete ||
          !ParseResponseHead(strHead, request, pResponse))
        return Refuse(502, "The origin server's answer is not HTTP.");
      if (pResponse->nStatus >= 200 || pResponse->bUpgraded || request.bConnect) return true;
      // Interim answers (100 Continue) go to HTTP/1.1 clients only.
      if (request.nMinorVersion == 1 && !SendAll(m_client, strHead)) return false;
    }
  }

  bool Forward(const SProxyRequest& request, SOCKET server) {
    if (!SendAll(server, ForwardedHead(request, m_settings.bUpstream)))
      return Refuse(502, "The origin server closed the connection.");
    if ((request.bChunkedBody || request.nContentLength) &&
        !RelayBody(m_input, server, request.bChunkedBody, request.nContentLength))
      return false;
    CInput answer(server, m_settings.dwOriginMs);
    SProxyResponse response;
    if (!ReadAnswerHead(answer, request, &response)) return false;
    if (!SendAll(m_client, response.strRelayedHead)) return false;
    if (response.bUpgraded) {
      // A WebSocket or other switched protocol: bytes both ways from here on.
      Tunnel(server, false, answer.Pending());
      return false;
    }
    return RelayAnswerBody(response, answer, server);
  }

  bool RelayAnswerBody(const SProxyResponse& response, CInput& answer, SOCKET server) {
    switch (response.body) {
      case EBodyKind::None:
        return response.bKeepAlive;
      case EBodyKind::Length:
      case EBodyKind::Chunked:
        return RelayBody(answer, m_client, response.body == EBodyKind::Chunked, response.nLength, response.bDechunk) &&
               response.bKeepAlive;
      case EBodyKind::UntilClose:
        if (!SendAll(m_client, answer.Pending())) return false;
        while (ReceiveAndSend(server, m_client, m_settings.dwOriginMs) > 0) {
        }
        return false;
    }
    return false;
  }

  // The client's tunnel through the upstream proxy: a refusal there (such as its
  // 407 asking for credentials) goes to the client as it came, and the
  // connection ends.
  void OpenUpstreamTunnel(const SProxyRequest& request, SOCKET server) {
    if (!SendAll(server, UpstreamConnectHead(request))) {
      Refuse(502, "The upstream proxy closed the connection.");
      return;
    }
    CInput answer(server, m_settings.dwOriginMs);
    SProxyRequest closing = request;
    closing.bKeepAlive = false;
    SProxyResponse response;
    if (!ReadAnswerHead(answer, closing, &response)) return;
    if (response.nStatus >= 200 && response.nStatus < 300) {
      Tunnel(server, true, answer.Pending());
      return;
    }
    if (SendAll(m_client, response.strRelayedHead)) RelayAnswerBody(response, answer, server);
  }

  // One read from `from` passed on to `to`: bytes passed, 0 at the end, < 0 on failure.
  static int ReceiveAndSend(SOCKET from, SOCKET to, DWORD dwTimeoutMs) {
    char buffer[kBufferBytes];
    const int nRead = ReceiveWithin(from, buffer, sizeof(buffer), dwTimeoutMs);
    if (nRead > 0 && !SendAll(to, buffer, static_cast<std::size_t>(nRead))) return -1;
    return nRead;
  }

  // Bytes both ways until both sides have closed or the tunnel is idle too long;
  // bAnnounce tells a CONNECT client that it stands. strFromServer: bytes of the
  // server already read.
  void Tunnel(SOCKET server, bool bAnnounce, const std::string& strFromServer) {
    if (bAnnounce && !SendAll(m_client, "HTTP/1.1 200 Connection established\r\n\r\n")) return;
    if (!strFromServer.empty() && !SendAll(m_client, strFromServer)) return;
    if (!m_input.Pending().empty() && !SendAll(server, m_input.Pending())) return;
    bool bClientOpen = true;
    bool bServerOpen = true;
    while (bClientOpen || bServerOpen) {
      fd_set readable;
      FD_ZERO(&readable);
      if (bClientOpen) FD_SET(m_client, &readable);
      if (bServerOpen) FD_SET(server, &readable);
      timeval timeout = {static_cast<long>(m_settings.dwTunnelIdleMs / 1000), 0};
      if (::select(0, &readable, nullptr, nullptr, &timeout) <= 0) return;
      if (bClientOpen && FD_ISSET(m_client, &readable) && ReceiveAndSend(m_client, server, 0) <= 0) {
        bClientOpen = false;
        ::shutdown(server, SD_SEND);
      }
      if (bServerOpen && FD_ISSET(server, &readable) && ReceiveAndSend(server, m_client, 0) <= 0) {
        bServerOpen = false;
        ::shutdown(m_client, SD_SEND);
      }
    }
  }

  SOCKET m_client;
  sockaddr_storage m_peer;
  const SProxySettings& m_settings;
  CInput m_input;
  SClientProgram m_program;
};

}  // namespace

void ServeConnection(CCloseSocket client, const sockaddr_storage& peer, const SProxySettings& settings,
                     const std::atomic<bool>& bStopping) {
  SetSendOptions(client.Get());
  CSession session(client.Get(), peer, settings);
  while (!bStopping && session.ServeNext()) {
  }
  // Our answer goes first, then what the client still sends is read and dropped
  // for a moment: closing with unread bytes would reset the connection and could
  // take the answer with it.
  ::shutdown(client.Get(), SD_SEND);
  char buffer[kBufferBytes];
  for (int nReads = 0; nReads < 64 && ReceiveWithin(client.Get(), buffer, sizeof(buffer), 1000) > 0; ++nReads) {
  }
}
