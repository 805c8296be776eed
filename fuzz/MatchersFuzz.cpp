// Texts and definition lists of any content for the matchers. The input is split
// at each 0x01 byte: the first piece is the text looked at, piece n is entry n of
// every list and piece n + 1 the visible link paired with called link n. Texts and
// output buffers are heap blocks of their exact size, so overruns are caught.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/DefinitionMatchers.h"

namespace {

class CPieceReader : public IDefinitionReader {
 public:
  explicit CPieceReader(const std::vector<std::string>& pieces) : m_pieces(pieces) {}

  unsigned long ReadEntry(const char* /*szSection*/, const char* szKey, char* szOut,
                          unsigned long dwOutSize) const override {
    const char* pDigits = szKey;
    while (*pDigits && (*pDigits < '0' || *pDigits > '9')) ++pDigits;
    std::size_t n = std::strtoul(pDigits, nullptr, 10);
    if (!std::strncmp(szKey, "VLINK", 5)) ++n;
    if (dwOutSize == 0) std::abort();
    if (n == 0 || n >= m_pieces.size()) {
      szOut[0] = 0;
      return 0;
    }
    // As the file reader does: the value cut to the size, possibly holding byte 0.
    const std::string& strValue = m_pieces[n];
    const std::size_t nCopy = strValue.size() < dwOutSize - 1 ? strValue.size() : dwOutSize - 1;
    std::memcpy(szOut, strValue.data(), nCopy);
    szOut[nCopy] = 0;
    return static_cast<unsigned long>(nCopy);
  }

 private:
  const std::vector<std::string>& m_pieces;
};

struct COutput {
  std::unique_ptr<char[]> sz{new char[kMatchOutputSize]};
  COutput() { std::memset(sz.get(), '#', kMatchOutputSize); }
  // Untouched when the matcher answered false; a terminated text otherwise.
  void Check(bool bMatched) const {
    for (std::size_t i = 0; i < kMatchOutputSize; ++i) {
      if (!bMatched && sz[i] != '#') std::abort();
      if (bMatched && sz[i] == 0) return;
    }
    if (bMatched) std::abort();
  }
};

std::unique_ptr<char[]> CopyText(const std::string& strText) {
  std::unique_ptr<char[]> text(new char[strText.size() + 1]);
  std::memcpy(text.get(), strText.c_str(), strText.size() + 1);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  std::vector<std::string> pieces(1);
  for (size_t i = 0; i < cbData; ++i) {
    if (pData[i] == 0x01) {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(static_cast<char>(pData[i]));
    }
  }
  CPieceReader reader(pieces);
  CDefinitionMatchers matchers(reader);
  std::unique_ptr<char[]> text = CopyText(pieces[0]);

  matchers.IsBadIP(text.get());
  matchers.IsBadMailFrom(text.get());
  matchers.IsBadMailSubject(text.get());
  {
    COutput link;
    link.Check(matchers.IsBadMailLinks(text.get(), link.sz.get()));
  }
  {
    COutput visible;
    COutput called;
    const bool bMatched = matchers.IsBadVisibleMailLinks(text.get(), visible.sz.get(), called.sz.get());
    visible.Check(bMatched);
    called.Check(bMatched);
  }
  {
    COutput matched;
    matched.Check(matchers.IsBadMailText(text.get(), matched.sz.get()));
  }
  // Last, since it lower-cases the text in place.
  matchers.IsBadUrl(text.get());
  for (const char* p = text.get(); *p; ++p) {
    if (*p >= 'A' && *p <= 'Z') std::abort();
  }
  return 0;
}
