#include "standins/defstool/SharedHosts.h"

#include "shared/AsciiCase.h"

std::string Trimmed(const std::string& str) {
  const char* szBlanks = " \t\r\n\f\v";
  const std::size_t nFirst = str.find_first_not_of(szBlanks);
  if (nFirst == std::string::npos) return std::string();
  return str.substr(nFirst, str.find_last_not_of(szBlanks) - nFirst + 1);
}

namespace {

std::string HostForm(std::string strHost) {
  for (char& c : strHost) c = LowerAsciiChar(c);
  while (!strHost.empty() && strHost.back() == '.') strHost.pop_back();
  if (strHost.compare(0, 4, "www.") == 0) strHost.erase(0, 4);
  return strHost;
}

template <typename TLine>
void ForEachLine(const std::string& strText, TLine fnLine) {
  for (std::size_t nStart = 0; nStart < strText.size();) {
    std::size_t nEnd = strText.find('\n', nStart);
    if (nEnd == std::string::npos) nEnd = strText.size();
    fnLine(Trimmed(strText.substr(nStart, nEnd - nStart)));
    nStart = nEnd + 1;
  }
}

// The host itself, then each parent at a label.
template <typename TVisit>
bool AnyParent(const std::string& strHost, TVisit fnVisit) {
  for (std::size_t nLabel = 0; nLabel < strHost.size();) {
    if (fnVisit(strHost.substr(nLabel), nLabel)) return true;
    const std::size_t nDot = strHost.find('.', nLabel);
    if (nDot == std::string::npos) break;
    nLabel = nDot + 1;
  }
  return false;
}

}  // namespace

std::size_t CSharedHosts::AddHosts(const std::string& strText) {
  std::size_t nAdded = 0;
  ForEachLine(strText, [&](const std::string& strLine) {
    if (strLine.empty() || strLine[0] == '#' || strLine[0] == ';') return;
    if (strLine.compare(0, 2, "*.") == 0) {
      m_suffixes.insert(HostForm(strLine.substr(2)));
      ++nAdded;
      return;
    }
    const std::size_t nComma = strLine.rfind(',');
    // "rank,host": a line whose rank is no number is the list's header.
    if (nComma != std::string::npos && (nComma == 0 || strLine.find_first_not_of("0123456789") < nComma)) return;
    const std::string strHost = HostForm(Trimmed(nComma == std::string::npos ? strLine : strLine.substr(nComma + 1)));
    if (strHost.empty() || strHost.find_first_of(" \t/:") != std::string::npos) return;
    m_shared.insert(strHost);
    ++nAdded;
  });
  return nAdded;
}

std::size_t CSharedHosts::AddPublicSuffixList(const std::string& strText) {
  std::size_t nAdded = 0;
  bool bPrivate = false;
  ForEachLine(strText, [&](const std::string& strLine) {
    if (strLine.find("===BEGIN PRIVATE DOMAINS===") != std::string::npos) bPrivate = true;
    if (strLine.find("===END PRIVATE DOMAINS===") != std::string::npos) bPrivate = false;
    if (!bPrivate || strLine.empty() || strLine.compare(0, 2, "//") == 0) return;
    // A rule ends at the first blank.
    std::string strRule = strLine.substr(0, strLine.find_first_of(" \t"));
    for (char& c : strRule) c = LowerAsciiChar(c);
    if (strRule.compare(0, 2, "*.") == 0) {
      m_wildcards.insert(strRule.substr(2));
    } else if (strRule[0] == '!') {
      m_exceptions.insert(strRule.substr(1));
    } else {
      m_suffixes.insert(strRule);
    }
    ++nAdded;
  });
  return nAdded;
}

std::string CSharedHosts::PrivateSuffixOf(const std::string& strHost) const {
  std::string strSuffix;
  AnyParent(strHost, [&](const std::string& strParent, std::size_t nLabel) {
    if (m_exceptions.count(strParent)) {
      // "!name.platform": the name is a user's, its parent the platform's.
      const std::size_t nDot = strParent.find('.');
      if (nDot != std::string::npos) strSuffix = strParent.substr(nDot + 1);
      return true;
    }
    if (m_suffixes.count(strParent)) {
      strSuffix = strParent;
      return true;
    }
    // "*.platform": every label below the platform is a suffix of its own.
    if (nLabel > 0 && m_wildcards.count(strParent)) {
      const std::size_t nStart = nLabel >= 2 ? strHost.rfind('.', nLabel - 2) : std::string::npos;
      strSuffix = strHost.substr(nStart == std::string::npos ? 0 : nStart + 1);
      return true;
    }
    return false;
  });
  return strSuffix;
}

bool CSharedHosts::IsShared(const std::string& strHost) const {
  const std::string strPrivate = PrivateSuffixOf(strHost);
  std::string strShared;
  AnyParent(strHost, [&](const std::string& strParent, std::size_t) {
    if (!m_shared.count(strParent)) return false;
    strShared = strParent;
    return true;
  });
  // A shared entry below the platform's suffix names a part of it that is shared.
  if (strShared.size() > strPrivate.size()) return true;
  if (!strPrivate.empty()) return strHost == strPrivate;
  return false;
}
