// Turns the phishing feeds that are published on the web into the definitions
// tool's plain list, curated as host-level block lists are: every web address is
// kept as its page in "HostLink" (host, path and query in the engine's normal
// form, no scheme, no leading "www.", no default port), and its host is also
// listed whole unless it is a shared platform (SharedHosts.h). A feed line that
// names a shared platform alone is refused. Bare IPv4 addresses go into "HostIP".
//
// Feeds understood: one host or URL per line (OpenPhish, phishunt,
// Phishing.Database), PhishTank's CSV (its "url" column), and the JSON
// configuration of eth-phishing-detect (its "blacklist" and "blocklist" arrays).
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <unordered_set>
#include <vector>

#include "shared/Result.h"
#include "standins/defstool/SharedHosts.h"

enum class EFeedFormat { Lines, PhishTankCsv, Json };

// By the first bytes: "{" is JSON, a first line starting with "phish_id," is
// PhishTank's CSV, anything else a list of lines.
EFeedFormat DetectFeedFormat(const std::string& strText);

enum class EFeedEntry { HostAddress, HostLink, Malformed, Unstorable };

// One feed entry as it would be stored; strValue is the stored text. For a page
// (an entry with a path or query), *pstrPageHost receives its host as it would be
// listed whole, also when the page cannot be stored; empty for a host alone.
EFeedEntry NormalizeFeedEntry(const std::string& strEntry, std::string& strValue, std::string* pstrPageHost = nullptr);

class CFeedImport {
 public:
  // With the shared platforms that come with the tool.
  CFeedImport();
  // More shared platforms, and the Public Suffix List's platforms, before the feeds.
  CSharedHosts& SharedHosts() { return m_shared; }

  // Adds every entry of one feed; entries already taken (from this or an earlier
  // feed) are counted as duplicates. RESULT_INVALID_DATA with the reason, and
  // nothing added, for a feed whose structure is broken (JSON that does not parse,
  // a CSV without a "url" column).
  [[nodiscard]] CResult AddFeed(const std::string& strName, const std::string& strText);
  // The plain list: a "[HostIP]" and a "[HostLink]" section, in the order taken.
  std::string WritePlainList() const;

  std::size_t CountKept() const { return m_hostAddresses.size() + m_hostLinks.size(); }
  std::size_t CountHostAddresses() const { return m_hostAddresses.size(); }
  std::size_t CountHostLinks() const { return m_hostLinks.size(); }
  std::size_t CountDuplicates() const { return m_nDuplicates; }
  std::size_t CountUnstorable() const { return m_nUnstorable; }
  std::size_t CountMalformed() const { return m_nMalformed; }
  // Hosts listed whole, pages kept, and lines refused for naming a shared platform.
  std::size_t CountWholeHosts() const { return m_nWholeHosts; }
  std::size_t CountPages() const { return m_nPages; }
  std::size_t CountRefusedShared() const { return m_nRefusedShared; }
  // "host pages, ..." of the shared platforms whose pages were kept, most first.
  std::string SharedPagesSummary(std::size_t nMaxHosts) const;
  // The first dropped entries, each with its feed and line (at most kMaxNotes).
  const std::vector<std::string>& Notes() const { return m_notes; }
  static constexpr std::size_t kMaxNotes = 20;

 private:
  struct SRawEntry {
    std::string strText;
    std::size_t nLine;
  };
  void AddEntries(const std::string& strName, const std::vector<SRawEntry>& entries);
  // Appends a "HostLink" value unless it was taken before.
  bool Take(const std::string& strValue);
  void Note(const std::string& strName, std::size_t nLine, const std::string& strText, const char* szWhy);

  std::vector<std::string> m_hostAddresses, m_hostLinks;
  std::unordered_set<std::string> m_taken;
  std::size_t m_nDuplicates = 0, m_nUnstorable = 0, m_nMalformed = 0;
  std::size_t m_nWholeHosts = 0, m_nPages = 0, m_nRefusedShared = 0;
  std::map<std::string, std::size_t> m_pagesOnShared;
  CSharedHosts m_shared;
  std::vector<std::string> m_notes;
};
