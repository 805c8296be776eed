// The stand-in player reads movie files it is handed by path.
#include <cstddef>
#include <cstdint>
#include <string>

#include "standins/flashplayer/MovieFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  SMovie movie;
  std::string strError;
  ParseMovie(std::string(reinterpret_cast<const char*>(pData), nSize), movie, strError);
  for (const SMovieControl& control : movie.controls) {
    ExpandMovieText(control.strText, [](const std::string& strName) { return strName; });
  }
  return 0;
}
