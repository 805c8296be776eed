#include "engine/ProviderName.h"
#include "shared/AsciiCase.h"

bool IsSameProviderName(const char16_t* wszProtocol, std::size_t nWidth, const char* szName) {
  constexpr std::size_t kMaxNameChars = 255;
  const std::size_t nLimit = nWidth < kMaxNameChars ? nWidth : kMaxNameChars;
  std::size_t i = 0;
  for (; i < nLimit && wszProtocol[i] != 0; ++i) {
    const auto cEntry = static_cast<char>(wszProtocol[i] & 0xFF);
    // A low byte of 0 ends the byte text just like the terminator does.
    if (cEntry == 0) break;
    if (szName[i] == 0 || LowerAsciiChar(cEntry) != LowerAsciiChar(szName[i])) return false;
  }
  return szName[i] == 0;
}
