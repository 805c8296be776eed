// The index of the working definitions file over arbitrary file bytes, asked the
// same questions as the walks over the same bytes. The input is the file, then
// texts to look up, each behind the two bytes 0x01 0x02. Any difference in an
// answer or an output aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/DefinitionMatchers.h"
#include "engine/DefinitionsIndex.h"
#include "definitions/ProfileText.h"

namespace {

struct COutputs {
  char szFirst[kMatchOutputSize];
  char szSecond[kMatchOutputSize];
  COutputs() {
    std::memset(szFirst, '#', sizeof(szFirst));
    std::memset(szSecond, '#', sizeof(szSecond));
  }
  bool operator==(const COutputs& other) const {
    return !std::memcmp(szFirst, other.szFirst, sizeof(szFirst)) &&
           !std::memcmp(szSecond, other.szSecond, sizeof(szSecond));
  }
};

void Expect(bool bSame) {
  if (!bSame) std::abort();
}

void Compare(const CDefinitionsIndex& index, const CDefinitionMatchers& walk, const std::string& strText) {
  const char* szText = strText.c_str();
  Expect(index.IsBadIP(szText) == walk.IsBadIP(szText));
  Expect(index.IsBadMailFrom(szText) == walk.IsBadMailFrom(szText));
  Expect(index.IsBadMailSubject(szText) == walk.IsBadMailSubject(szText));
  COutputs indexOut, walkOut;
  Expect(index.IsBadMailLinks(szText, indexOut.szFirst) == walk.IsBadMailLinks(szText, walkOut.szFirst));
  Expect(index.IsBadMailText(szText, indexOut.szSecond) == walk.IsBadMailText(szText, walkOut.szSecond));
  Expect(indexOut == walkOut);
  COutputs indexShown, walkShown;
  Expect(index.IsBadVisibleMailLinks(szText, indexShown.szFirst, indexShown.szSecond) ==
         walk.IsBadVisibleMailLinks(szText, walkShown.szFirst, walkShown.szSecond));
  Expect(indexShown == walkShown);
  std::string strIndexLink(strText), strWalkLink(strText);
  Expect(index.IsBadUrl(&strIndexLink[0]) == walk.IsBadUrl(&strWalkLink[0]));
  Expect(strIndexLink == strWalkLink);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string_view input(reinterpret_cast<const char*>(pData), cbData);
  std::vector<std::string_view> pieces;
  for (std::size_t nStart = 0;;) {
    const std::size_t nMark = input.find("\x01\x02", nStart);
    pieces.push_back(input.substr(nStart, nMark == std::string_view::npos ? std::string_view::npos : nMark - nStart));
    if (nMark == std::string_view::npos) break;
    nStart = nMark + 2;
  }
  CProfileText text;
  const bool bParsed = text.Parse(pieces[0]);
  const auto pIndex = CDefinitionsIndex::FromFileBytes(pieces[0]);
  Expect(bParsed == (pIndex != nullptr));
  if (!pIndex) return 0;
  const CDefinitionMatchers walk(text);
  for (std::size_t i = 1; i < pieces.size(); ++i) Compare(*pIndex, walk, std::string(pieces[i]).c_str());
  pIndex->MemoryBytes();
  return 0;
}
