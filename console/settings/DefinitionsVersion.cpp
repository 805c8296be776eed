#include "console/settings/DefinitionsVersion.h"

std::string DefinitionsVersionOfHeader(const char* pData, std::size_t cbData) {
  constexpr std::size_t kHeaderBytes = 256;
  if (!pData) return std::string();
  const std::size_t cbHeader = cbData < kHeaderBytes ? cbData : kHeaderBytes;
  // The header is read as text: a zero byte ends it.
  std::size_t cchText = 0;
  while (cchText < cbHeader && pData[cchText] != 0) ++cchText;
  const std::string strHeader(pData, cchText);
  const std::size_t nLineEnd = strHeader.find("\r\n");
  if (nLineEnd == std::string::npos) return std::string();
  std::string strLine = strHeader.substr(0, nLineEnd);
  while (!strLine.empty() && strLine.back() == ' ') strLine.pop_back();
  if (strLine.find('/') != 2 || strLine.find('/', 3) != 5) return std::string();
  return strLine;
}
