#include "console/settings/LanguageText.h"
#include "shared/AsciiCase.h"

#include <cstring>

#include "console/settings/NameCode.h"

std::string ReverseText(const std::string& strText) {
  return std::string(strText.rbegin(), strText.rend());
}

std::string RotatedNumberKey(std::uint32_t nNumber) {
  const std::uint32_t nKey = (nNumber << 8) | (nNumber >> 24);
  return std::to_string(nKey);
}

std::string TopLevelMenuKey(const std::string& strText, int nNumber, int nPosition) {
  return ReverseText(strText + std::to_string(nNumber) + std::to_string(nPosition));
}

std::string ExpandLanguageValue(const std::string& strValue) {
  std::string strText = strValue;
  if (!strText.empty() && strText[0] == '*') strText = ReverseText(strText.substr(1));
  std::string strResult;
  strResult.reserve(strText.size());
  for (std::size_t i = 0; i < strText.size(); ++i) {
    if (strText[i] == '\\' && i + 1 < strText.size() && (strText[i + 1] == 'n' || strText[i + 1] == 't')) {
      strResult += strText[i + 1] == 'n' ? '\n' : '\t';
      ++i;
    } else {
      strResult += strText[i];
    }
  }
  return strResult;
}

std::string LanguageFileName(const char* szLanguage) {
  return EncodeNameCode(szLanguage) + kLanguageFileExtension;
}

std::string LanguageNameOfFile(const char* szFileName) {
  const std::size_t cchName = std::strlen(szFileName);
  const std::size_t cchExtension = std::strlen(kLanguageFileExtension);
  if (cchName <= cchExtension) return std::string();
  for (std::size_t i = 0; i < cchExtension; ++i) {
    if (LowerAsciiChar(szFileName[cchName - cchExtension + i]) != kLanguageFileExtension[i]) return std::string();
  }
  return DecodeNameCode(std::string(szFileName, cchName - cchExtension).c_str());
}

std::string JoinLanguageNames(const std::vector<std::string>& names) {
  std::string strList;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) strList += '|';
    strList += names[i];
  }
  return strList;
}
