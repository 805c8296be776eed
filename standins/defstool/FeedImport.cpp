#include "standins/defstool/FeedImport.h"

#include <algorithm>

#include "definitions/DefinitionsLayout.h"
#include "engine/WebAddress.h"
#include "shared/AsciiCase.h"
#include "standins/defstool/JsonLists.h"
#include "standins/defstool/ReadBackCheck.h"
#include "standins/defstool/SharedHosts.h"

namespace {

std::string Lowered(std::string str) {
  for (char& c : str) c = LowerAsciiChar(c);
  return str;
}

bool StartsWith(const std::string& str, const char* szPrefix) {
  return str.compare(0, std::char_traits<char>::length(szPrefix), szPrefix) == 0;
}

bool IsHostChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
}

bool IsDottedAddress(const std::string& strHost) {
  int nParts = 0;
  std::size_t i = 0;
  while (i <= strHost.size()) {
    const std::size_t nEnd = std::min(strHost.find('.', i), strHost.size());
    if (nEnd == i || nEnd - i > 3) return false;
    int nValue = 0;
    for (std::size_t k = i; k < nEnd; ++k) {
      if (strHost[k] < '0' || strHost[k] > '9') return false;
      nValue = nValue * 10 + (strHost[k] - '0');
    }
    if (nValue > 255) return false;
    ++nParts;
    i = nEnd + 1;
  }
  return nParts == 4;
}

// The host as a browser puts it into the Host field: no user part, lower case, no
// trailing dot, the port only when it is not the scheme's own.
bool NormalizeHost(std::string strHost, const std::string& strDefaultPort, std::string& strOut) {
  const std::size_t nAt = strHost.rfind('@');
  if (nAt != std::string::npos) strHost.erase(0, nAt + 1);
  strHost = Lowered(strHost);
  std::string strPort;
  const std::size_t nColon = strHost.find(':');
  if (nColon != std::string::npos) {
    strPort = strHost.substr(nColon + 1);
    strHost.erase(nColon);
    if (strPort.empty() || strPort.size() > 5) return false;
    for (char c : strPort) {
      if (c < '0' || c > '9') return false;
    }
    if (strPort == strDefaultPort) strPort.clear();
  }
  while (!strHost.empty() && strHost.back() == '.') strHost.pop_back();
  if (strHost.empty() || strHost.front() == '.' || strHost.find("..") != std::string::npos) return false;
  for (char c : strHost) {
    if (!IsHostChar(c)) return false;
  }
  strOut = strPort.empty() ? strHost : strHost + ":" + strPort;
  return true;
}

}  // namespace

EFeedFormat DetectFeedFormat(const std::string& strText) {
  std::size_t i = 0;
  if (StartsWith(strText, "\xEF\xBB\xBF")) i = 3;
  while (i < strText.size() && (strText[i] == ' ' || strText[i] == '\t' || strText[i] == '\r' || strText[i] == '\n'))
    ++i;
  if (i < strText.size() && strText[i] == '{') return EFeedFormat::Json;
  if (strText.compare(i, 9, "phish_id,") == 0) return EFeedFormat::PhishTankCsv;
  return EFeedFormat::Lines;
}

EFeedEntry NormalizeFeedEntry(const std::string& strEntry, std::string& strValue, std::string* pstrPageHost) {
  if (pstrPageHost) pstrPageHost->clear();
  std::string strRest = Trimmed(strEntry);
  for (unsigned char c : strRest) {
    if (c <= 0x20 || c == 0x7F) return EFeedEntry::Malformed;  // a blank or control character inside
  }
  std::string strDefaultPort = "80";
  const std::size_t nScheme = strRest.find("://");
  if (nScheme != std::string::npos) {
    const std::string strScheme = Lowered(strRest.substr(0, nScheme));
    if (strScheme == "https")
      strDefaultPort = "443";
    else if (strScheme != "http")
      return EFeedEntry::Malformed;
    strRest.erase(0, nScheme + 3);
  }
  strRest.erase(std::min(strRest.find('#'), strRest.size()));  // the fragment is never sent
  const std::size_t nPath = strRest.find_first_of("/?");
  std::string strHost;
  if (!NormalizeHost(strRest.substr(0, nPath), strDefaultPort, strHost)) return EFeedEntry::Malformed;
  if (StartsWith(strHost, "www.")) strHost.erase(0, 4);
  if (strHost.empty()) return EFeedEntry::Malformed;

  // Host, path and query in the engine's normal form; "/" alone is no path.
  SWebAddress address;
  const std::size_t nPort = strHost.find(':');
  address.strHost = strHost.substr(0, nPort);
  const std::string strTarget = nPath == std::string::npos ? std::string() : strRest.substr(nPath);
  const std::size_t nQuery = strTarget.find('?');
  address.strPath = strTarget.substr(0, nQuery);
  if (nQuery != std::string::npos) address.strQuery = strTarget.substr(nQuery + 1);
  address = NormalizeWebAddress(address);
  if (address.strPath == "/") address.strPath.clear();
  const std::string strPort = nPort == std::string::npos ? std::string() : strHost.substr(nPort);
  const bool bPage = !address.strPath.empty() || !address.strQuery.empty();

  const bool bAddress = !bPage && strPort.empty() && IsDottedAddress(address.strHost);
  strValue = Lowered(address.strHost + strPort + address.strPath +
                     (address.strQuery.empty() ? std::string() : "?" + address.strQuery));
  if (pstrPageHost && bPage) *pstrPageHost = Lowered(address.strHost);
  const char* szSection = LayoutOf(bAddress ? EDefinitionList::HostIP : EDefinitionList::HostLink).szSection;
  if (!FindReadBackFault(strValue, EDefinitionPart::Value, ValueLimitOf(szSection)).empty()) {
    return EFeedEntry::Unstorable;
  }
  return bAddress ? EFeedEntry::HostAddress : EFeedEntry::HostLink;
}

