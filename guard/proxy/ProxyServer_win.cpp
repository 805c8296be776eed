// Accepting the web proxy's clients (see ProxyServer_win.h).
#include "guard/proxy/ProxyServer_win.h"

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <cstdio>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

#include "engine/LSPGlobals.h"
#include "guard/proxy/ClientUser_win.h"
#include "guard/proxy/ConnectionSlots.h"
#include "guard/proxy/ProxyChecks_win.h"
#include "guard/proxy/ProxyPages.h"
#include "guard/proxy/ProxySession_win.h"
#include "shared/WorkerPool.h"

namespace {

// How soon the accept loop sees a stop.
constexpr DWORD kAcceptPollMs = 100;
// Clients accepted together at most, before their programs are looked up.
constexpr std::size_t kAcceptBatch = 64;
// A worker thread with no connection to serve for this long ends.
constexpr unsigned kWorkerIdleMs = 30000;

std::atomic<bool> g_bStopping{false};

BOOL WINAPI OnConsoleControl(DWORD) {
  g_bStopping = true;
  return TRUE;
}

bool IsReadable(SOCKET s) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(s, &readable);
  timeval timeout = {0, 0};
  return ::select(0, &readable, nullptr, nullptr, &timeout) > 0;
}

// The connections being served: their slots (see ConnectionSlots.h), their
// sockets, so that one closed for room can be woken, and waiting for none at the end.
class CConnectionTable {
 public:
  CConnectionTable() : m_slots(kMaxProxyConnections, kMaxProxyConnectionsPerProgram) {}

  // The new connection's id, or 0 when it is refused.
  std::uint64_t Add(SOCKET s, unsigned long dwProgram) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const CConnectionSlots::SAdmission admission = m_slots.Admit(dwProgram, ::GetTickCount64());
    if (!admission.bAdmitted) return 0;
    if (admission.nEvict) {
      // Its thread sees the connection end and leaves.
      const auto evicted = m_sockets.find(admission.nEvict);
      if (evicted != m_sockets.end()) ::shutdown(evicted->second, SD_BOTH);
    }
    m_sockets[admission.nId] = s;
    ++m_nThreads;
    return admission.nId;
  }
  void SetIdle(std::uint64_t nId, bool bIdle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_slots.SetIdle(nId, bIdle, ::GetTickCount64());
  }
  void Remove(std::uint64_t nId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_slots.Remove(nId);
    m_sockets.erase(nId);
    --m_nThreads;
    m_changed.notify_all();
  }
  bool WaitForNone(DWORD dwTimeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(dwTimeoutMs), [this] { return m_nThreads == 0; });
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  CConnectionSlots m_slots;
  std::map<std::uint64_t, SOCKET> m_sockets;
  int m_nThreads = 0;
};

}  // namespace

