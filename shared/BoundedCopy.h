// Copies into fixed text buffers that never write past the buffer: the text is cut
// so that it and its terminator fit.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

inline void CopyBounded(char* szDest, std::size_t cbDest, const char* szSource) {
  if (cbDest == 0) return;
  std::size_t n = 0;
  if (szSource) {
    while (n + 1 < cbDest && szSource[n] != 0) ++n;
    std::memcpy(szDest, szSource, n);
  }
  szDest[n] = 0;
}

template <std::size_t N>
void CopyBounded(char (&szDest)[N], const char* szSource) {
  CopyBounded(szDest, N, szSource);
}

// Appends as much of szSource as fits behind the text already in szDest.
inline void AppendBounded(char* szDest, std::size_t cbDest, const char* szSource) {
  std::size_t nUsed = 0;
  while (nUsed < cbDest && szDest[nUsed] != 0) ++nUsed;
  if (nUsed >= cbDest) return;  // not terminated: leave it alone
  CopyBounded(szDest + nUsed, cbDest - nUsed, szSource);
}

template <std::size_t N>
void AppendBounded(char (&szDest)[N], const char* szSource) {
  AppendBounded(szDest, N, szSource);
}

// True when a zero byte ends the text inside its width.
inline bool IsTerminatedWithin(const char* pField, std::size_t nWidth) {
  return std::memchr(pField, 0, nWidth) != nullptr;
}

// A fixed field's text up to its terminator, never beyond its width.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  const void* pZero = std::memchr(field, 0, N);
  return std::string(field, pZero ? static_cast<const char*>(pZero) - field : N);
}
