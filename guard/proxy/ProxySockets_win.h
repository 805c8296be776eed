// The socket calls the web proxy makes: listening, name resolution, connecting,
// and sending with a deadline (receiving: SocketStream_win.h), so no connection
// waits for ever.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <map>
#include <string>

#include "shared/OwnedResources_win.h"
#include "shared/Result.h"

// Host names that resolve without a name server ("--resolve NAME=ADDRESS").
using CResolveOverrides = std::map<std::string, std::string>;

struct SResolvedAddress {
  sockaddr_storage address = {};
  int cbAddress = 0;
  std::string strText;  // "127.0.0.1"
};

// IPv4 first, then IPv6. False when the name does not resolve. Without
// bAskNameServer only an address written as such or an override resolves.
bool ResolveHost(const std::string& strHost, unsigned nPort, const CResolveOverrides& overrides,
                 SResolvedAddress* pResolved, bool bAskNameServer = true);

// A connected socket, or an empty one when the connection is refused or not made
// within dwTimeoutMs.
CCloseSocket ConnectTo(const SResolvedAddress& target, DWORD dwTimeoutMs);

// A socket listening on strAddress:nPort, or why there is none.
CResultOf<CCloseSocket> ListenOn(const std::string& strAddress, unsigned nPort);

// A peer that takes nothing for this long has stopped reading: the send fails.
constexpr DWORD kSendProgressMs = 30000;

// Every byte, or false; also when the peer takes none of the next piece within
// kSendProgressMs.
bool SendAll(SOCKET s, const char* pData, std::size_t nSize);
inline bool SendAll(SOCKET s, const std::string& strData) {
  return SendAll(s, strData.data(), strData.size());
}

// The socket sends what it is given at once: the proxy relays heads and bodies in pieces, and
// waiting to coalesce them only adds the peer's delayed acknowledgement.
// Each blocking send is also bounded by kSendProgressMs.
void SetSendOptions(SOCKET s);

// The port a socket is bound to, in host order.
unsigned LocalPort(SOCKET s);
