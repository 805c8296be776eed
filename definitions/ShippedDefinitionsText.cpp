#include "definitions/ShippedDefinitionsText.h"

#include <cstring>

#include "definitions/BlowfishCipher.h"
#include "definitions/DefinitionsVersion.h"
#include "definitions/DefinitionsLayout.h"
#include "definitions/ProfileText.h"
#include "definitions/Scrambling.h"

const char kDefinitionsPassPhrase[9] = "63185207";

namespace {

bool IsBlankLine(const unsigned char* pLine, std::size_t cchLine) {
  for (std::size_t i = 0; i < cchLine; ++i) {
    if (pLine[i] != ' ' && pLine[i] != '\t') return false;
  }
  return true;
}

}  // namespace

bool DecryptShippedDefinitions(const unsigned char* pShipped, std::size_t cbShipped, std::vector<unsigned char>& text) {
  if (cbShipped < kShippedHeaderBytes || cbShipped % 8 != 0) return false;
  text.assign(cbShipped, 0);
  BlowfishCipher cipher;
  const unsigned char chainStart[8] = {};
  cipher.SetKey(reinterpret_cast<const unsigned char*>(kDefinitionsPassPhrase), 8, chainStart);
  cipher.Decrypt(pShipped, text.data(), cbShipped, BlowfishCipher::MODE_ECB);
  text[kShippedHeaderBytes - 2] = '\r';
  text[kShippedHeaderBytes - 1] = '\n';
  return true;
}

CResult EncryptShippedDefinitions(const std::string& strWorkingText, const std::string& strVersion,
                                  std::string& strShipped) {
  if (strVersion.size() > kVersionLineChars)
    return CResult(RESULT_INVALID_PARAMETER, "the version does not fit the header line");
  BlowfishCipher cipher;
  const unsigned char chainStart[8] = {};
  cipher.SetKey(reinterpret_cast<const unsigned char*>(kDefinitionsPassPhrase), 8, chainStart);
  std::string strHeader = strVersion;
  strHeader.resize(kVersionLineChars, ' ');
  strHeader += "\r\n";
  unsigned char noise[kShippedHeaderBytes];
  cipher.Decrypt(reinterpret_cast<const unsigned char*>(strHeader.data()), noise, sizeof noise,
                 BlowfishCipher::MODE_ECB);
  if (CProfileText::IsOtherEncoding(std::string_view(reinterpret_cast<const char*>(noise), sizeof noise)))
    return CResult(RESULT_INVALID_PARAMETER, "the version's header line decrypts to a byte-order mark");
  strShipped = strHeader;
  strShipped += strWorkingText;
  strShipped.resize(kShippedHeaderBytes + (strWorkingText.size() + 7) / 8 * 8, ' ');
  if (strShipped.size() > kShippedHeaderBytes) {
    auto* pBody = reinterpret_cast<unsigned char*>(&strShipped[kShippedHeaderBytes]);
    cipher.Encrypt(pBody, pBody, strShipped.size() - kShippedHeaderBytes, BlowfishCipher::MODE_ECB);
  }
  return CResult();
}

CResult IsDefinitionsText(const unsigned char* pText, std::size_t cbText) {
  if (cbText < kShippedHeaderBytes) return CResult(RESULT_INVALID_DATA, "it is shorter than its header");
  return IsDefinitionsBody(pText + kShippedHeaderBytes, cbText - kShippedHeaderBytes);
}

CResult IsDefinitionsBody(const unsigned char* pBody, std::size_t cbBody) {
  if (cbBody > 0 && std::memchr(pBody, 0, cbBody))
    return CResult(RESULT_INVALID_DATA, "its decrypted text holds a zero byte");
  bool bInSection = false, bMatchersSection = false;
  std::size_t nLine = 1;  // the header's
  for (std::size_t nStart = 0; nStart < cbBody; ++nLine) {
    const unsigned char* pLine = pBody + nStart;
    const void* pEnd = std::memchr(pLine, '\n', cbBody - nStart);
    std::size_t cchLine = pEnd ? static_cast<const unsigned char*>(pEnd) - pLine : cbBody - nStart;
    nStart += cchLine + 1;
    if (cchLine > 0 && pLine[cchLine - 1] == '\r') --cchLine;
    if (IsBlankLine(pLine, cchLine)) continue;
    if (pLine[0] == '[' && pLine[cchLine - 1] == ']' && cchLine > 2) {
      bInSection = true;
      const std::string strName(reinterpret_cast<const char*>(pLine) + 1, cchLine - 2);
      if (!KeyPrefixesOfSection(UnscrambleString(strName)).empty()) bMatchersSection = true;
      continue;
    }
    const void* pEquals = std::memchr(pLine, '=', cchLine);
    if (!bInSection || !pEquals || pEquals == pLine) {
      return CResult(RESULT_INVALID_DATA,
                     "line " + std::to_string(nLine + 1) + " of its decrypted text is neither a section nor an entry");
    }
  }
  if (!bMatchersSection)
    return CResult(RESULT_INVALID_DATA, "its decrypted text has none of the sections the matchers read");
  return CResult();
}
