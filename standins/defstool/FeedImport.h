// Turns the phishing feeds that are published on the web into the definitions
// tool's plain list: web addresses go into "HostLink" in the form the engine's
// GetUrl cuts out of a request (host and path, no scheme, no leading "www.", no
// query), bare IPv4 addresses into "HostIP".
//
// Feeds understood: one host or URL per line (OpenPhish, phishunt,
// Phishing.Database), PhishTank's CSV (its "url" column), and the JSON
// configuration of eth-phishing-detect (its "blacklist" and "blocklist" arrays).
#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

enum class EFeedFormat { Lines, PhishTankCsv, Json };

// By the first bytes: "{" is JSON, a first line starting with "phish_id," is
// PhishTank's CSV, anything else a list of lines.
EFeedFormat DetectFeedFormat(const std::string& strText);

enum class EFeedEntry { HostAddress, HostLink, Malformed, Unstorable };

// One feed entry as it would be stored; strValue is the stored text.
EFeedEntry NormalizeFeedEntry(const std::string& strEntry, std::string& strValue);

class CFeedImport {
 public:
  // Adds every entry of one feed; entries already taken (from this or an earlier
  // feed) are counted as duplicates. False, with nothing added, for a feed whose
  // structure is broken (JSON that does not parse, a CSV without a "url" column).
  bool AddFeed(const std::string& strName, const std::string& strText, std::string& strError);
  // The plain list: a "[HostIP]" and a "[HostLink]" section, in the order taken.
  std::string WritePlainList() const;

  std::size_t CountKept() const { return m_hostAddresses.size() + m_hostLinks.size(); }
  std::size_t CountHostAddresses() const { return m_hostAddresses.size(); }
  std::size_t CountHostLinks() const { return m_hostLinks.size(); }
  std::size_t CountDuplicates() const { return m_nDuplicates; }
  std::size_t CountUnstorable() const { return m_nUnstorable; }
  std::size_t CountMalformed() const { return m_nMalformed; }
  // The first dropped entries, each with its feed and line (at most kMaxNotes).
  const std::vector<std::string>& Notes() const { return m_notes; }
  static constexpr std::size_t kMaxNotes = 20;

 private:
  struct SRawEntry {
    std::string strText;
    std::size_t nLine;
  };
  void AddEntries(const std::string& strName, const std::vector<SRawEntry>& entries);
  void Note(const std::string& strName, std::size_t nLine, const std::string& strText, const char* szWhy);

  std::vector<std::string> m_hostAddresses, m_hostLinks;
  std::unordered_set<std::string> m_taken;
  std::size_t m_nDuplicates = 0, m_nUnstorable = 0, m_nMalformed = 0;
  std::vector<std::string> m_notes;
};
