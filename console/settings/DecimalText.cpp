#include "console/settings/DecimalText.h"

std::int32_t DecimalValue(const char* szText, std::size_t cchMax) {
  if (szText == nullptr) return 0;
  std::size_t i = 0;
  while (i < cchMax && (szText[i] == ' ' || szText[i] == '\t' || szText[i] == '\n' || szText[i] == '\r' ||
                        szText[i] == '\v' || szText[i] == '\f')) {
    ++i;
  }
  bool bNegative = false;
  if (i < cchMax && (szText[i] == '-' || szText[i] == '+')) {
    bNegative = szText[i] == '-';
    ++i;
  }
  const std::int64_t nLimit = bNegative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
  std::int64_t nValue = 0;
  for (; i < cchMax && szText[i] >= '0' && szText[i] <= '9'; ++i) {
    nValue = nValue * 10 + (szText[i] - '0');
    if (nValue > nLimit) nValue = nLimit;  // saturate instead of overflowing
  }
  return static_cast<std::int32_t>(bNegative ? -nValue : nValue);
}

std::string DecimalText(std::int32_t nValue) {
  return std::to_string(nValue);
}
