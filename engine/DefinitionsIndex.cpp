#include "engine/DefinitionsIndex.h"

#include <algorithm>
#include <cstring>

#include "engine/DefinitionMatchers.h"
#include "engine/DefinitionsLayout.h"
#include "engine/ProfileText.h"
#include "shared/AsciiCase.h"
#include "shared/BoundedCopy.h"

namespace {

// Every entry of the list as the walk meets it, entries that read as empty text
// included (as empty texts): the walk skips them but goes on behind them.
template <typename TVisit>
void ForEachEntry(const IDefinitionReader& reader, EDefinitionList list, TVisit fnVisit) {
  char szEntry[kValueSize];
  const bool bLower = IsLowerCasedList(list);
  for (int n = 1; ReadNumberedEntry(reader, list, n, szEntry, sizeof(szEntry)); ++n) {
    if (bLower) LowerAsciiInPlace(szEntry);
    fnVisit(szEntry);
  }
}

std::string LowerAscii(const char* szText) {
  std::string str(szText);
  for (char& c : str) c = LowerAsciiChar(c);
  return str;
}

uint64_t HashOf(const char* szText) {
  uint64_t nHash = 14695981039346656037ull;  // FNV-1a
  for (; *szText; ++szText) nHash = (nHash ^ static_cast<unsigned char>(*szText)) * 1099511628211ull;
  return nHash;
}

void WriteOutput(char* szOut, const char* szEntry) {
  if (szOut) CopyBounded(szOut, kMatchOutputSize, szEntry);
}

}  // namespace

void CDefinitionsIndex::CTexts::Add(const char* szText) {
  m_offsets.push_back(static_cast<uint32_t>(m_chars.size()));
  m_chars.append(szText);
  m_chars.push_back('\0');
}

std::vector<std::pair<uint32_t, std::string_view>> CDefinitionsIndex::CTexts::Numbered(bool bSkipRetired) const {
  std::vector<std::pair<uint32_t, std::string_view>> entries;
  entries.reserve(m_offsets.size());
  for (uint32_t n = 1; n <= Count(); ++n) {
    if (bSkipRetired && EqualsIgnoringAsciiCase(At(n), kRetiredLink)) continue;
    entries.push_back({n, At(n)});
  }
  return entries;
}

CDefinitionsIndex::CDefinitionsIndex(const IDefinitionReader& reader) {
  Read(reader);
  Build();
}

void CDefinitionsIndex::Read(const IDefinitionReader& reader) {
  ForEachEntry(reader, EDefinitionList::HostIP, [&](const char* szEntry) {
    if (szEntry[0] != 0) m_addresses.Add(LowerAscii(szEntry).c_str());
  });
  ForEachEntry(reader, EDefinitionList::HostLink, [&](const char* szEntry) {
    if (szEntry[0] != 0) m_links.Add(szEntry);
  });
  ForEachEntry(reader, EDefinitionList::CalledLink, [&](const char* szEntry) {
    if (szEntry[0] != 0) m_links.Add(szEntry);
    m_called.Add(szEntry);
  });
  // A shown link counts only beside a called link of the same number.
  char szShown[kValueSize];
  for (uint32_t n = 1; n <= m_called.Count(); ++n) {
    const bool bRead =
        ReadNumberedEntry(reader, EDefinitionList::VisibleLink, static_cast<int>(n), szShown, sizeof(szShown));
    m_shown.Add(bRead ? szShown : "");
  }
  ForEachEntry(reader, EDefinitionList::From, [&](const char* szEntry) { m_from.Add(szEntry); });
  ForEachEntry(reader, EDefinitionList::Subject, [&](const char* szEntry) { m_subject.Add(szEntry); });
  ForEachEntry(reader, EDefinitionList::Text, [&](const char* szEntry) { m_text.Add(szEntry); });
}

void CDefinitionsIndex::Build() {
  for (CTexts* pTexts : {&m_addresses, &m_called, &m_shown, &m_from, &m_subject, &m_text}) pTexts->Shrink();
  std::size_t nSlots = 8;
  while (nSlots < 2 * m_addresses.Count()) nSlots *= 2;
  m_addressSlots.assign(nSlots, 0);
  for (uint32_t n = 1; n <= m_addresses.Count(); ++n) {
    std::size_t nSlot = HashOf(m_addresses.At(n)) & (nSlots - 1);
    while (m_addressSlots[nSlot] != 0 && std::strcmp(m_addresses.At(m_addressSlots[nSlot]), m_addresses.At(n)) != 0) {
      nSlot = (nSlot + 1) & (nSlots - 1);
    }
    if (m_addressSlots[nSlot] == 0) m_addressSlots[nSlot] = n;
  }
  // The largest last, so that what the others leave behind while they are built is gone.
  m_links.Build();
  m_fromAutomaton.Build(m_from.Numbered(false), CEntryAutomaton::EUse::Lowest);
  m_subjectAutomaton.Build(m_subject.Numbered(false), CEntryAutomaton::EUse::Lowest);
  m_textAutomaton.Build(m_text.Numbered(false), CEntryAutomaton::EUse::Lowest);
  m_calledAutomaton.Build(m_called.Numbered(true), CEntryAutomaton::EUse::Every);
}

