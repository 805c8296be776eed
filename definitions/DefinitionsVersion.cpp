#include "definitions/DefinitionsVersion.h"

namespace {

constexpr std::size_t kDateChars = 10;

}  // namespace

int DefinitionsVersionSequence(const std::string& strVersion) {
  if (strVersion.size() < kDateChars + 2 || strVersion.size() > kDateChars + 4 || strVersion[kDateChars] != '.') {
    return -1;
  }
  int nSequence = 0;
  for (std::size_t i = kDateChars + 1; i < strVersion.size(); ++i) {
    if (strVersion[i] < '0' || strVersion[i] > '9') return -1;
    nSequence = nSequence * 10 + (strVersion[i] - '0');
  }
  return nSequence;
}

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
  if (strVersion.size() != kDateChars || strVersion[2] != '/' || strVersion[5] != '/') return 0;
  long nMonth = 0, nDay = 0, nYear = 0;
  for (std::size_t i = 0; i < kDateChars; ++i) {
    if (i == 2 || i == 5) continue;
    if (strVersion[i] < '0' || strVersion[i] > '9') return 0;
    long& nPart = i < 2 ? nMonth : (i < 5 ? nDay : nYear);
    nPart = nPart * 10 + (strVersion[i] - '0');
  }
  if (nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 || nYear < 1970) return 0;
  return nYear * 10000 + nMonth * 100 + nDay;
}

long long DefinitionsVersionNumber(const std::string& strVersion) {
  const int nSequence = strVersion.size() == kDateChars ? 0 : DefinitionsVersionSequence(strVersion);
  if (nSequence < 0) return 0;
  const long nDate = VersionDateNumber(strVersion.substr(0, kDateChars));
  return nDate == 0 ? 0 : static_cast<long long>(nDate) * 1000 + nSequence;
}

std::string DefinitionsVersionDate(const std::string& strVersion) {
  return DefinitionsVersionSequence(strVersion) >= 0 ? strVersion.substr(0, kDateChars) : strVersion;
}
