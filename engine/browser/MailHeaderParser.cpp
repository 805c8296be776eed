// CMailHeaderParser: line walk, label search and value cutting.
#include "engine/browser/MailHeaderParser.h"
#include "shared/AsciiCase.h"

#include <cstring>
#include <string>

namespace {

// Labels in the order they are tried; each list ends with a null.
const char* const kFromLabels[] = {"from:", "from :", nullptr};
const char* const kToLabels[] = {"to:", "to :", nullptr};
const char* const kSubjectLabels[] = {"subject:", "subject :", nullptr};
const char* const kDateLabels[] = {"date:", "date :", "sent:", "sent :", nullptr};
const char* const kAttachmentLabels[] = {"attachment:", "attachment :", "attachement:", "attachement :", nullptr};

std::unique_ptr<char[]> CopyText(const char* pText, std::size_t nLength, bool bLowerCase) {
  std::unique_ptr<char[]> psz(new char[nLength + 1]);
  for (std::size_t i = 0; i < nLength; ++i) {
    psz[i] = bLowerCase ? LowerAsciiChar(pText[i]) : pText[i];
  }
  psz[nLength] = 0;
  return psz;
}

// Removes the space character (and only it) from both ends.
std::string TrimSpaces(const std::string& str) {
  const std::size_t nFirst = str.find_first_not_of(' ');
  if (nFirst == std::string::npos) return std::string();
  const std::size_t nLast = str.find_last_not_of(' ');
  return str.substr(nFirst, nLast - nFirst + 1);
}

// Walks the text line by line (lines end at a line feed), handing each line,
// trimmed of spaces, to onLine until it answers true.
template <class FOnLine>
void WalkLines(const char* pszText, FOnLine onLine) {
  const std::size_t nLength = std::strlen(pszText);
  std::size_t nStart = 0;
  while (nStart < nLength) {
    const char* pFeed = static_cast<const char*>(std::memchr(pszText + nStart, '\n', nLength - nStart));
    const std::size_t nEnd = pFeed ? static_cast<std::size_t>(pFeed - pszText) : nLength;
    if (onLine(TrimSpaces(std::string(pszText + nStart, nEnd - nStart)))) return;
    nStart = nEnd + 1;
  }
}

// Finds the field in one trimmed line: the first label of the list that occurs
// decides. The value starts behind the line's first ":" when that label opens the
// line, otherwise at the label itself. It runs up to the first carriage return.
bool FindValueInLine(const std::string& strLine, const char* const* pszLabels, std::string& strValue) {
  for (const char* const* ppsz = pszLabels; *ppsz; ++ppsz) {
    const std::size_t nAt = strLine.find(*ppsz);
    if (nAt == std::string::npos) continue;
    const std::size_t nStart = nAt == 0 ? strLine.find(':') + 1 : nAt;
    const std::size_t nReturn = strLine.find('\r', nStart);
    const std::size_t nEnd = nReturn == std::string::npos ? strLine.size() : nReturn;
    strValue = TrimSpaces(strLine.substr(nStart, nEnd - nStart));
    return true;
  }
  return false;
}

std::unique_ptr<char[]> CopyValue(const std::string& strValue) {
  return CopyText(strValue.data(), strValue.size(), false);
}

}  // namespace

CMailHeaderParser::CMailHeaderParser(const char* szText) {
  if (szText) m_pszText = CopyText(szText, std::strlen(szText), true);
}

CMailHeaderParser::~CMailHeaderParser() = default;

bool CMailHeaderParser::IsMail() {
  if (!m_pszText) return false;
  bool bFrom = false;
  bool bTo = false;
  std::string strFrom;
  std::string strTo;
  WalkLines(m_pszText.get(), [&](const std::string& strLine) {
    if (!bFrom) bFrom = FindValueInLine(strLine, kFromLabels, strFrom);
    if (!bTo) bTo = FindValueInLine(strLine, kToLabels, strTo);
    return bFrom && bTo;
  });
  if (!bFrom || !bTo) return false;
  m_pszFrom = CopyValue(strFrom);
  m_pszTo = CopyValue(strTo);
  m_dwFound |= FOUND_FROM | FOUND_TO;
  return true;
}

void CMailHeaderParser::ExtractField(const char* const* pszLabels, CText& pszField, unsigned long dwFlag) {
  std::string strValue;
  bool bFound = false;
  WalkLines(m_pszText.get(), [&](const std::string& strLine) {
    bFound = FindValueInLine(strLine, pszLabels, strValue);
    return bFound;
  });
  if (!bFound) return;
  pszField = CopyValue(strValue);
  m_dwFound |= dwFlag;
}

void CMailHeaderParser::ExtractHeaders() {
  if (!m_pszText) return;
  if (!HasFrom()) ExtractField(kFromLabels, m_pszFrom, FOUND_FROM);
  if (!HasTo()) ExtractField(kToLabels, m_pszTo, FOUND_TO);
  ExtractField(kSubjectLabels, m_pszSubject, FOUND_SUBJECT);
  ExtractField(kDateLabels, m_pszDate, FOUND_DATE);
  ExtractField(kAttachmentLabels, m_pszAttachment, FOUND_ATTACHMENT);
  m_pszBody = CopyText(m_pszText.get(), std::strlen(m_pszText.get()), false);
  m_dwFound |= FOUND_BODY;
}

void CMailHeaderParser::SetBody(const char* szText) {
  const char* psz = szText ? szText : "";
  m_pszBody = CopyText(psz, std::strlen(psz), true);
}
