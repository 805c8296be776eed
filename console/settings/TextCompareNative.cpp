// Native builds have no ANSI code page: only the letters A to Z fold. The Windows
// build uses TextCompare_win.cpp instead.
#include "console/settings/TextCompare.h"

namespace {
unsigned char FoldAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}
}  // namespace

bool IsSameTextIgnoringCase(const char* szFirst, const char* szSecond) {
  if (szFirst == nullptr) szFirst = "";
  if (szSecond == nullptr) szSecond = "";
  const auto* p = reinterpret_cast<const unsigned char*>(szFirst);
  const auto* q = reinterpret_cast<const unsigned char*>(szSecond);
  for (;; ++p, ++q) {
    if (FoldAsciiLetter(*p) != FoldAsciiLetter(*q)) return false;
    if (*p == 0) return true;
  }
}
