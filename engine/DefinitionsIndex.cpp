#include "engine/DefinitionsIndex.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/DefinitionMatchers.h"
#include "engine/LinkTable.h"
#include "definitions/DefinitionsLayout.h"
#include "definitions/ProfileText.h"
#include "shared/AsciiCase.h"
#include "shared/BoundedCopy.h"

namespace {

// Pieces of the bytes held in memory, as a file is read.
constexpr std::size_t kPieceSize = 1 << 20;

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

std::unique_ptr<const CDefinitionsIndex> CDefinitionsIndex::FromFileBytes(std::string_view data) {
  if (CProfileText::IsOtherEncoding(data)) return nullptr;
  auto pData = std::make_shared<const std::string>(data);
  return std::make_unique<const CDefinitionsIndex>([pData](const FPiece& fnPiece) {
    for (std::size_t nAt = 0; nAt < pData->size(); nAt += kPieceSize) {
      fnPiece(std::string_view(*pData).substr(nAt, kPieceSize));
    }
    return true;
  });
}

bool CDefinitionsIndex::Prepare(ETable table) const {
  if (IsBuilt(table)) return true;
  std::atomic<bool>& bBuilt = m_bBuilt[static_cast<int>(table)];
  std::lock_guard<std::mutex> lock(m_build);
  if (bBuilt.load(std::memory_order_relaxed)) return true;
  if (!Build(table)) return false;
  bBuilt.store(true, std::memory_order_release);
  return true;
}

bool CDefinitionsIndex::Build(ETable table) const {
  using EList = EDefinitionList;
  const auto Bit = CProfileText::ListBit;
  // The lists the table walks, as the matchers lower-case them, in one place.
  const auto Read = [this](unsigned nWalked, unsigned nKept, const std::function<void(EList, const char*)>& fnAdd,
                           std::unique_ptr<CProfileEntryStream>& pStream) {
    pStream = std::make_unique<CProfileEntryStream>(nWalked, nKept, [fnAdd](EList list, char* szEntry) {
      if (IsLowerCasedList(list)) LowerAsciiInPlace(szEntry);
      fnAdd(list, szEntry);
    });
    CProfileEntryStream& stream = *pStream;
    return m_fnRead([&stream](std::string_view piece) { stream.Feed(piece); }) && stream.Finish();
  };
  std::unique_ptr<CProfileEntryStream> pStream;
  switch (table) {
    case ETable::Addresses: {
      auto pTable = std::make_unique<SAddresses>();
      const auto fnAdd = [&](EList, const char* szEntry) {
        if (szEntry[0] != 0) pTable->texts.Add(LowerAscii(szEntry).c_str());
      };
      if (!Read(Bit(EList::HostIP), 0, fnAdd, pStream)) return false;
      pTable->texts.Shrink();
      const CTexts& texts = pTable->texts;
      std::size_t nSlots = 8;
      while (nSlots < 2 * texts.Count()) nSlots *= 2;
      pTable->slots.assign(nSlots, 0);
      for (uint32_t n = 1; n <= texts.Count(); ++n) {
        std::size_t nSlot = HashOf(texts.At(n)) & (nSlots - 1);
        while (pTable->slots[nSlot] != 0 && std::strcmp(texts.At(pTable->slots[nSlot]), texts.At(n)) != 0) {
          nSlot = (nSlot + 1) & (nSlots - 1);
        }
        if (pTable->slots[nSlot] == 0) pTable->slots[nSlot] = n;
      }
      m_pAddresses = std::move(pTable);
      return true;
    }
    case ETable::Links: {
      // The table keeps a set: the order of the two lists does not count.
      auto pTable = std::make_unique<CLinkTable>();
      const auto fnAdd = [&](EList, const char* szEntry) { pTable->Add(szEntry); };
      if (!Read(Bit(EList::HostLink) | Bit(EList::CalledLink), 0, fnAdd, pStream)) return false;
      pTable->Build();
      m_pLinks = std::move(pTable);
      return true;
    }
    case ETable::MailLinks: {
      auto pTable = std::make_unique<SMailLinks>();
      const auto fnAdd = [&](EList, const char* szEntry) { pTable->called.Add(szEntry); };
      if (!Read(Bit(EList::CalledLink), Bit(EList::VisibleLink), fnAdd, pStream)) return false;
      // A shown link counts only beside a called link of the same number.
      char szShown[kValueSize];
      for (uint32_t n = 1; n <= pTable->called.Count(); ++n) {
        const bool bRead = pStream->ReadKept(EList::VisibleLink, static_cast<int>(n), szShown);
        pTable->shown.Add(bRead ? szShown : "");
      }
      pStream.reset();
      pTable->called.Shrink();
      pTable->shown.Shrink();
      pTable->automaton.Build(pTable->called.Numbered(true), CEntryAutomaton::EUse::Every);
      m_pMailLinks = std::move(pTable);
      return true;
    }
    case ETable::From:
    case ETable::Subject:
    case ETable::Text: {
      const int nList = static_cast<int>(table) - static_cast<int>(ETable::From);
      const EList lists[] = {EList::From, EList::Subject, EList::Text};
      auto pTable = std::make_unique<SMailTexts>();
      const auto fnAdd = [&](EList, const char* szEntry) { pTable->texts.Add(szEntry); };
      if (!Read(Bit(lists[nList]), 0, fnAdd, pStream)) return false;
      pTable->texts.Shrink();
      pTable->automaton.Build(pTable->texts.Numbered(false), CEntryAutomaton::EUse::Lowest);
      m_pMailTexts[nList] = std::move(pTable);
      return true;
    }
  }
  return false;
}

bool CDefinitionsIndex::IsBadIP(const char* szAddress) const {
  if (!szAddress || szAddress[0] == 0 || !Prepare(ETable::Addresses)) return false;
  const std::string strAddress = LowerAscii(szAddress);
  const std::vector<uint32_t>& slots = m_pAddresses->slots;
  const std::size_t nMask = slots.size() - 1;
  for (std::size_t nSlot = HashOf(strAddress.c_str()) & nMask; slots[nSlot] != 0; nSlot = (nSlot + 1) & nMask) {
    if (strAddress == m_pAddresses->texts.At(slots[nSlot])) return true;
  }
  return false;
}

bool CDefinitionsIndex::IsBadUrl(char* szLink) const {
  if (!szLink) return false;
  LowerAsciiInPlace(szLink);
  return IsBadWebAddress(WebAddressOfLink(szLink));
}

bool CDefinitionsIndex::IsBadWebAddress(SWebAddress address) const {
  if (!Prepare(ETable::Links)) return false;
  const SWebAddress compared = ComparedWebAddress(std::move(address));
  return m_pLinks->Covers(PartsOf(compared));
}

bool CDefinitionsIndex::IsBadMailFrom(const char* szFrom) const {
  return szFrom && Prepare(ETable::From) && m_pMailTexts[0]->automaton.FindLowest(szFrom) != CEntryAutomaton::kNone;
}

bool CDefinitionsIndex::IsBadMailSubject(const char* szSubject) const {
  return szSubject && Prepare(ETable::Subject) &&
         m_pMailTexts[1]->automaton.FindLowest(szSubject) != CEntryAutomaton::kNone;
}

bool CDefinitionsIndex::IsBadMailLinks(const char* szText, char* szMatchedLink) const {
  if (!szText || !Prepare(ETable::MailLinks)) return false;
  std::vector<std::pair<uint32_t, std::size_t>> found;
  m_pMailLinks->automaton.FindEvery(szText, found);
  if (found.empty()) return false;
  const auto itLowest = std::min_element(found.begin(), found.end());
  WriteOutput(szMatchedLink, m_pMailLinks->called.At(itLowest->first));
  return true;
}

bool CDefinitionsIndex::IsBadVisibleMailLinks(const char* szText, char* szVisibleLink, char* szCalledLink) const {
  if (!szText || !Prepare(ETable::MailLinks)) return false;
  std::vector<std::pair<uint32_t, std::size_t>> found;
  m_pMailLinks->automaton.FindEvery(szText, found);
  std::sort(found.begin(), found.end());
  char szVisible[kValueSize];
  for (const auto& [n, nBehind] : found) {
    const char* szCalled = m_pMailLinks->called.At(n);
    const char* szPaired = m_pMailLinks->shown.At(n);
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
  if (!szText || !Prepare(ETable::Text)) return false;
  const uint32_t n = m_pMailTexts[2]->automaton.FindLowest(szText);
  if (n == CEntryAutomaton::kNone) return false;
  WriteOutput(szMatchedText, m_pMailTexts[2]->texts.At(n));
  return true;
}

std::size_t CDefinitionsIndex::MemoryBytes() const {
  std::lock_guard<std::mutex> lock(m_build);
  std::size_t cb = sizeof(*this);
  if (m_pAddresses) cb += m_pAddresses->texts.MemoryBytes() + m_pAddresses->slots.capacity() * 4;
  if (m_pLinks) cb += m_pLinks->MemoryBytes();
  if (m_pMailLinks) {
    cb +=
        m_pMailLinks->called.MemoryBytes() + m_pMailLinks->shown.MemoryBytes() + m_pMailLinks->automaton.MemoryBytes();
  }
  for (const auto& pTexts : m_pMailTexts) {
    if (pTexts) cb += pTexts->texts.MemoryBytes() + pTexts->automaton.MemoryBytes();
  }
  return cb;
}
