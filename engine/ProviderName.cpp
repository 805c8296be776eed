#include "engine/ProviderName.h"

namespace {
unsigned char LowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }
}  // namespace

bool IsSameProviderName(const char16_t* wszProtocol, std::size_t nWidth, const char* szName) {
  constexpr std::size_t kMaxNameChars = 255;
  const std::size_t nLimit = nWidth < kMaxNameChars ? nWidth : kMaxNameChars;
  std::size_t i = 0;
  for (; i < nLimit && wszProtocol[i] != 0; ++i) {
    const auto cEntry = static_cast<unsigned char>(wszProtocol[i] & 0xFF);
    // A low byte of 0 ends the byte text just like the terminator does.
    if (cEntry == 0) break;
    const auto cName = static_cast<unsigned char>(szName[i]);
    if (cName == 0 || LowerAscii(cEntry) != LowerAscii(cName)) return false;
  }
  return szName[i] == 0;
}
