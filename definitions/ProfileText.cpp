#include "definitions/ProfileText.h"

#include <algorithm>
#include <cstring>

#include "definitions/DefinitionsLayout.h"
#include "definitions/Scrambling.h"
#include "shared/AsciiCase.h"
#include "shared/BoundedCopy.h"

namespace {

bool IsBlank(char c) {
  return c == 0x09 || c == 0x0B || c == 0x0C || c == 0x1A || c == 0x20;
}

std::string_view Trimmed(std::string_view str) {
  while (!str.empty() && IsBlank(str.front())) str.remove_prefix(1);
  while (!str.empty() && IsBlank(str.back())) str.remove_suffix(1);
  return str;
}

std::string_view CutAtZero(std::string_view str) {
  const std::size_t nZero = str.find('\0');
  return nZero == std::string_view::npos ? str : str.substr(0, nZero);
}

// A name as the reader compares it: trimmed, cut at a byte 0.
std::string_view NameOf(std::string_view name) {
  return CutAtZero(Trimmed(name));
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAsciiChar(a[i]) != LowerAsciiChar(b[i])) return false;
  }
  return true;
}

uint64_t HashOfName(std::string_view name) {
  uint64_t nHash = 14695981039346656037ull;  // FNV-1a over the letters in lower case
  for (char c : name) nHash = (nHash ^ static_cast<unsigned char>(LowerAsciiChar(c))) * 1099511628211ull;
  return nHash;
}

bool StartsWithByteOrderMark(std::string_view data) {
  return data.substr(0, 3) == "\xEF\xBB\xBF" || data.substr(0, 2) == "\xFF\xFE" || data.substr(0, 2) == "\xFE\xFF";
}

}  // namespace

bool CProfileText::IsOtherEncoding(std::string_view data) {
  return StartsWithByteOrderMark(data);
}

bool CProfileText::Parse(std::string_view data, unsigned nLists) {
  m_sections.clear();
  m_data = data;
  if (StartsWithByteOrderMark(data)) return false;
  for (const SDefinitionListLayout& layout : kDefinitionLists) {
    if (nLists != 0 && (nLists & ListBit(layout.list)) == 0) continue;
    const std::string strName = ScrambleString(layout.szSection);
    if (!FindSection(std::string(NameOf(strName)))) m_sections.push_back({std::string(NameOf(strName)), {}, {}});
  }
  std::vector<std::string_view> seen;  // the sections of the layout met so far: the first one wins
  SSection* pSection = nullptr;
  std::size_t nStart = 0;
  while (nStart < data.size()) {
    std::size_t nEnd = data.find_first_of("\r\n", nStart);
    if (nEnd == std::string_view::npos) nEnd = data.size();
    std::string_view line = data.substr(nStart, nEnd - nStart);
    nStart = nEnd + 1;
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    if (line.empty()) continue;

    const std::size_t nClose = line.rfind(']');
    if (line.front() == '[' && nClose != std::string_view::npos) {
      const std::string_view name = NameOf(line.substr(1, nClose - 1));
      pSection = nullptr;
      for (SSection& section : m_sections) {
        if (SameName(section.strName, name)) pSection = &section;
      }
      if (pSection && std::find(seen.begin(), seen.end(), pSection->strName) != seen.end()) pSection = nullptr;
      if (pSection) seen.push_back(pSection->strName);
      continue;
    }
    if (!pSection) continue;
    const std::size_t nEquals = line.find('=');
    const std::string_view name = NameOf(line.substr(0, nEquals));
    SKey key{static_cast<uint32_t>(name.data() - data.data()), static_cast<uint32_t>(name.size()), UINT32_MAX, 0};
    if (nEquals != std::string_view::npos) {
      const std::string_view value = CutAtZero(Trimmed(line.substr(nEquals + 1)));
      key.nValue = static_cast<uint32_t>(value.data() - data.data());
      key.cchValue = static_cast<uint32_t>(value.size());
    }
    pSection->keys.push_back(key);
  }
  for (SSection& section : m_sections) MakeTable(section);
  return true;
}

void CProfileText::MakeTable(SSection& section) const {
  std::size_t nSlots = 8;
  while (nSlots < 2 * section.keys.size()) nSlots *= 2;
  section.slots.assign(nSlots, 0);
  for (std::size_t i = 0; i < section.keys.size(); ++i) {
    const std::string_view name = At(section.keys[i].nName, section.keys[i].cchName);
    for (std::size_t nSlot = HashOfName(name) & (nSlots - 1);; nSlot = (nSlot + 1) & (nSlots - 1)) {
      const uint32_t nHeld = section.slots[nSlot];
      if (nHeld == 0) {
        section.slots[nSlot] = static_cast<uint32_t>(i + 1);
        break;
      }
      const SKey& held = section.keys[nHeld - 1];
      if (SameName(At(held.nName, held.cchName), name)) break;  // a key met before keeps its value
    }
  }
}

