#include "console/screens/ScreenText.h"

#include <climits>

namespace {

char FoldLetter(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool IsSameCommand(const char* szCommand, const char* szName) {
  if (!szCommand || !szName) return false;
  for (;; ++szCommand, ++szName) {
    if (FoldLetter(*szCommand) != FoldLetter(*szName)) return false;
    if (*szCommand == 0) return true;
  }
}

bool IsUndefinedArgument(const char* szArgument) {
  return IsSameCommand(szArgument, "undefined");
}

bool ReadDecimalNumber(const char* szArgument, int* pValue) {
  if (!szArgument) return false;
  const char* p = szArgument;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') ++p;
  bool bNegative = false;
  if (*p == '+' || *p == '-') bNegative = *p++ == '-';
  if (*p < '0' || *p > '9') return false;
  long long nValue = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    nValue = nValue * 10 + (*p - '0');
    if (nValue > static_cast<long long>(INT_MAX) + 1) nValue = static_cast<long long>(INT_MAX) + 1;
  }
  if (bNegative) nValue = -nValue;
  if (nValue > INT_MAX) nValue = INT_MAX;
  *pValue = static_cast<int>(nValue);
  return true;
}

int ReadDecimalArgument(const char* szArgument) {
  int nValue = 0;
  ReadDecimalNumber(szArgument, &nValue);
  return nValue;
}

std::string DecimalText(long nValue) {
  return std::to_string(nValue);
}

std::string StateForm(std::int32_t nFlag) {
  return nFlag ? std::string(1, '\x01') : std::string();
}
