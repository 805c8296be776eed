// Serving one client connection of the web proxy (see ProxySession_win.h).
#include "standins/provider/ProxySession_win.h"

#include <string>

#include "shared/EngineRequest.h"
#include "standins/provider/ProxyChecks_win.h"
#include "standins/provider/ProxyPages.h"
#include "standins/provider/ProxyRequestHead.h"
#include "standins/provider/ProxyResponseHead.h"

namespace {

constexpr std::size_t kMaxResponseHeadBytes = 64 * 1024;
constexpr int kBufferBytes = 16 * 1024;

enum class EHeadRead { Complete, Closed, TooLong };

// Bytes read from one socket that were not used yet, and reading a head from it.
class CInput {
 public:
  CInput(SOCKET s, DWORD dwTimeoutMs) : m_s(s), m_dwTimeoutMs(dwTimeoutMs) {}
  EHeadRead ReadHead(std::size_t nMaxBytes, std::string* pstrHead) {
    for (;;) {
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
    const EHeadRead read = m_input.ReadHead(kMaxRequestHeadBytes, &strHead);
    if (read == EHeadRead::Closed) return false;
    if (read == EHeadRead::TooLong) return Refuse(400, "The request head is too long.");
    SProxyRequest request;
    std::string strReason;
    if (!ParseRequestHead(strHead, &request, &strReason)) return Refuse(400, strReason);
    SResolvedAddress origin;
    if (!ResolveHost(request.strHost, request.nPort, m_settings.resolveOverrides, &origin))
      return Refuse(502, "The host name " + request.strHost + " does not resolve.");
    // A request for the proxy itself would come back to it again and again.
    if (request.nPort == m_settings.nListenPort && IsThisMachine(origin))
      return Refuse(400, "The request is for the proxy itself.");
    if (!IsAllowed(request, origin)) return false;
    CCloseSocket server = ConnectTo(origin, m_settings.dwOriginMs);
    if (!server) return Refuse(502, "The origin server " + HostFieldValue(request) + " does not answer.");
    if (request.bConnect) {
      Tunnel(server.Get());
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

  // The host address through IsBadIP, then the address of the request through
  // IsBadUrl; a listed one goes to the console. A block answers the client with
  // the block page and closes the connection (a body may still be on its way).
  bool IsAllowed(const SProxyRequest& request, const SResolvedAddress& origin) {
    if (IsListedHostAddress(origin.strText) &&
        AskConsole(KIND_HOST_IP, Program(), origin.strText, request.nPort, "") == VERDICT_BLOCK) {
      return Block(origin.strText, "The phishing definitions list this host address.");
    }
    std::string strAddress = request.bConnect ? request.strHost : AddressOfCheckedHead(CheckedHead(request));
    if (!strAddress.empty() && IsListedUrl(&strAddress) &&
        AskConsole(KIND_URL, Program(), origin.strText, request.nPort, strAddress) == VERDICT_BLOCK) {
      return Block(strAddress, request.bConnect ? "The phishing definitions list this host."
                                                : "The phishing definitions list this web address.");
    }
    return true;
  }

  bool Block(const std::string& strWhat, const std::string& strWhy) {
    SendAll(m_client, BlockPageResponse(strWhat, strWhy + " The console answered Block.", false));
    return false;
  }

  bool Forward(const SProxyRequest& request, SOCKET server) {
    if (!SendAll(server, ForwardedHead(request))) return Refuse(502, "The origin server closed the connection.");
    if ((request.bChunkedBody || request.nContentLength) &&
        !RelayBody(m_input, server, request.bChunkedBody, request.nContentLength))
      return false;
    CInput answer(server, m_settings.dwOriginMs);
    SProxyResponse response;
    for (;;) {
      std::string strHead;
      if (answer.ReadHead(kMaxResponseHeadBytes, &strHead) != EHeadRead::Complete ||
          !ParseResponseHead(strHead, request, &response))
        return Refuse(502, "The origin server's answer is not HTTP.");
      if (response.nStatus >= 200) break;
      // Interim answers (100 Continue) go to HTTP/1.1 clients only.
      if (request.nMinorVersion == 1 && !SendAll(m_client, strHead)) return false;
    }
    if (!SendAll(m_client, response.strRelayedHead)) return false;
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

  // One read from `from` passed on to `to`: bytes passed, 0 at the end, < 0 on failure.
  static int ReceiveAndSend(SOCKET from, SOCKET to, DWORD dwTimeoutMs) {
    char buffer[kBufferBytes];
    const int nRead = ReceiveWithin(from, buffer, sizeof(buffer), dwTimeoutMs);
    if (nRead > 0 && !SendAll(to, buffer, static_cast<std::size_t>(nRead))) return -1;
    return nRead;
  }

  // Bytes both ways until both sides have closed or the tunnel is idle too long.
  void Tunnel(SOCKET server) {
    if (!SendAll(m_client, "HTTP/1.1 200 Connection established\r\n\r\n")) return;
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
  SendWithoutDelay(client.Get());
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
