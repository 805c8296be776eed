// A connected socket as the byte stream a proxy session reads and writes: reads
// wait in the receive call itself, bounded by the socket's receive time-out.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include "guard/proxy/ByteStream.h"
#include "shared/OwnedResources_win.h"

class CSocketStream : public IByteStream {
 public:
  explicit CSocketStream(CCloseSocket socket) : m_socket(std::move(socket)) {}
  // A socket someone else owns (the client's, owned by the connection's server).
  explicit CSocketStream(SOCKET s) : m_s(s) {}

  int Read(char* pBuffer, std::size_t cbBuffer, unsigned nTimeoutMs) override;
  bool Write(const char* pData, std::size_t cbData) override;
  void CloseSending() override;
  bool IsQuiet() override;
  SOCKET Socket() const { return m_socket ? m_socket.Get() : m_s; }

 private:
  CCloseSocket m_socket;
  SOCKET m_s = INVALID_SOCKET;
  DWORD m_dwTimeoutMs = 0;  // the receive time-out set last; 0 before any
};
