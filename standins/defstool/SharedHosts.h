// Which hosts of a phishing feed may be listed whole. A host on a platform where
// users are separated by path or query (documents, forms, sites, storage, file
// sharing, IPFS gateways, link shorteners and redirectors, code hosts) is shared:
// only the phishing page is listed, never the host. A host on a user's own
// subdomain of a platform (the private section of the Public Suffix List, such as
// "name.github.io") belongs to that user and is listed whole; the platform itself
// never is.
#pragma once

#include <string>
#include <unordered_set>

// A line of a list or a field of a feed without blanks at either end.
std::string Trimmed(const std::string& str);

// The shared platforms that come with the tool, one host per line.
extern const char* const kShippedSharedHosts;

class CSharedHosts {
 public:
  // One host per line ("*.host": a platform whose users have their own subdomains),
  // or "rank,host" lines of a popular-sites list (a header line is skipped); blanks,
  // empty lines and lines starting with "#" or ";" are skipped. Hosts are taken in
  // lower case without a leading "www." and trailing dots. Returns how many.
  std::size_t AddHosts(const std::string& strText);
  // The rules of the "PRIVATE DOMAINS" section of a Public Suffix List file
  // ("github.io", "*.example.cloud", "!www.example.cloud"). Returns how many.
  std::size_t AddPublicSuffixList(const std::string& strText);

  // True when the host (lower case, no port) must not be listed whole: it or a
  // parent is a shared platform, or it is a platform whose users have their own
  // subdomains. The more specific of the two lists decides.
  bool IsShared(const std::string& strHost) const;

 private:
  // The longest private suffix the host is or lies below; empty when none.
  std::string PrivateSuffixOf(const std::string& strHost) const;

  std::unordered_set<std::string> m_shared;
  std::unordered_set<std::string> m_suffixes, m_wildcards, m_exceptions;
};
