// The pieces of HTTP/1.1 message heads that requests and responses share: lines,
// "Name: value" fields, tokens, lists and numbers. Strict: a head that does not
// fit is refused rather than guessed at.
#pragma once

#include <string>
#include <vector>

#include "guard/proxy/ProxyRequestHead.h"
#include "shared/AsciiCase.h"

inline bool IsHexDigit(char c) {
  return HexDigitValue(c) >= 0;
}
inline bool IsVisibleChar(char c) {
  return c > 0x20 && c < 0x7f;
}
// Letters, digits and the few other characters of a host name or IPv4 address.
inline bool IsHostNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
}
bool IsToken(const std::string& strText);

// The lines of a head up to its empty line, each without its CR LF or LF. False
// when a line holds a control character other than a tab.
bool SplitHeadLines(const std::string& strHead, std::vector<std::string>* pLines);

// The fields of lines[1...]; false for a line that is not "Name: value", including
// a folded continuation line.
bool ParseFieldLines(const std::vector<std::string>& lines, std::vector<SHeaderField>* pFields);

// Without the blanks and tabs at either end.
std::string Trimmed(const std::string& strText);
// The non-empty items of a comma-separated list, trimmed.
std::vector<std::string> SplitList(const std::string& strValue);

// Decimal digits only, at most 18 of them.
bool ParseDecimal(const std::string& strText, unsigned long long* pnValue);
// 1 to 65535.
bool ParsePort(const std::string& strText, unsigned* pnPort);
