// Sockets as byte streams (see SocketStream_win.h).
#include "guard/proxy/SocketStream_win.h"

#include "guard/proxy/ProxySockets_win.h"

int CSocketStream::Read(char* pBuffer, std::size_t cbBuffer, unsigned nTimeoutMs) {
  // 0 would wait for ever.
  if (nTimeoutMs == 0) return -1;
  // Set only when it changes: one system call less for nearly every read.
  if (nTimeoutMs != m_dwTimeoutMs) {
    DWORD dwTimeoutMs = nTimeoutMs;
    if (::setsockopt(Socket(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&dwTimeoutMs),
                     sizeof(dwTimeoutMs)) != 0)
      return -1;
    m_dwTimeoutMs = nTimeoutMs;
  }
  const int cbRead = cbBuffer > 0x40000000 ? 0x40000000 : static_cast<int>(cbBuffer);
  const int nReceived = ::recv(Socket(), pBuffer, cbRead, 0);
  return nReceived < 0 ? -1 : nReceived;
}

bool CSocketStream::Write(const char* pData, std::size_t cbData) {
  return SendAll(Socket(), pData, cbData);
}

void CSocketStream::CloseSending() {
  ::shutdown(Socket(), SD_SEND);
}

bool CSocketStream::IsQuiet() {
  // Readable means bytes or the peer's close are waiting: a server that answered
  // its idle time-out (a 408) or closed.
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(Socket(), &readable);
  timeval now = {0, 0};
  return ::select(0, &readable, nullptr, nullptr, &now) == 0;
}
