// Socket calls of the web proxy (see ProxySockets_win.h).
#include "guard/proxy/ProxySockets_win.h"

#include <cstring>

namespace {

// Whether a connect ends within dwTimeoutMs.
bool WaitForConnect(SOCKET s, DWORD dwTimeoutMs) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  fd_set errors;
  FD_ZERO(&errors);
  FD_SET(s, &errors);
  timeval timeout = {static_cast<long>(dwTimeoutMs / 1000), static_cast<long>((dwTimeoutMs % 1000) * 1000)};
  const int nReady = ::select(0, nullptr, &set, &errors, &timeout);
  return nReady > 0 && FD_ISSET(s, &set);
}

bool Resolve(const std::string& strHost, unsigned nPort, int nFamily, int nFlags, SResolvedAddress* pResolved) {
  addrinfo hints = {};
  hints.ai_family = nFamily;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = nFlags;
  CFreeAddrInfo found;
  if (::getaddrinfo(strHost.c_str(), std::to_string(nPort).c_str(), &hints, found.Receive()) != 0 || !found)
    return false;
  const addrinfo* pFirst = found.Get();
  if (pFirst->ai_addrlen > sizeof(pResolved->address)) return false;
  std::memcpy(&pResolved->address, pFirst->ai_addr, pFirst->ai_addrlen);
  pResolved->cbAddress = static_cast<int>(pFirst->ai_addrlen);
  char szText[INET6_ADDRSTRLEN] = {};
  void* pAddress = nFamily == AF_INET
                       ? static_cast<void*>(&reinterpret_cast<sockaddr_in*>(pFirst->ai_addr)->sin_addr)
                       : static_cast<void*>(&reinterpret_cast<sockaddr_in6*>(pFirst->ai_addr)->sin6_addr);
  if (!::inet_ntop(nFamily, pAddress, szText, sizeof(szText))) return false;
  pResolved->strText = szText;
  return true;
}

}  // namespace

bool ResolveHost(const std::string& strHost, unsigned nPort, const CResolveOverrides& overrides,
                 SResolvedAddress* pResolved, bool bAskNameServer) {
  const auto found = overrides.find(strHost);
  const std::string& strName = found != overrides.end() ? found->second : strHost;
  const int nFlags = found != overrides.end() || !bAskNameServer ? AI_NUMERICHOST : 0;
  return Resolve(strName, nPort, AF_INET, nFlags, pResolved) || Resolve(strName, nPort, AF_INET6, nFlags, pResolved);
}

CCloseSocket ConnectTo(const SResolvedAddress& target, DWORD dwTimeoutMs) {
  CCloseSocket s(::socket(target.address.ss_family, SOCK_STREAM, IPPROTO_TCP));
  if (!s) return s;
  u_long nNonBlocking = 1;
  ::ioctlsocket(s.Get(), FIONBIO, &nNonBlocking);
  if (::connect(s.Get(), reinterpret_cast<const sockaddr*>(&target.address), target.cbAddress) != 0) {
    if (::WSAGetLastError() != WSAEWOULDBLOCK || !WaitForConnect(s.Get(), dwTimeoutMs)) return CCloseSocket();
    int nError = 0;
    int cbError = sizeof(nError);
    ::getsockopt(s.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&nError), &cbError);
    if (nError != 0) return CCloseSocket();
  }
  nNonBlocking = 0;
  ::ioctlsocket(s.Get(), FIONBIO, &nNonBlocking);
  SetSendOptions(s.Get());
  return s;
}

CResultOf<CCloseSocket> ListenOn(const std::string& strAddress, unsigned nPort) {
  SResolvedAddress local;
  if (!ResolveHost(strAddress, nPort, CResolveOverrides(), &local))
    return CResult(RESULT_INVALID_PARAMETER, "cannot resolve the address " + strAddress);
  CCloseSocket s(::socket(local.address.ss_family, SOCK_STREAM, IPPROTO_TCP));
  // Exclusive, so a second proxy on the same port fails instead of sharing it.
  BOOL bExclusive = TRUE;
  if (s)
    ::setsockopt(s.Get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&bExclusive),
                 sizeof(bExclusive));
  if (!s || ::bind(s.Get(), reinterpret_cast<const sockaddr*>(&local.address), local.cbAddress) != 0 ||
      ::listen(s.Get(), SOMAXCONN) != 0) {
    const int nError = ::WSAGetLastError();
    // A failure whose code went missing is still a failure, never a success.
    return CResult(
        nError ? static_cast<std::uint32_t>(nError) : RESULT_INTERNAL_ERROR,
        "cannot listen on " + local.strText + ":" + std::to_string(nPort) + " (error " + std::to_string(nError) + ")");
  }
  return s;
}

bool SendAll(SOCKET s, const char* pData, std::size_t nSize) {
  // No wait before the send: the socket's send time-out (SetSendOptions) bounds it.
  // A download's piece goes in one call (under Wine each call is a trip to its server).
  constexpr std::size_t kMaxSendBytes = 1024 * 1024;
  while (nSize > 0) {
    const int nChunk = static_cast<int>(nSize > kMaxSendBytes ? kMaxSendBytes : nSize);
    const int nSent = ::send(s, pData, nChunk, 0);
    if (nSent <= 0) return false;
    pData += nSent;
    nSize -= static_cast<std::size_t>(nSent);
  }
  return true;
}

void SetSendOptions(SOCKET s) {
  BOOL bNoDelay = TRUE;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&bNoDelay), sizeof(bNoDelay));
  // Writable only says some room is free; a send larger than that room waits too.
  DWORD dwSendTimeoutMs = kSendProgressMs;
  ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&dwSendTimeoutMs), sizeof(dwSendTimeoutMs));
}

unsigned LocalPort(SOCKET s) {
  sockaddr_storage local = {};
  int cbLocal = sizeof(local);
  if (::getsockname(s, reinterpret_cast<sockaddr*>(&local), &cbLocal) != 0) return 0;
  return local.ss_family == AF_INET ? ntohs(reinterpret_cast<sockaddr_in*>(&local)->sin_port)
                                    : ntohs(reinterpret_cast<sockaddr_in6*>(&local)->sin6_port);
}
