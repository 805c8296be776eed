// The key of a listed web address (see WebAddressKey.h).
#include "engine/WebAddressKey.h"

#include "shared/Sha256.h"
#include "shared/AsciiCase.h"

namespace {

constexpr std::size_t kDigestHexDigits = 32;
constexpr char kCutMark = '#';

std::string LowerWithoutMark(const std::string& strText) {
  std::string strOut;
  strOut.reserve(strText.size());
  for (const char c : strText) {
    if (c == kCutMark)
      strOut += "%23";
    else
      strOut += LowerAsciiChar(c);
  }
  return strOut;
}

std::string CutWithDigest(const std::string& strKey) {
  static const char kHex[] = "0123456789abcdef";
  const auto digest = Sha256(strKey);
  std::string strCut = strKey.substr(0, kMaxWebAddressKey - 1 - kDigestHexDigits);
  strCut += kCutMark;
  for (std::size_t i = 0; i < kDigestHexDigits / 2; ++i) {
    strCut += kHex[digest[i] >> 4];
    strCut += kHex[digest[i] & 15];
  }
  return strCut;
}

}  // namespace

std::string WebAddressKey(const SWebAddress& address, unsigned short nSchemePort, bool bListedWithoutQuery) {
  const SWebAddress normal = NormalizeWebAddress(address);
  std::string strHost = normal.strHost;
  if (strHost.compare(0, 4, "www.") == 0) strHost.erase(0, 4);
  std::string strKey = strHost;
  if (normal.nPort != 0 && normal.nPort != nSchemePort) strKey += ":" + std::to_string(normal.nPort);
  if (normal.strPath != "/") strKey += normal.strPath;
  if (!bListedWithoutQuery && !normal.strQuery.empty()) strKey += "?" + normal.strQuery;
  strKey = LowerWithoutMark(strKey);
  return strKey.size() > kMaxWebAddressKey ? CutWithDigest(strKey) : strKey;
}
