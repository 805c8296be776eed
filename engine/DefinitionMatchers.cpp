#include "engine/DefinitionMatchers.h"

#include <charconv>
#include <cstring>
#include <utility>

#include "definitions/DefinitionsLayout.h"
#include "engine/LinkParts.h"
#include "shared/AsciiCase.h"
#include "shared/BoundedCopy.h"

namespace {

constexpr std::size_t kEntrySize = kValueSize;
constexpr std::size_t kVisibleTextChars = kValueSize - 1;

// Walks entry 1, 2, ... of the list and stops at the first entry that fnMatch
// accepts, leaving it in szEntry. Entries are lower-cased first where the layout says so.
template <typename TMatch>
bool FindEntry(const IDefinitionReader& reader, EDefinitionList list, char* szEntry, std::size_t cbEntry,
               TMatch fnMatch) {
  const bool bLower = IsLowerCasedList(list);
  for (int n = 1; ReadNumberedEntry(reader, list, n, szEntry, cbEntry); ++n) {
    // A value that unscrambles to a leading byte 0 reads as empty text, which every
    // text contains: it must not match, but the entries behind it still count.
    if (szEntry[0] == 0) continue;
    if (bLower) LowerAsciiInPlace(szEntry);
    if (fnMatch(szEntry)) return true;
  }
  return false;
}

bool IsRetiredLink(const char* szEntry) {
  return EqualsIgnoringAsciiCase(szEntry, kRetiredLink);
}

void WriteOutput(char* szOut, const char* szEntry) {
  if (szOut) CopyBounded(szOut, kMatchOutputSize, szEntry);
}

// The text shown behind the first occurrence of szCalled in the page; false when
// the link does not occur or no ">" follows it.
bool CutVisibleText(const char* szPage, const char* szCalled, char (&szVisible)[kEntrySize]) {
  const char* pAt = std::strstr(szPage, szCalled);
  return pAt && CutShownText(pAt, szVisible);
}

}  // namespace

bool ReadNumberedEntry(const IDefinitionReader& reader, EDefinitionList list, int n, char* szEntry,
                       std::size_t cbEntry) {
  const SDefinitionListLayout& layout = LayoutOf(list);
  if (layout.cbValue < cbEntry) cbEntry = layout.cbValue;
  char szKey[32];  // "%s%d" of prefix and number
  const std::size_t nPrefix = std::strlen(layout.szPrefix);
  std::memcpy(szKey, layout.szPrefix, nPrefix);
  *std::to_chars(szKey + nPrefix, szKey + sizeof(szKey) - 1, n).ptr = 0;
  std::memset(szEntry, 0, cbEntry);
  const unsigned long nRead = reader.ReadEntry(layout.szSection, szKey, szEntry, static_cast<unsigned long>(cbEntry));
  szEntry[cbEntry - 1] = 0;  // whatever the reader did, the entry ends inside its buffer
  return nRead != 0;
}

bool CutShownText(const char* pLink, char (&szShown)[kValueSize]) {
  const char* pOpen = std::strchr(pLink, '>');
  if (!pOpen) return false;
  const char* pStart = pOpen + 1;
  std::size_t nLength = 0;
  while (nLength < kVisibleTextChars && pStart[nLength] != 0 && pStart[nLength] != '<') ++nLength;
  std::memcpy(szShown, pStart, nLength);
  szShown[nLength] = 0;
  return true;
}

bool CDefinitionMatchers::IsBadIP(const char* szAddress) const {
  if (!szAddress) return false;
  char szEntry[kAddressValueSize];
  return FindEntry(m_reader, EDefinitionList::HostIP, szEntry, sizeof(szEntry),
                   [&](const char* szListed) { return EqualsIgnoringAsciiCase(szListed, szAddress); });
}

bool CDefinitionMatchers::IsBadUrl(char* szLink) const {
  if (!szLink) return false;
  LowerAsciiInPlace(szLink);
  return IsBadWebAddress(WebAddressOfLink(szLink));
}

bool CDefinitionMatchers::IsBadWebAddress(SWebAddress address) const {
  const SWebAddress compared = ComparedWebAddress(std::move(address));
  const SLinkParts link = PartsOf(compared);
  if (link.host.empty()) return false;  // names no site at all
  char szEntry[kEntrySize];
  SWebAddress listed;  // each entry in turn
  auto bWithin = [&](const char* szListed) {
    ReadWebAddressOfLink(szListed, listed);
    MakeCompared(listed);
    return IsWithinListedLink(link, PartsOf(listed));
  };
  return FindEntry(m_reader, EDefinitionList::HostLink, szEntry, sizeof(szEntry), bWithin) ||
         FindEntry(m_reader, EDefinitionList::CalledLink, szEntry, sizeof(szEntry), bWithin);
}

bool CDefinitionMatchers::IsBadMailFrom(const char* szFrom) const {
  if (!szFrom) return false;
  char szEntry[kEntrySize];
  return FindEntry(m_reader, EDefinitionList::From, szEntry, sizeof(szEntry),
                   [&](const char* szListed) { return std::strstr(szFrom, szListed) != nullptr; });
}

bool CDefinitionMatchers::IsBadMailSubject(const char* szSubject) const {
  if (!szSubject) return false;
  char szEntry[kEntrySize];
  return FindEntry(m_reader, EDefinitionList::Subject, szEntry, sizeof(szEntry),
                   [&](const char* szListed) { return std::strstr(szSubject, szListed) != nullptr; });
}

bool CDefinitionMatchers::IsBadMailLinks(const char* szText, char* szMatchedLink) const {
  if (!szText) return false;
  char szEntry[kEntrySize];
  const bool bFound = FindEntry(
      m_reader, EDefinitionList::CalledLink, szEntry, sizeof(szEntry),
      [&](const char* szListed) { return !IsRetiredLink(szListed) && std::strstr(szText, szListed) != nullptr; });
  if (bFound) WriteOutput(szMatchedLink, szEntry);
  return bFound;
}

bool CDefinitionMatchers::IsBadVisibleMailLinks(const char* szText, char* szVisibleLink, char* szCalledLink) const {
  if (!szText) return false;
  char szCalled[kEntrySize];
  char szVisible[kEntrySize];
  char szPaired[kEntrySize];
  for (int n = 1; ReadNumberedEntry(m_reader, EDefinitionList::CalledLink, n, szCalled, sizeof(szCalled)); ++n) {
    if (szCalled[0] == 0) continue;  // read but empty after unscrambling: see FindEntry
    LowerAsciiInPlace(szCalled);
    if (IsRetiredLink(szCalled) || !CutVisibleText(szText, szCalled, szVisible)) continue;
    if (!ReadNumberedEntry(m_reader, EDefinitionList::VisibleLink, n, szPaired, sizeof(szPaired)) || szPaired[0] == 0) {
      continue;
    }
    if (EqualsIgnoringAsciiCase(szPaired, szVisible)) {
      WriteOutput(szCalledLink, szCalled);
      WriteOutput(szVisibleLink, szPaired);
      return true;
    }
  }
  return false;
}

bool CDefinitionMatchers::IsBadMailText(const char* szText, char* szMatchedText) const {
  if (!szText) return false;
  char szEntry[kEntrySize];
  const bool bFound = FindEntry(m_reader, EDefinitionList::Text, szEntry, sizeof(szEntry),
                                [&](const char* szListed) { return std::strstr(szText, szListed) != nullptr; });
  if (bFound) WriteOutput(szMatchedText, szEntry);
  return bFound;
}
