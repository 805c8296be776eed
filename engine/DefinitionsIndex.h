// The lists of the working definitions file held in memory, with the answers of
// the walks (CDefinitionMatchers) at a cost that does not grow with the lists:
// a hash set for "HostIP", fingerprints of hosts and pages over "HostLink" and
// "Link" for IsBadUrl, and automata for the texts that contain an entry. Each table
// is built when a matcher first needs it, from the file read again then in pieces,
// so that a process pays only for the lists it asks and never holds the file.
// Any number of threads may ask at once.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/DefinitionReader.h"
#include "engine/EntryAutomaton.h"
#include "engine/LinkTable.h"
#include "engine/WebAddress.h"

class CDefinitionsIndex {
 public:
  // The tables: IsBadIP's, IsBadUrl's, the one of IsBadMailLinks and
  // IsBadVisibleMailLinks, and one for each other mail matcher.
  enum class ETable { Addresses, Links, MailLinks, From, Subject, Text };
  static constexpr int kTables = 6;

  // fnRead hands the file's bytes to fnPiece, in pieces, whenever a table is built;
  // false when they cannot be read just now. Only a table's entries are kept.
  using FPiece = std::function<void(std::string_view piece)>;
  using FReadFile = std::function<bool(const FPiece& fnPiece)>;
  explicit CDefinitionsIndex(FReadFile fnRead) : m_fnRead(std::move(fnRead)) {}
  // Over bytes held in memory (a copy is kept). Null when the system's profile
  // reader would take them for another encoding.
  static std::unique_ptr<const CDefinitionsIndex> FromFileBytes(std::string_view data);

  // Builds the table unless it is there. False when the file cannot be read now or
  // is in another encoding: the caller then walks, and the next call tries again.
  bool Prepare(ETable table) const;
  bool IsBuilt(ETable table) const { return m_bBuilt[static_cast<int>(table)].load(std::memory_order_acquire); }

  // The answers and outputs of CDefinitionMatchers; false when Prepare fails.
  bool IsBadIP(const char* szAddress) const;
  bool IsBadUrl(char* szLink) const;
  bool IsBadWebAddress(SWebAddress address) const;
  bool IsBadMailFrom(const char* szFrom) const;
  bool IsBadMailSubject(const char* szSubject) const;
  bool IsBadMailLinks(const char* szText, char* szMatchedLink) const;
  bool IsBadVisibleMailLinks(const char* szText, char* szVisibleLink, char* szCalledLink) const;
  bool IsBadMailText(const char* szText, char* szMatchedText) const;

  // The tables built so far.
  std::size_t MemoryBytes() const;

 private:
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
  struct SAddresses {
    CTexts texts;                 // A to Z in lower case
    std::vector<uint32_t> slots;  // open addressing over texts: entry number, 0 for free
  };
  struct SMailLinks {
    CTexts called, shown;
    CEntryAutomaton automaton;
  };
  struct SMailTexts {
    CTexts texts;
    CEntryAutomaton automaton;
  };

  // Reads the file and sets the table; false when it cannot be read or is in
  // another encoding.
  bool Build(ETable table) const;

  FReadFile m_fnRead;
  mutable std::mutex m_build;  // one table built at a time
  mutable std::atomic<bool> m_bBuilt[kTables] = {};
  // Set once, under m_build, before their flag.
  mutable std::unique_ptr<SAddresses> m_pAddresses;
  mutable std::unique_ptr<CLinkTable> m_pLinks;
  mutable std::unique_ptr<SMailLinks> m_pMailLinks;
  mutable std::unique_ptr<SMailTexts> m_pMailTexts[3];  // From, Subject, Text
};
