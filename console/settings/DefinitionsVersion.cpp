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

long VersionDateNumber(const std::string& strVersion) {
  if (strVersion.size() != 10 || strVersion[2] != '/' || strVersion[5] != '/') return 0;
  long nMonth = 0, nDay = 0, nYear = 0;
  for (std::size_t i = 0; i < 10; ++i) {
    if (i == 2 || i == 5) continue;
    if (strVersion[i] < '0' || strVersion[i] > '9') return 0;
    long& nPart = i < 2 ? nMonth : (i < 5 ? nDay : nYear);
    nPart = nPart * 10 + (strVersion[i] - '0');
  }
  if (nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 || nYear < 1970) return 0;
  return nYear * 10000 + nMonth * 100 + nDay;
}
