// Letter case in definitions and request texts: only A to Z change, every other
// byte (including bytes of 0x80 and above) is left as it is, whatever the locale.
// Also the value of a hex digit, whichever its case.
#pragma once

#include <cstddef>

inline char LowerAsciiChar(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline void LowerAsciiInPlace(char* szText) {
  for (; *szText; ++szText) *szText = LowerAsciiChar(*szText);
}

// Equal texts when A to Z are taken as a to z.
inline bool EqualsIgnoringAsciiCase(const char* szLeft, const char* szRight) {
  for (;; ++szLeft, ++szRight) {
    if (LowerAsciiChar(*szLeft) != LowerAsciiChar(*szRight)) return false;
    if (*szLeft == 0) return true;
  }
}

// The same for the first n characters of two texts (a terminator ends both early).
inline bool EqualsIgnoringAsciiCase(const char* szLeft, const char* szRight, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (LowerAsciiChar(szLeft[i]) != LowerAsciiChar(szRight[i])) return false;
    if (szLeft[i] == 0) return true;
  }
  return true;
}

// 0 to 15 for 0-9, a-f and A-F; -1 for any other byte.
inline int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
