// Serving one client connection of the web proxy over sockets (see
// ProxySession_win.h): the checks and connections a session asks for, and tunnels.
#include "guard/proxy/ProxySession_win.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "guard/proxy/ProxyChecks_win.h"
#include "guard/proxy/ProxySession.h"
#include "guard/proxy/SocketStream_win.h"
#include "shared/EngineRequest.h"

namespace {

// A tunnel's reads: large, so that a download takes few of them, and larger
// while they keep coming back full.
constexpr int kTunnelBufferBytes = 256 * 1024;
constexpr int kTunnelMaxBufferBytes = 1024 * 1024;
// A tunnel without traffic for this long counts as idle.
constexpr DWORD kTunnelQuietMs = 5000;

bool IsThisMachine(const SResolvedAddress& address) {
  const std::string& strText = address.strText;
  return strText.compare(0, 4, "127.") == 0 || strText == "::1" || strText == "0.0.0.0" || strText == "::";
}

// What the session asks of the guard: the engine's and the console's checks, the
// user's upstream proxy, names resolved and connections made.
class CSocketPeers : public IProxyPeers {
 public:
  // dwProgram: the client's process, as found when its connection was accepted.
  CSocketPeers(unsigned long dwProgram, const SProxySettings& settings, const std::function<void(bool)>& onIdle)
      : m_dwProgram(dwProgram), m_settings(settings), m_onIdle(onIdle) {}

  SProxyRoute Route(const SProxyRequest& request) override {
    SProxyRoute route;
    // The address first: a listed one is decided before its name is looked up, so
    // a phisher's name server never learns who looked.
    if (IsBlockedAddress(request, &route)) return route;
    route.bUpstream = m_settings.bUpstream;
    m_upstream = m_settings.upstream;
    if (m_settings.chooseUpstream)
      route.bUpstream = m_settings.chooseUpstream(request.strHost, request.nPort, request.bConnect, &m_upstream);
    SResolvedAddress origin;
    const bool bResolved = ResolveHost(request.strHost, request.nPort, m_settings.resolveOverrides, &origin);
    // Behind an upstream proxy the name may resolve only there.
    if (!bResolved && !route.bUpstream) return Refused(502, "The host name " + request.strHost + " does not resolve.");
    if (bResolved) {
      // A request for the proxy itself would come back to it again and again.
      if (request.nPort == m_settings.nListenPort && IsThisMachine(origin))
        return Refused(400, "The request is for the proxy itself.");
      if (IsListedHostAddress(origin.strText) &&
          AskConsole(EWebKind::HostIP, Program(), origin.strText, request.nPort, "") == VERDICT_BLOCK) {
        route.outcome = EProxyOutcome::Block;
        route.strBlocked = origin.strText;
        route.strDetail = "The phishing definitions list this host address. The console answered Block.";
        return route;
      }
    }
    m_target = route.bUpstream ? m_upstream : origin;
    // Kept connections are reused for the same name and address only.
    route.strOrigin = (route.bUpstream ? "proxy " : request.strHost + " ") + m_target.strText + " " +
                      std::to_string(route.bUpstream ? PortOf(m_target) : request.nPort);
    return route;
  }

  std::unique_ptr<IByteStream> Connect(const SProxyRoute&) override {
    CCloseSocket server = ConnectTo(m_target, m_settings.dwOriginMs);
    // A refused or lost first attempt (a busy listener's full queue) is tried once more.
    if (!server) server = ConnectTo(m_target, m_settings.dwOriginMs);
    if (!server) return nullptr;
    return std::make_unique<CSocketStream>(std::move(server));
  }

  bool OwnPage(const std::string& strPath, std::string* pstrType, std::string* pstrBody) override {
    return m_settings.ownPage && m_settings.ownPage(strPath, pstrType, pstrBody);
  }
  void SetIdle(bool bIdle) override {
    if (m_onIdle) m_onIdle(bIdle);
  }
  std::uint64_t NowMs() override { return ::GetTickCount64(); }

 private:
  static SProxyRoute Refused(int nStatus, const std::string& strDetail) {
    SProxyRoute route;
    route.outcome = EProxyOutcome::Refuse;
    route.nStatus = nStatus;
    route.strDetail = strDetail;
    return route;
  }
  static unsigned PortOf(const SResolvedAddress& address) {
    return address.address.ss_family == AF_INET6
               ? ntohs(reinterpret_cast<const sockaddr_in6&>(address.address).sin6_port)
               : ntohs(reinterpret_cast<const sockaddr_in&>(address.address).sin_port);
  }

  const SClientProgram& Program() {
    if (m_program.strName.empty()) m_program = ProgramOfProcess(m_dwProgram);
    return m_program;
  }

