// The lists of the working definitions file held in memory, with the answers of
// the walks (CDefinitionMatchers) at a cost that does not grow with the lists:
// a hash set for "HostIP", a suffix array over "HostLink" and "Link" for IsBadUrl,
// and automata for the texts that contain an entry. Immutable once built, so any
// number of threads may ask at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/DefinitionReader.h"
#include "engine/EntryAutomaton.h"
#include "engine/SubstringIndex.h"

class CDefinitionsIndex {
 public:
  // Reads every list through the reader exactly as the walks read it.
  explicit CDefinitionsIndex(const IDefinitionReader& reader);
  // From the bytes of a working definitions file, read as the system's profile
  // reader reads them. Null when that reader would take them for another encoding.
  static std::unique_ptr<const CDefinitionsIndex> FromFileBytes(std::string_view data);

  // The answers and outputs of CDefinitionMatchers.
  bool IsBadIP(const char* szAddress) const;
  bool IsBadUrl(char* szLink) const;
  bool IsBadMailFrom(const char* szFrom) const;
  bool IsBadMailSubject(const char* szSubject) const;
  bool IsBadMailLinks(const char* szText, char* szMatchedLink) const;
  bool IsBadVisibleMailLinks(const char* szText, char* szVisibleLink, char* szCalledLink) const;
  bool IsBadMailText(const char* szText, char* szMatchedText) const;

  std::size_t MemoryBytes() const;

 private:
  CDefinitionsIndex() = default;
  // Reads the lists, then builds the tables over them (the reader may go between).
  void Read(const IDefinitionReader& reader);
  void Build();

  // Texts by entry number (from 1), held end to end.
  class CTexts {
   public:
    void Add(const char* szText);
    const char* At(uint32_t n) const { return m_chars.data() + m_offsets[n - 1]; }
    uint32_t Count() const { return static_cast<uint32_t>(m_offsets.size()); }
    // (number, text) of every entry, for an automaton.
    std::vector<std::pair<uint32_t, std::string_view>> Numbered(bool bSkipRetired) const;
    void Shrink() {
      m_chars.shrink_to_fit();
      m_offsets.shrink_to_fit();
    }
    std::size_t MemoryBytes() const { return m_chars.capacity() + m_offsets.capacity() * 4; }

   private:
    std::string m_chars;
    std::vector<uint32_t> m_offsets;
  };

  CTexts m_addresses;                    // "HostIP" entries, A to Z in lower case
  std::vector<uint32_t> m_addressSlots;  // open addressing over m_addresses: entry number, 0 for free
  CSubstringIndex m_links;               // "HostLink" and "Link" entries
  CTexts m_called, m_shown, m_from, m_subject, m_text;
  CEntryAutomaton m_calledAutomaton, m_fromAutomaton, m_subjectAutomaton, m_textAutomaton;
};
