// The phishing matchers: each walks one list of the definitions (key prefix and a
// counter from 1, up to the first missing or empty entry) and answers whether the
// item is listed. The first matching entry ends the walk.
#pragma once

#include <cstddef>

#include "definitions/DefinitionReader.h"
#include "definitions/DefinitionsLayout.h"
#include "engine/WebAddress.h"

// Output buffers of the mail matchers hold this many bytes (260 characters).
constexpr std::size_t kMatchOutputSize = 261;

// Reads entry n of the list into szEntry (at most cbEntry bytes and the list's
// value size) as every walk does. False when the list ends there (key missing or
// value empty); an entry that unscrambles to a leading byte 0 reads as empty text.
bool ReadNumberedEntry(const IDefinitionReader& reader, EDefinitionList list, int n, char* szEntry,
                       std::size_t cbEntry);

// The text shown behind a link that starts at pLink: from the next ">" up to the
// next "<" (or the end of the page), cut to 260 characters. False when no ">"
// follows the link.
bool CutShownText(const char* pLink, char (&szShown)[kValueSize]);

class CDefinitionMatchers {
 public:
  explicit CDefinitionMatchers(const IDefinitionReader& reader) : m_reader(reader) {}

  // A "HostIP" entry equals the address, letters in either case.
  bool IsBadIP(const char* szAddress) const;
  // Lower-cases szLink in place and answers as IsBadWebAddress for its parts.
  bool IsBadUrl(char* szLink) const;
  // Looks for a "HostLink" entry, then a "Link" entry, that covers the address
  // (IsWithinListedLink), both in their compared form (ComparedWebAddress). An
  // address without a host is never listed.
  bool IsBadWebAddress(SWebAddress address) const;
  // The (lower-case) sender or subject contains a listed entry.
  bool IsBadMailFrom(const char* szFrom) const;
  bool IsBadMailSubject(const char* szSubject) const;
  // The text contains a called link that is not retired ("null"). On a match the
  // entry goes to szMatchedLink (kMatchOutputSize bytes); otherwise it is untouched.
  bool IsBadMailLinks(const char* szText, char* szMatchedLink) const;
  // A called link occurs in the page and the text shown behind it (from the next
  // ">" up to the next "<", or to the end of the page) equals its paired visible
  // link. On a match both entries go to the outputs.
  bool IsBadVisibleMailLinks(const char* szText, char* szVisibleLink, char* szCalledLink) const;
  // The body text contains a listed text. On a match the entry goes to szMatchedText.
  bool IsBadMailText(const char* szText, char* szMatchedText) const;

 private:
  const IDefinitionReader& m_reader;
};
