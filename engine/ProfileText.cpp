#include "engine/ProfileText.h"

#include <algorithm>
#include <unordered_set>

#include "engine/DefinitionsLayout.h"
#include "engine/Scrambling.h"
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

// A name as the reader compares it: trimmed, cut at a byte 0, A to Z in lower case.
std::string NameKey(std::string_view name) {
  std::string str(CutAtZero(Trimmed(name)));
  for (char& c : str) c = LowerAsciiChar(c);
  return str;
}

bool StartsWithByteOrderMark(std::string_view data) {
  return data.substr(0, 3) == "\xEF\xBB\xBF" || data.substr(0, 2) == "\xFF\xFE" || data.substr(0, 2) == "\xFE\xFF";
}

}  // namespace

bool CProfileText::Parse(std::string_view data) {
  m_sections.clear();
  if (StartsWithByteOrderMark(data)) return false;
  for (const SDefinitionListLayout& layout : kDefinitionLists) {
    const std::string strName = NameKey(ScrambleString(layout.szSection));
    if (!FindSection(strName)) m_sections.push_back({strName, {}});
  }
  std::unordered_set<std::string> seen;  // every section name met so far: the first one wins
  CKeys* pKeys = nullptr;
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
      const std::string strName = NameKey(line.substr(1, nClose - 1));
      pKeys = nullptr;
      if (!seen.insert(strName).second) continue;
      for (auto& section : m_sections) {
        if (section.first == strName) pKeys = &section.second;
      }
      continue;
    }
    if (!pKeys) continue;
    const std::size_t nEquals = line.find('=');
    SKey key{std::string_view(), nEquals != std::string_view::npos};
    if (key.bHasValue) key.value = CutAtZero(Trimmed(line.substr(nEquals + 1)));
    pKeys->emplace(NameKey(line.substr(0, nEquals)), key);  // a key met before keeps its value
  }
  return true;
}

std::string CProfileText::ReadValue(std::string_view value, std::size_t cbBuffer) {
  if (cbBuffer == 0) return std::string();
  bool bQuoted = false;
  if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    bQuoted = true;
    value.remove_prefix(1);
  }
  std::string strOut(value.substr(0, cbBuffer - 1));
  // The closing quote goes, or, when the buffer ends before it, the last character.
  if (bQuoted && cbBuffer >= value.size() && !strOut.empty()) strOut.pop_back();
  return strOut;
}

const CProfileText::CKeys* CProfileText::FindSection(const std::string& strName) const {
  for (const auto& section : m_sections) {
    if (section.first == strName) return &section.second;
  }
  return nullptr;
}

unsigned long CProfileText::ReadEntry(const char* szSection, const char* szKey, char* szOut,
                                      unsigned long dwOutSize) const {
  if (!szOut || dwOutSize == 0) return 0;
  szOut[0] = 0;
  const CKeys* pKeys = FindSection(NameKey(ScrambleString(szSection)));
  if (!pKeys) return 0;
  const auto it = pKeys->find(NameKey(ScrambleString(szKey)));
  if (it == pKeys->end() || !it->second.bHasValue) return 0;
  const std::size_t cbLimit = std::min<std::size_t>(dwOutSize, kValueSize);
  const std::string strRead = ReadValue(it->second.value, cbLimit);
  CopyBounded(szOut, dwOutSize, UnscrambleString(strRead).c_str());  // cut at an unscrambled 0 byte
  return static_cast<unsigned long>(strRead.size());
}
