// Sockets as byte streams (see SocketStream_win.h).
#include "guard/proxy/SocketStream_win.h"

#include "guard/proxy/ProxySockets_win.h"

int CSocketStream::Read(char* pBuffer, std::size_t cbBuffer, unsigned nTimeoutMs) {
  // 0 would wait for ever.
  if (nTimeoutMs == 0) return kReadTimedOut;
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
  if (nReceived >= 0) return nReceived;
  return ::WSAGetLastError() == WSAETIMEDOUT ? kReadTimedOut : -1;
}

bool CSocketStream::Write(const char* pData, std::size_t cbData) {
  return SendAll(Socket(), pData, cbData);
}

void CSocketStream::CloseSending() {
  ::shutdown(Socket(), SD_SEND);
}

bool CSocketStream::IsQuiet() {
  // Bytes waiting mean the server spoke unasked (a 408 for its idle time-out). A
  // close shows only in a read: the first one after the request finds it, and the
  // request goes again on a new connection.
  u_long nWaiting = 0;
  return ::ioctlsocket(Socket(), FIONREAD, &nWaiting) == 0 && nWaiting == 0;
}