namespace {

// Splits PhishTank's CSV into rows of fields: fields in double quotes may hold
// commas, line ends and doubled quotes. nLine of each row is where it starts.
struct SCsvRow {
  std::vector<std::string> fields;
  std::size_t nLine;
};

CResult SplitCsv(const std::string& strText, std::vector<SCsvRow>& rows) {
  std::size_t nLine = 1;
  std::size_t i = StartsWith(strText, "\xEF\xBB\xBF") ? 3 : 0;
  while (i < strText.size()) {
    SCsvRow row{{std::string()}, nLine};
    bool bQuoted = false;
    for (; i < strText.size(); ++i) {
      const char c = strText[i];
      if (bQuoted) {
        if (c == '"' && i + 1 < strText.size() && strText[i + 1] == '"') {
          row.fields.back() += '"';
          ++i;
        } else if (c == '"') {
          bQuoted = false;
        } else {
          if (c == '\n') ++nLine;
          row.fields.back() += c;
        }
      } else if (c == '"' && row.fields.back().empty()) {
        bQuoted = true;
      } else if (c == ',') {
        row.fields.emplace_back();
      } else if (c == '\n') {
        ++nLine;
        ++i;
        break;
      } else if (c != '\r') {
        row.fields.back() += c;
      }
    }
    if (bQuoted) {
      return CResult(RESULT_INVALID_DATA,
                     "line " + std::to_string(row.nLine) + ": a quoted field without its closing quote");
    }
    if (row.fields.size() > 1 || !row.fields[0].empty()) rows.push_back(std::move(row));
  }
  return CResult();
}

}  // namespace

