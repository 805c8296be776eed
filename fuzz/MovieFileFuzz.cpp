// The stand-in player reads movie files it is handed by path, and shows the
// addresses and option lists that the console sets (a page's address among them).
#include <cstddef>
#include <cstdint>
#include <string>

#include "standins/flashplayer/MovieFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  const std::string strInput(reinterpret_cast<const char*>(pData), nSize);
  const CResultOf<SMovie> parsed = ParseMovie(strInput);
  const SMovie& movie = parsed.Value();
  const SAddressParts parts = SplitAddressHost(strInput);
  if (parts.strBefore.size() + parts.strHost.size() + parts.strAfter.size() != nSize) __builtin_trap();
  SplitOptions(strInput);
  for (const SMovieControl& control : movie.controls) {
    ExpandMovieText(control.strText, [](const std::string& strName) { return strName; });
  }
  return 0;
}