  // The request's host, port, path and query through the engine's typed check
  // (a CONNECT has no path: only hosts listed whole stop a tunnel); a listed one
  // goes to the console.
  bool IsBlockedAddress(const SProxyRequest& request, SProxyRoute* pRoute) {
    std::string strAddress;
    if (!IsListedWebAddress(request, &strAddress)) return false;
    // The host's address only when it needs no name server, else its name: a
    // listed name is never looked up.
    SResolvedAddress known;
    const std::string strHostIP =
        ResolveHost(request.strHost, request.nPort, m_settings.resolveOverrides, &known, false) ? known.strText
                                                                                                : request.strHost;
    if (AskConsole(EWebKind::Url, Program(), strHostIP, request.nPort, strAddress) != VERDICT_BLOCK) return false;
    pRoute->outcome = EProxyOutcome::Block;
    pRoute->strBlocked = strAddress;
    pRoute->strDetail = std::string(request.bConnect ? "The phishing definitions list this host."
                                                     : "The phishing definitions list this web address.") +
                        " The console answered Block.";
    return true;
  }

  unsigned long m_dwProgram;
  const SProxySettings& m_settings;
  const std::function<void(bool)>& m_onIdle;
  SClientProgram m_program;
  SResolvedAddress m_upstream;
  SResolvedAddress m_target;  // where the request last routed goes
};

// One read from `from` passed on to `to`: bytes passed, 0 at the end, < 0 on failure.
int PassOn(SOCKET from, SOCKET to, char* pBuffer) {
  const int nRead = ::recv(from, pBuffer, kTunnelBufferBytes, 0);
  if (nRead > 0 && !SendAll(to, pBuffer, static_cast<std::size_t>(nRead))) return -1;
  return nRead;
}

// Bytes both ways until both sides have closed or the tunnel is idle too long,
// waiting on both sockets at once: for a tunnel no worker can be had for.
void RelayTunnelOnOneThread(SOCKET client, SOCKET server, const SProxySettings& settings, IProxyPeers& peers) {
  const std::unique_ptr<char[]> buffer(new char[kTunnelBufferBytes]);
  bool bClientOpen = true;
  bool bServerOpen = true;
  // A tunnel quiet for a while counts as idle; quiet for dwTunnelIdleMs it ends.
  ULONGLONG ullQuietSince = ::GetTickCount64();
  while (bClientOpen || bServerOpen) {
    fd_set readable;
    FD_ZERO(&readable);
    if (bClientOpen) FD_SET(client, &readable);
    if (bServerOpen) FD_SET(server, &readable);
    timeval timeout = {static_cast<long>(kTunnelQuietMs / 1000), 0};
    const int nReady = ::select(0, &readable, nullptr, nullptr, &timeout);
    if (nReady < 0) return;
    if (nReady == 0) {
      peers.SetIdle(true);
      // One side done sending (or closed for room): the other gets one quiet spell.
      if (!bClientOpen || !bServerOpen || ::GetTickCount64() - ullQuietSince >= settings.dwTunnelIdleMs) return;
      continue;
    }
    peers.SetIdle(false);
    ullQuietSince = ::GetTickCount64();
    if (bClientOpen && FD_ISSET(client, &readable) && PassOn(client, server, buffer.get()) <= 0) {
      bClientOpen = false;
      ::shutdown(server, SD_SEND);
    }
    if (bServerOpen && FD_ISSET(server, &readable) && PassOn(server, client, buffer.get()) <= 0) {
      bServerOpen = false;
      ::shutdown(client, SD_SEND);
    }
  }
}

// One direction of a tunnel: blocking reads bounded by the quiet time, so a
// download needs no wait on two sockets before each read.
class CTunnelDirection {
 public:
  CTunnelDirection(SOCKET from, SOCKET to, std::atomic<ULONGLONG>& ullLastTraffic)
      : m_from(from), m_to(to), m_ullLastTraffic(ullLastTraffic) {
    DWORD dwTimeoutMs = kTunnelQuietMs;
    ::setsockopt(from, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&dwTimeoutMs), sizeof(dwTimeoutMs));
  }
  // Passes bytes on until the end; fnQuiet() after each quiet spell says whether to go on.
  template <typename TQuiet>
  void Run(TQuiet fnQuiet) {
    std::vector<char> buffer(kTunnelBufferBytes);
    for (;;) {
      const int cbRoom = static_cast<int>(buffer.size());
      const int nRead = ::recv(m_from, buffer.data(), cbRoom, 0);
      if (nRead > 0) {
        m_ullLastTraffic = ::GetTickCount64();
        if (!SendAll(m_to, buffer.data(), static_cast<std::size_t>(nRead))) break;
        if (nRead == cbRoom && cbRoom < kTunnelMaxBufferBytes) buffer.resize(buffer.size() * 2);
        continue;
      }
      if (nRead < 0 && ::WSAGetLastError() == WSAETIMEDOUT && fnQuiet()) continue;
      break;
    }
    ::shutdown(m_to, SD_SEND);
  }