CResult CFeedImport::AddFeed(const std::string& strName, const std::string& strText) {
  std::vector<SRawEntry> entries;
  switch (DetectFeedFormat(strText)) {
    case EFeedFormat::Json: {
      CResultOf<std::vector<SJsonListItem>> items = ReadJsonLists(strText, {"blacklist", "blocklist"});
      if (!items.IsOk()) return items.Result();
      for (auto& item : items.Value()) {
        if (!item.bString) {
          ++m_nMalformed;
          Note(strName, item.nLine, "", "not a text");
          continue;
        }
        entries.push_back({std::move(item.strText), item.nLine});
      }
      break;
    }
    case EFeedFormat::PhishTankCsv: {
      std::vector<SCsvRow> rows;
      const CResult split = SplitCsv(strText, rows);
      if (!split.IsOk()) return split;
      if (rows.empty()) break;
      std::size_t nColumn = 0;
      while (nColumn < rows[0].fields.size() && Trimmed(rows[0].fields[nColumn]) != "url") ++nColumn;
      if (nColumn == rows[0].fields.size()) {
        return CResult(RESULT_INVALID_DATA, "line 1: the header names no \"url\" column");
      }
      for (std::size_t r = 1; r < rows.size(); ++r) {
        if (rows[r].fields.size() != rows[0].fields.size()) {
          ++m_nMalformed;
          Note(strName, rows[r].nLine, "", "a row whose fields do not match the header");
          continue;
        }
        entries.push_back({std::move(rows[r].fields[nColumn]), rows[r].nLine});
      }
      break;
    }
    case EFeedFormat::Lines: {
      std::size_t nLine = 0, nStart = StartsWith(strText, "\xEF\xBB\xBF") ? 3 : 0;
      while (nStart < strText.size()) {
        ++nLine;
        const std::size_t nEnd = std::min(strText.find('\n', nStart), strText.size());
        const std::string strLine = Trimmed(strText.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
        if (strLine.empty() || strLine[0] == '#' || strLine[0] == ';' || strLine[0] == '!') continue;
        entries.push_back({strLine, nLine});
      }
      break;
    }
  }
  AddEntries(strName, entries);
  return CResult();
}

CFeedImport::CFeedImport() {
  m_shared.AddHosts(kShippedSharedHosts);
}

bool CFeedImport::Take(const std::string& strValue) {
  if (!m_taken.insert("L " + strValue).second) return false;
  m_hostLinks.push_back(strValue);
  return true;
}

void CFeedImport::AddEntries(const std::string& strName, const std::vector<SRawEntry>& entries) {
  for (const auto& entry : entries) {
    std::string strValue, strPageHost;
    const EFeedEntry kind = NormalizeFeedEntry(entry.strText, strValue, &strPageHost);
    switch (kind) {
      case EFeedEntry::Malformed:
        if (Trimmed(entry.strText).empty()) break;  // an empty field is no entry
        ++m_nMalformed;
        Note(strName, entry.nLine, entry.strText, "not a host or web address");
        break;
      case EFeedEntry::Unstorable:
        ++m_nUnstorable;
        Note(strName, entry.nLine, entry.strText, "cannot be stored in the definitions file");
        // The page is lost, but a host of its own is still listed whole.
        if (!strPageHost.empty() && !m_shared.IsShared(strPageHost) && Take(strPageHost)) ++m_nWholeHosts;
        break;
      case EFeedEntry::HostAddress:
        if (!m_taken.insert("I " + strValue).second) {
          ++m_nDuplicates;
          break;
        }
        m_hostAddresses.push_back(strValue);
        break;
      case EFeedEntry::HostLink: {
        if (strPageHost.empty()) {
          // A host alone lists it whole: never a shared platform.
          if (m_shared.IsShared(strValue.substr(0, strValue.find(':')))) {
            ++m_nRefusedShared;
            Note(strName, entry.nLine, entry.strText, "a shared platform, never listed whole");
          } else if (Take(strValue)) {
            ++m_nWholeHosts;
          } else {
            ++m_nDuplicates;
          }
          break;
        }
        if (!Take(strValue)) {
          ++m_nDuplicates;
          break;
        }
        ++m_nPages;
        if (m_shared.IsShared(strPageHost)) {
          ++m_pagesOnShared[strPageHost];
        } else if (Take(strPageHost)) {
          ++m_nWholeHosts;
        }
        break;
      }
    }
  }
}

std::string CFeedImport::SharedPagesSummary(std::size_t nMaxHosts) const {
  std::vector<std::pair<std::size_t, std::string>> hosts;
  for (const auto& [strHost, nPages] : m_pagesOnShared) hosts.push_back({nPages, strHost});
  std::sort(hosts.begin(), hosts.end(),
            [](const auto& a, const auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
  std::string strOut;
  for (std::size_t i = 0; i < hosts.size() && i < nMaxHosts; ++i) {
    strOut += (i ? ", " : "") + hosts[i].second + " " + std::to_string(hosts[i].first);
  }
  if (hosts.size() > nMaxHosts) strOut += ", ... (" + std::to_string(hosts.size()) + " hosts)";
  return strOut;
}

void CFeedImport::Note(const std::string& strName, std::size_t nLine, const std::string& strText, const char* szWhy) {
  if (m_notes.size() >= kMaxNotes) return;
  std::string strShown = strText.substr(0, 80);
  for (char& c : strShown) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  m_notes.push_back(strName + ":" + std::to_string(nLine) + ": " + (strShown.empty() ? "" : "\"" + strShown + "\": ") +
                    szWhy);
}

std::string CFeedImport::WritePlainList() const {
  std::string strOut = "; Imported phishing feeds: " + std::to_string(CountKept()) + " entries\n";
  auto writeSection = [&strOut](const char* szSection, const char* szPrefix, const std::vector<std::string>& values) {
    if (values.empty()) return;
    strOut += std::string("\n[") + szSection + "]\n";
    for (std::size_t i = 0; i < values.size(); ++i) {
      strOut += szPrefix + std::to_string(i + 1) + "=" + values[i] + "\n";
    }
  };
  for (const auto* pValues : {&m_hostAddresses, &m_hostLinks}) {
    const auto& layout = LayoutOf(pValues == &m_hostAddresses ? EDefinitionList::HostIP : EDefinitionList::HostLink);
    writeSection(layout.szSection, layout.szPrefix, *pValues);
  }
  return strOut;
}
