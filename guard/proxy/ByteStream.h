// One end of a byte stream the web proxy talks through: the client's connection,
// an origin server's or an upstream proxy's. Platform-free, so that a session
// runs over sockets in the guard and over scripted bytes in its tests.
#pragma once

#include <cstddef>

// What Read gives when nothing came within its time-out: the peer may still be
// at work on what it was sent, unlike after a close.
constexpr int kReadTimedOut = -2;

class IByteStream {
 public:
  virtual ~IByteStream() = default;
  // Up to cbBuffer bytes within nTimeoutMs: > 0 the count, 0 the peer closed,
  // kReadTimedOut the time-out, other values < 0 an error (after either, the
  // stream is of no further use).
  virtual int Read(char* pBuffer, std::size_t cbBuffer, unsigned nTimeoutMs) = 0;
  // Every byte, or false (the peer is gone or took nothing for too long).
  virtual bool Write(const char* pData, std::size_t cbData) = 0;
  // No more bytes from this side; the peer's still come.
  virtual void CloseSending() = 0;
  // Nothing has come from the peer unread, as far as can be told without waiting:
  // a kept connection is used again only then.
  virtual bool IsQuiet() { return true; }
};