CResult RunProxy(const SProxyOptions& options, const SProxyHooks& hooks, bool* pbConnectionsLeft) {
  CWSACleanup winsock;
  if (!winsock.IsStarted()) return CResult(RESULT_INTERNAL_ERROR, "Windows Sockets did not start");
  // Without the key or its "App Path" alike, no definitions file is known yet.
  if (!CLSPGlobals::InitializeAppVars() || CLSPGlobals::szDBPath[0] == 0)
    PrintLine("the console has not published its folder yet: nothing is listed until it does");
  CResultOf<CCloseSocket> listening = ListenOn(options.strAddress, options.nPort);
  if (!listening.IsOk()) return listening.Result();
  CCloseSocket listener = std::move(listening.Value());
  // Shared with the connection threads, which may outlive this call if they hang.
  struct SShared {
    SProxySettings settings;
    CConnectionTable connections;
    COriginPool origins;
  };
  const auto shared = std::make_shared<SShared>();
  SProxySettings& settings = shared->settings;
  settings.nListenPort = LocalPort(listener.Get());
  settings.resolveOverrides = options.resolveOverrides;
  settings.chooseUpstream = hooks.chooseUpstream;
  settings.ownPage = hooks.ownPage;
  if (!options.strUpstreamHost.empty()) {
    if (!ResolveHost(options.strUpstreamHost, options.nUpstreamPort, settings.resolveOverrides, &settings.upstream))
      return CResult(RESULT_INVALID_PARAMETER, "the upstream proxy " + options.strUpstreamHost + " does not resolve");
    settings.bUpstream = true;
  }
  ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
  PrintLine("proxy listening on " + options.strAddress + ":" + std::to_string(settings.nListenPort) + ", definitions " +
            CLSPGlobals::szDBPath +
            (settings.bUpstream ? ", through the upstream proxy " + settings.upstream.strText + ":" +
                                      std::to_string(options.nUpstreamPort)
                                : std::string()));

  CConnectionTable& connections = shared->connections;
  // Two workers per connection slot at most (a tunnel takes two); threads are kept
  // between connections. Shared with the connections, which may outlive this call.
  const auto pWorkers = std::make_shared<CWorkerPool>(2 * kMaxProxyConnections, kWorkerIdleMs);
  CWorkerPool& workers = *pWorkers;
  // bOwnPagesOnly: another user's program may fetch the own pages (the system's
  // auto-proxy service fetches the script for everyone) and nothing else.
  const auto Serve = [&](CCloseSocket client, unsigned long dwProgram, bool bOwnPagesOnly) {
    const std::uint64_t nId = connections.Add(client.Get(), dwProgram);
    if (!nId) {
      SetSendOptions(client.Get());
      SendAll(client.Get(), ErrorResponse(503, "Too many connections at once; try again.", false));
      return;
    }
    // A thread the system cannot give is one client refused, not the proxy ended.
    auto pClient = std::make_shared<CCloseSocket>(std::move(client));
    const bool bRunning = workers.Run([shared, pWorkers, dwProgram, nId, bOwnPagesOnly, pClient] {
      const std::function<void(bool)> onIdle = [&shared, nId](bool bIdle) { shared->connections.SetIdle(nId, bIdle); };
      ServeConnection(std::move(*pClient), dwProgram, shared->settings, &shared->origins, pWorkers.get(), g_bStopping,
                      onIdle, bOwnPagesOnly);
      shared->connections.Remove(nId);
    });
    if (!bRunning) connections.Remove(nId);
  };
  const ULONGLONG ullEnd = options.nSeconds ? ::GetTickCount64() + options.nSeconds * 1000ULL : 0;
  while (!g_bStopping && (!ullEnd || ::GetTickCount64() < ullEnd)) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener.Get(), &readable);
    timeval timeout = {0, static_cast<long>(kAcceptPollMs * 1000)};
    if (::select(0, &readable, nullptr, nullptr, &timeout) <= 0) continue;
    // Every client waiting now is accepted first, so that one look at the system's
    // connection table names all their programs.
    std::vector<CCloseSocket> clients;
    std::vector<sockaddr_storage> peers;
    do {
      sockaddr_storage peer = {};
      int cbPeer = sizeof(peer);
      CCloseSocket client(::accept(listener.Get(), reinterpret_cast<sockaddr*>(&peer), &cbPeer));
      if (!client) break;
      clients.push_back(std::move(client));
      peers.push_back(peer);
    } while (clients.size() < kAcceptBatch && IsReadable(listener.Get()));
    const std::vector<unsigned long> programs = ProcessesOfConnections(peers, settings.nListenPort);
    std::vector<bool> others(clients.size(), false);
    if (hooks.bOwnUserOnly) {
      std::vector<SOCKET> sockets;
      for (const CCloseSocket& client : clients) sockets.push_back(client.Get());
      others = AreOtherUsersClients(sockets, programs);
    }
    for (std::size_t i = 0; i < clients.size(); ++i) Serve(std::move(clients[i]), programs[i], others[i]);
  }
  g_bStopping = true;
  listener.Reset();
  const bool bLeft = !connections.WaitForNone(hooks.dwStopWaitMs);
  if (pbConnectionsLeft) *pbConnectionsLeft = bLeft;
  if (bLeft) PrintLine("proxy stopped with connections still open");
  PrintLine("proxy stopped");
  return CResult();
}

void RequestProxyStop() {
  g_bStopping = true;
}
