// Native builds have no ANSI code page: only the letters A to Z fold. The Windows
// build uses TextCompare_win.cpp instead.
#include "console/settings/TextCompare.h"
#include "shared/AsciiCase.h"

bool IsSameTextIgnoringCase(const char* szFirst, const char* szSecond) {
  if (szFirst == nullptr) szFirst = "";
  if (szSecond == nullptr) szSecond = "";
  return EqualsIgnoringAsciiCase(szFirst, szSecond);
}

std::string TextCaseKey(const char* szText) {
  std::string strKey = szText ? szText : "";
  for (char& c : strKey) c = LowerAsciiChar(c);
  return strKey;
}