std::unique_ptr<const CDefinitionsIndex> CDefinitionsIndex::FromFileBytes(std::string_view data) {
  std::unique_ptr<CDefinitionsIndex> pIndex(new CDefinitionsIndex());
  {
    CProfileText text;  // gone before the tables are built
    if (!text.Parse(data)) return nullptr;
    pIndex->Read(text);
  }
  pIndex->Build();
  return pIndex;
}

bool CDefinitionsIndex::IsBadIP(const char* szAddress) const {
  if (!szAddress || szAddress[0] == 0) return false;
  const std::string strAddress = LowerAscii(szAddress);
  const std::size_t nMask = m_addressSlots.size() - 1;
  for (std::size_t nSlot = HashOf(strAddress.c_str()) & nMask; m_addressSlots[nSlot] != 0;
       nSlot = (nSlot + 1) & nMask) {
    if (strAddress == m_addresses.At(m_addressSlots[nSlot])) return true;
  }
  return false;
}

bool CDefinitionsIndex::IsBadUrl(char* szLink) const {
  if (!szLink) return false;
  LowerAsciiInPlace(szLink);
  return szLink[0] != 0 && m_links.AnyContains(szLink);
}

bool CDefinitionsIndex::IsBadMailFrom(const char* szFrom) const {
  return szFrom && m_fromAutomaton.FindLowest(szFrom) != CEntryAutomaton::kNone;
}

bool CDefinitionsIndex::IsBadMailSubject(const char* szSubject) const {
  return szSubject && m_subjectAutomaton.FindLowest(szSubject) != CEntryAutomaton::kNone;
}

bool CDefinitionsIndex::IsBadMailLinks(const char* szText, char* szMatchedLink) const {
  if (!szText) return false;
  std::vector<std::pair<uint32_t, std::size_t>> found;
  m_calledAutomaton.FindEvery(szText, found);
  if (found.empty()) return false;
  const auto itLowest = std::min_element(found.begin(), found.end());
  WriteOutput(szMatchedLink, m_called.At(itLowest->first));
  return true;
}

bool CDefinitionsIndex::IsBadVisibleMailLinks(const char* szText, char* szVisibleLink, char* szCalledLink) const {
  if (!szText) return false;
  std::vector<std::pair<uint32_t, std::size_t>> found;
  m_calledAutomaton.FindEvery(szText, found);
  std::sort(found.begin(), found.end());
  char szVisible[kValueSize];
  for (const auto& [n, nBehind] : found) {
    const char* szCalled = m_called.At(n);
    const char* szPaired = m_shown.At(n);
    if (szPaired[0] == 0 || !CutShownText(szText + nBehind - std::strlen(szCalled), szVisible)) continue;
    if (EqualsIgnoringAsciiCase(szPaired, szVisible)) {
      WriteOutput(szCalledLink, szCalled);
      WriteOutput(szVisibleLink, szPaired);
      return true;
    }
  }
  return false;
}

bool CDefinitionsIndex::IsBadMailText(const char* szText, char* szMatchedText) const {
  if (!szText) return false;
  const uint32_t n = m_textAutomaton.FindLowest(szText);
  if (n == CEntryAutomaton::kNone) return false;
  WriteOutput(szMatchedText, m_text.At(n));
  return true;
}

std::size_t CDefinitionsIndex::MemoryBytes() const {
  return sizeof(*this) + m_addresses.MemoryBytes() + m_addressSlots.capacity() * 4 + m_links.MemoryBytes() +
         m_called.MemoryBytes() + m_shown.MemoryBytes() + m_from.MemoryBytes() + m_subject.MemoryBytes() +
         m_text.MemoryBytes() + m_calledAutomaton.MemoryBytes() + m_fromAutomaton.MemoryBytes() +
         m_subjectAutomaton.MemoryBytes() + m_textAutomaton.MemoryBytes();
}