 private:
  SOCKET m_from;
  SOCKET m_to;
  std::atomic<ULONGLONG>& m_ullLastTraffic;
};

// Bytes both ways, client to server on a second worker, until both sides have
// closed or the tunnel is quiet for dwTunnelIdleMs.
void RelayTunnel(SOCKET client, SOCKET server, const SProxySettings& settings, IProxyPeers& peers,
                 CWorkerPool* pWorkers) {
  struct SShared {
    std::atomic<ULONGLONG> ullLastTraffic{::GetTickCount64()};
    std::atomic<bool> bEnd{false};
    // Either side done sending: the other one waits one quiet spell more at most.
    std::atomic<bool> bClientDone{false};
    std::atomic<bool> bServerDone{false};
    std::mutex mutex;
    std::condition_variable done;
    bool bUpDone = false;
  };
  const auto pShared = std::make_shared<SShared>();
  // The tunnel's end: both sockets shut, so the other direction's read returns.
  const auto end = [client, server, pShared] {
    pShared->bEnd = true;
    ::shutdown(client, SD_BOTH);
    ::shutdown(server, SD_BOTH);
  };
  const auto quietLongEnough = [&settings, pShared] {
    return ::GetTickCount64() - pShared->ullLastTraffic >= settings.dwTunnelIdleMs;
  };
  const bool bUp = pWorkers && pWorkers->Run([client, server, pShared, quietLongEnough, end] {
    CTunnelDirection(client, server, pShared->ullLastTraffic).Run([&] {
      return !pShared->bEnd && !pShared->bServerDone && !quietLongEnough();
    });
    pShared->bClientDone = true;
    std::lock_guard<std::mutex> lock(pShared->mutex);
    pShared->bUpDone = true;
    pShared->done.notify_all();
  });
  if (!bUp) {
    RelayTunnelOnOneThread(client, server, settings, peers);
    return;
  }
  CTunnelDirection(server, client, pShared->ullLastTraffic).Run([&] {
    // Quiet both ways for a while: idle, closed first when the proxy needs room.
    const bool bQuiet = ::GetTickCount64() - pShared->ullLastTraffic >= kTunnelQuietMs;
    peers.SetIdle(bQuiet);
    // A client that is done sending (or was closed to make room) waits one quiet
    // spell for the server's last bytes, not the whole idle limit: its workers
    // are free again soon.
    if (pShared->bEnd || pShared->bClientDone || quietLongEnough()) return false;
    return true;
  });
  pShared->bServerDone = true;
  peers.SetIdle(false);
  std::unique_lock<std::mutex> lock(pShared->mutex);
  // The server is done sending; the client may still send until a quiet spell.
  if (!pShared->done.wait_for(lock, std::chrono::milliseconds(settings.dwTunnelIdleMs),
                              [&] { return pShared->bUpDone; })) {
    lock.unlock();
    end();
    lock.lock();
    pShared->done.wait(lock, [&] { return pShared->bUpDone; });
  }
}

}  // namespace

void ServeConnection(CCloseSocket client, unsigned long dwProgram, const SProxySettings& settings, COriginPool* pPool,
                     CWorkerPool* pWorkers, const std::atomic<bool>& bStopping, const std::function<void(bool)>& onIdle,
                     bool bOwnPagesOnly) {
  SetSendOptions(client.Get());
  CSocketStream clientStream(client.Get());
  CSocketPeers peers(dwProgram, settings, onIdle);
  SSessionLimits limits;
  limits.nIdleMs = settings.dwIdleMs;
  limits.nWholeHeadMs = settings.dwWholeHeadMs;
  limits.nOriginMs = settings.dwOriginMs;
  limits.bOwnPagesOnly = bOwnPagesOnly;
  CProxySession session(clientStream, peers, pPool, limits);
  CProxySession::SStep step;
  do {
    step = session.Step();
  } while (!bStopping && step.bMore);
  if (step.outcome == EProxyOutcome::Tunnel) {
    // Every stream CSocketPeers makes is a socket's.
    const std::unique_ptr<IByteStream> pServer = session.TakeTunnel();
    RelayTunnel(client.Get(), static_cast<CSocketStream&>(*pServer).Socket(), settings, peers, pWorkers);
    return;  // both ways are done
  }
  // Our answer goes first, then what the client still sends is read and dropped
  // for a moment: closing with unread bytes would reset the connection and could
  // take the answer with it.
  ::shutdown(client.Get(), SD_SEND);
  char buffer[4096];
  for (int nReads = 0; nReads < 64 && clientStream.Read(buffer, sizeof(buffer), 1000) > 0; ++nReads) {
  }
}
