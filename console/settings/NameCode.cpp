#include "console/settings/NameCode.h"

std::string EncodeNameCode(const char* szText) {
  std::string strCode;
  if (!szText) return strCode;
  for (const char* p = szText; *p; ++p) {
    char c = *p;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    strCode += std::to_string(static_cast<int>(static_cast<signed char>(c)));
  }
  return strCode;
}

std::string DecodeNameCode(const char* szCode) {
  std::string strText;
  if (!szCode) return strText;
  const char* p = szCode;
  while (*p) {
    const char cFirst = p[0];
    const char cSecond = p[1];
    int nValue = 0;
    if (cFirst >= '0' && cFirst <= '9') {
      nValue = cFirst - '0';
      if (cSecond >= '0' && cSecond <= '9') nValue = nValue * 10 + (cSecond - '0');
    }
    if (nValue != 0) strText += static_cast<char>(nValue);
    p += (cSecond != 0) ? 2 : 1;
  }
  return strText;
}