const CProfileText::SKey* CProfileText::FindKey(const SSection& section, std::string_view name) const {
  const std::size_t nMask = section.slots.size() - 1;
  for (std::size_t nSlot = HashOfName(name) & nMask;; nSlot = (nSlot + 1) & nMask) {
    const uint32_t nHeld = section.slots[nSlot];
    if (nHeld == 0) return nullptr;
    const SKey& held = section.keys[nHeld - 1];
    if (SameName(At(held.nName, held.cchName), name)) return &held;
  }
}

std::string_view CProfileText::ReadValue(std::string_view value, std::size_t cbBuffer) {
  if (cbBuffer == 0) return std::string_view();
  bool bQuoted = false;
  if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    bQuoted = true;
    value.remove_prefix(1);
  }
  std::string_view read = value.substr(0, cbBuffer - 1);
  // The closing quote goes, or, when the buffer ends before it, the last character.
  if (bQuoted && cbBuffer >= value.size() && !read.empty()) read.remove_suffix(1);
  return read;
}

const CProfileText::SSection* CProfileText::FindSection(const std::string& strName) const {
  for (const auto& section : m_sections) {
    if (SameName(section.strName, strName)) return &section;
  }
  return nullptr;
}

unsigned long CProfileText::ReadEntry(const char* szSection, const char* szKey, char* szOut,
                                      unsigned long dwOutSize) const {
  if (!szOut || dwOutSize == 0) return 0;
  szOut[0] = 0;
  const std::string strSection = ScrambleString(szSection);
  const SSection* pSection = FindSection(std::string(NameOf(strSection)));
  if (!pSection) return 0;
  const std::string strKey = ScrambleString(szKey);
  const SKey* pKey = FindKey(*pSection, NameOf(strKey));
  if (!pKey || !pKey->HasValue()) return 0;
  return ReadFoundValue(At(pKey->nValue, pKey->cchValue), szOut, dwOutSize);
}

unsigned long CProfileText::ReadFoundValue(std::string_view value, char* szOut, unsigned long dwOutSize) {
  if (!szOut || dwOutSize == 0) return 0;
  szOut[0] = 0;
  const std::size_t cbLimit = std::min<std::size_t>(dwOutSize, kValueSize);
  const std::string_view read = ReadValue(value, cbLimit);
  // Unscrambled into the caller's buffer, cut at an unscrambled 0 byte.
  std::size_t nOut = 0;
  for (; nOut < read.size() && nOut + 1 < dwOutSize; ++nOut) {
    szOut[nOut] = static_cast<char>(UnscrambleByte(static_cast<unsigned char>(read[nOut]), nOut));
    if (szOut[nOut] == 0) break;
  }
  szOut[nOut] = 0;
  return static_cast<unsigned long>(read.size());
}

namespace {

// The number n of a key named as ReadNumberedEntry names it ("%s%d" of the prefix
// and n, scrambled); 0 for any other name. Each character read back, then the
// whole name compared as the lookup compares it.
int NumberOfKey(std::string_view name, const char* szPrefix) {
  const std::size_t nPrefix = std::strlen(szPrefix);
  if (name.size() <= nPrefix || name.size() > nPrefix + 10) return 0;
  const std::string& strKey = ScramblingKey();
  uint64_t n = 0;
  for (std::size_t i = nPrefix; i < name.size(); ++i) {
    int nDigit = -1;
    for (int d = 0; d < 10 && nDigit < 0; ++d) {
      const auto cStored = static_cast<char>('0' + d + strKey[i % strKey.size()]);
      if (LowerAsciiChar(cStored) == LowerAsciiChar(name[i])) nDigit = d;
    }
    if (nDigit < 0 || (nDigit == 0 && i == nPrefix)) return 0;
    n = n * 10 + static_cast<uint64_t>(nDigit);
  }
  if (n > INT32_MAX) return 0;
  const std::string strName = ScrambleString(szPrefix + std::to_string(n));
  return SameName(NameOf(strName), name) ? static_cast<int>(n) : 0;
}

}  // namespace

