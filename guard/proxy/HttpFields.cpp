// Shared pieces of HTTP message heads (see HttpFields.h).
#include "guard/proxy/HttpFields.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::string Trimmed(const std::string& strText) {
  std::size_t nStart = 0;
  std::size_t nEnd = strText.size();
  while (nStart < nEnd && IsBlank(strText[nStart])) ++nStart;
  while (nEnd > nStart && IsBlank(strText[nEnd - 1])) --nEnd;
  return strText.substr(nStart, nEnd - nStart);
}

bool IsToken(const std::string& strText) {
  if (strText.empty()) return false;
  for (char c : strText) {
    if (!IsVisibleChar(c) || std::strchr("\"(),/:;<=>?@[\\]{}", c)) return false;
  }
  return true;
}

bool SplitHeadLines(const std::string& strHead, std::vector<std::string>* pLines) {
  pLines->clear();
  std::size_t nStart = 0;
  while (nStart < strHead.size()) {
    std::size_t nEnd = strHead.find('\n', nStart);
    if (nEnd == std::string::npos) nEnd = strHead.size();
    std::string strLine = strHead.substr(nStart, nEnd - nStart);
    if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
    if (strLine.empty()) return true;
    for (char c : strLine) {
      if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f) return false;
    }
    pLines->push_back(strLine);
    nStart = nEnd + 1;
  }
  return true;
}

bool ParseFieldLines(const std::vector<std::string>& lines, std::vector<SHeaderField>* pFields) {
  pFields->clear();
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& strLine = lines[i];
    const std::size_t nColon = strLine.find(':');
    if (nColon == std::string::npos) return false;
    SHeaderField field;
    field.strName = strLine.substr(0, nColon);
    // No blank before the colon and no folded line: both hide fields from a reader.
    if (!IsToken(field.strName)) return false;
    field.strValue = Trimmed(strLine.substr(nColon + 1));
    pFields->push_back(std::move(field));
  }
  return true;
}

std::vector<std::string> SplitList(const std::string& strValue) {
  std::vector<std::string> items;
  std::size_t nStart = 0;
  while (nStart <= strValue.size()) {
    std::size_t nComma = strValue.find(',', nStart);
    if (nComma == std::string::npos) nComma = strValue.size();
    std::string strItem = Trimmed(strValue.substr(nStart, nComma - nStart));
    if (!strItem.empty()) items.push_back(strItem);
    nStart = nComma + 1;
  }
  return items;
}

bool ParseDecimal(const std::string& strText, unsigned long long* pnValue) {
  if (strText.empty() || strText.size() > 18) return false;
  unsigned long long nValue = 0;
  for (char c : strText) {
    if (c < '0' || c > '9') return false;
    nValue = nValue * 10 + static_cast<unsigned>(c - '0');
  }
  *pnValue = nValue;
  return true;
}

bool ParsePort(const std::string& strText, unsigned* pnPort) {
  unsigned long long nValue = 0;
  if (strText.size() > 5 || !ParseDecimal(strText, &nValue) || nValue == 0 || nValue > 65535) return false;
  *pnPort = static_cast<unsigned>(nValue);
  return true;
}
