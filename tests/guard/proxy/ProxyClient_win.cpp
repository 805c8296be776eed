// A Windows program as the proxy's client, so that the proxy can find the program
// that opened the connection: sends one GET for URL to the proxy on the loopback
// address and prints the answer's status line.
//   proxy-client PROXY_PORT URL
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shared/OwnedResources_win.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  CWSACleanup winsock;
  CCloseSocket s(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  sockaddr_in proxy = {};
  proxy.sin_family = AF_INET;
  proxy.sin_port = htons(static_cast<u_short>(std::atoi(argv[1])));
  proxy.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (!s || ::connect(s.Get(), reinterpret_cast<sockaddr*>(&proxy), sizeof(proxy)) != 0) {
    std::printf("no connection\n");
    return 1;
  }
  const std::string strRequest = std::string("GET ") + argv[2] + " HTTP/1.1\r\nConnection: close\r\n\r\n";
  ::send(s.Get(), strRequest.data(), static_cast<int>(strRequest.size()), 0);
  DWORD dwTimeoutMs = 30000;
  ::setsockopt(s.Get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&dwTimeoutMs), sizeof(dwTimeoutMs));
  std::string strAnswer;
  char buffer[4096];
  int nRead = 0;
  while (strAnswer.find("\r\n") == std::string::npos && (nRead = ::recv(s.Get(), buffer, sizeof(buffer), 0)) > 0)
    strAnswer.append(buffer, static_cast<std::size_t>(nRead));
  std::printf("%s\n", strAnswer.substr(0, strAnswer.find("\r\n")).c_str());
  return 0;
}