CProfileEntryStream::CProfileEntryStream(unsigned nWalked, unsigned nKept, FEntry fnEntry)
    : m_fnEntry(std::move(fnEntry)) {
  for (const SDefinitionListLayout& layout : kDefinitionLists) {
    const unsigned nBit = CProfileText::ListBit(layout.list);
    if (((nWalked | nKept) & nBit) == 0) continue;
    const std::string strName(NameOf(ScrambleString(layout.szSection)));
    std::size_t nSection = 0;
    while (nSection < m_sectionNames.size() && !SameName(m_sectionNames[nSection], strName)) ++nSection;
    if (nSection == m_sectionNames.size()) m_sectionNames.push_back(strName);
    SList list;
    list.list = layout.list;
    list.nSection = nSection;
    list.bWalked = (nWalked & nBit) != 0;
    m_lists.push_back(std::move(list));
  }
  m_sectionsSeen.assign(m_sectionNames.size(), false);
}

void CProfileEntryStream::Feed(std::string_view piece) {
  if (m_strHead.size() < 3) m_strHead.append(piece.substr(0, 3 - m_strHead.size()));
  for (;;) {
    const std::size_t nEnd = piece.find_first_of("\r\n");
    if (nEnd == std::string_view::npos) break;
    if (m_strLine.empty()) {
      ReadLine(piece.substr(0, nEnd));
    } else {
      m_strLine.append(piece.substr(0, nEnd));
      ReadLine(m_strLine);
      m_strLine.clear();
    }
    piece.remove_prefix(nEnd + 1);
  }
  m_strLine.append(piece);
}

bool CProfileEntryStream::Finish() {
  if (!m_strLine.empty()) ReadLine(m_strLine);
  m_strLine = std::string();
  return !StartsWithByteOrderMark(m_strHead);
}

// One line as CProfileText::Parse reads it.
void CProfileEntryStream::ReadLine(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  if (line.empty()) return;
  const std::size_t nClose = line.rfind(']');
  if (line.front() == '[' && nClose != std::string_view::npos) {
    const std::string_view name = NameOf(line.substr(1, nClose - 1));
    m_nSection = SIZE_MAX;
    for (std::size_t i = 0; i < m_sectionNames.size(); ++i) {
      if (SameName(m_sectionNames[i], name) && !m_sectionsSeen[i]) {
        m_nSection = i;
        m_sectionsSeen[i] = true;
      }
    }
    return;
  }
  if (m_nSection == SIZE_MAX) return;
  const std::size_t nEquals = line.find('=');
  const std::string_view name = NameOf(line.substr(0, nEquals));
  for (SList& list : m_lists) {
    if (list.nSection != m_nSection || list.bEnded) continue;
    const int n = NumberOfKey(name, LayoutOf(list.list).szPrefix);
    if (n == 0) continue;
    std::optional<std::string> entry;
    if (nEquals != std::string_view::npos) {
      // Read into the list's own buffer size, as ReadNumberedEntry reads it.
      char szEntry[kValueSize] = {};
      const auto cbEntry = static_cast<unsigned long>(std::min(kValueSize, LayoutOf(list.list).cbValue));
      const std::string_view value = CutAtZero(Trimmed(line.substr(nEquals + 1)));
      if (CProfileText::ReadFoundValue(value, szEntry, cbEntry) != 0) entry = std::string(szEntry);
    }
    Found(list, n, std::move(entry));
  }
}

void CProfileEntryStream::Found(SList& list, int n, std::optional<std::string> entry) {
  if (!list.bWalked || n > list.nNext) {
    list.found.emplace(n, std::move(entry));  // a later key of the same name does not count
    return;
  }
  if (n < list.nNext) return;  // handed out already
  if (!entry) {
    list.bEnded = true;  // the walk stops here
    list.found.clear();
    return;
  }
  Hand(list, *entry);
  // Entries met before their turn follow.
  for (auto it = list.found.begin(); !list.bEnded && it != list.found.end() && it->first == list.nNext;
       it = list.found.erase(it)) {
    if (it->second) {
      Hand(list, *it->second);
    } else {
      list.bEnded = true;
    }
  }
  if (list.bEnded) list.found.clear();
}

void CProfileEntryStream::Hand(SList& list, std::string& strEntry) {
  ++list.nNext;
  m_fnEntry(list.list, strEntry.data());
}

bool CProfileEntryStream::ReadKept(EDefinitionList list, int n, char (&szEntry)[kValueSize]) const {
  szEntry[0] = 0;
  for (const SList& kept : m_lists) {
    if (kept.list != list || kept.bWalked) continue;
    const auto it = kept.found.find(n);
    if (it == kept.found.end() || !it->second) return false;
    CopyBounded(szEntry, kValueSize, it->second->c_str());
    return true;
  }
  return false;
}
