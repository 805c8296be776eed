// BareRelay.exe LISTEN_PORT TARGET_PORT: the least a relay on the loopback
// address can do, for the proxy's benchmark (scripts/bench-proxy.sh): every
// connection to LISTEN_PORT joined to a new one to TARGET_PORT, bytes copied both
// ways with blocking calls and large buffers, one thread per direction. No
// parsing, no checks: what the platform itself allows a relay.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <thread>

namespace {

constexpr int kBufferBytes = 256 * 1024;

void Copy(SOCKET from, SOCKET to) {
  const std::unique_ptr<char[]> buffer(new char[kBufferBytes]);
  for (;;) {
    const int nRead = ::recv(from, buffer.get(), kBufferBytes, 0);
    if (nRead <= 0) break;
    for (int nSent = 0; nSent < nRead;) {
      const int n = ::send(to, buffer.get() + nSent, nRead - nSent, 0);
      if (n <= 0) return;
      nSent += n;
    }
  }
  ::shutdown(to, SD_SEND);
}

void Join(SOCKET client, unsigned short nTargetPort) {
  SOCKET server = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in target = {};
  target.sin_family = AF_INET;
  target.sin_port = htons(nTargetPort);
  target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  BOOL bNoDelay = TRUE;
  for (SOCKET s : {client, server})
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&bNoDelay), sizeof(bNoDelay));
  if (::connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof(target)) == 0) {
    std::thread back(Copy, server, client);
    Copy(client, server);
    back.join();
  }
  ::closesocket(server);
  ::closesocket(client);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: BareRelay LISTEN_PORT TARGET_PORT\n");
    return 2;
  }
  WSADATA wsa;
  if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 1;
  SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in local = {};
  local.sin_family = AF_INET;
  local.sin_port = htons(static_cast<unsigned short>(std::atoi(argv[1])));
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listener, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0 ||
      ::listen(listener, SOMAXCONN) != 0) {
    std::fprintf(stderr, "BareRelay: cannot listen on port %s\n", argv[1]);
    return 1;
  }
  std::printf("relay listening on 127.0.0.1:%s\n", argv[1]);
  std::fflush(stdout);
  const unsigned short nTargetPort = static_cast<unsigned short>(std::atoi(argv[2]));
  for (;;) {
    const SOCKET client = ::accept(listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    std::thread(Join, client, nTargetPort).detach();
  }
}
