// The working definitions file as the system's private-profile reader sees it,
// read from its bytes in memory. Checked against the reader under Wine:
// - lines end at "\r" or "\n"; blanks are 0x09, 0x0B, 0x0C, 0x1A and 0x20;
// - a line whose first non-blank byte is "[" and that holds a "]" names a section:
//   the text up to the last "]", blanks trimmed; any other line is a key, up to the
//   first "=" (none: a key without a value), blanks trimmed, and the value behind it;
// - ";" and "#" start keys like any other byte; names compare with A to Z in either
//   case; the first section of a name and the first key of a name in it win;
// - names and values end at a byte 0, after the blanks were trimmed;
// - a value wrapped in the same quote (" or ') loses both quotes when read;
// - a file that starts with a byte-order mark is read in another encoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/DefinitionReader.h"
#include "definitions/DefinitionsLayout.h"

class CProfileText : public IDefinitionReader {
 public:
  // Keeps the sections of the lists in nLists only (ListBit; 0 for every list of
  // the definitions layout). The bytes must outlive the object. False when they
  // start with a byte-order mark: the reader would take them for another encoding.
  bool Parse(std::string_view data, unsigned nLists = 0);
  static constexpr unsigned ListBit(EDefinitionList list) { return 1u << static_cast<unsigned>(list); }

  // Bytes the reader takes for another encoding: they start with a byte-order mark.
  static bool IsOtherEncoding(std::string_view data);

  // The characters the reader hands back for a value read into cbBuffer bytes.
  static std::string_view ReadValue(std::string_view value, std::size_t cbBuffer);

  // As the scrambled lookup does it: plain names are scrambled, the value read into
  // at most 261 bytes is unscrambled and cut at a byte 0. The count is the reader's.
  unsigned long ReadEntry(const char* szSection, const char* szKey, char* szOut,
                          unsigned long dwOutSize) const override;
  // The same for a value found (stored, trimmed and cut at a byte 0).
  static unsigned long ReadFoundValue(std::string_view value, char* szOut, unsigned long dwOutSize);

 private:
  // Offsets into the bytes, so that a file of many keys costs little more than itself.
  struct SKey {
    uint32_t nName, cchName;  // trimmed and cut, letters as stored
    uint32_t nValue, cchValue;
    bool HasValue() const { return nValue != UINT32_MAX; }
  };
  // The keys of one section in file order, and an open-addressing table over their
  // names (A to Z in either case) that holds the first key of each name.
  struct SSection {
    std::string strName;  // scrambled, as compared
    std::vector<SKey> keys;
    std::vector<uint32_t> slots;  // index into keys + 1; 0 for a free slot
  };
  const SSection* FindSection(const std::string& strName) const;
  std::string_view At(uint32_t nOffset, uint32_t cch) const { return m_data.substr(nOffset, cch); }
  void MakeTable(SSection& section) const;
  const SKey* FindKey(const SSection& section, std::string_view name) const;

  std::string_view m_data;
  std::vector<SSection> m_sections;
};

// The entries of some lists as ReadNumberedEntry reads them from CProfileText over
// the same bytes, read from the bytes fed in pieces of any size: only the line being
// read is held, and the entries met before their turn.
class CProfileEntryStream {
 public:
  // A walked list's entries in number order up to the first that reads nothing,
  // as the walk meets them (an entry may read as empty text).
  using FEntry = std::function<void(EDefinitionList list, char* szEntry)>;
  // nWalked and nKept in CProfileText::ListBit; the kept lists are read by number
  // after Finish.
  CProfileEntryStream(unsigned nWalked, unsigned nKept, FEntry fnEntry);

  void Feed(std::string_view piece);
  // After the last piece. False when the bytes are in another encoding: the entries
  // handed out then do not count.
  bool Finish();

  // Entry n of a kept list, as ReadNumberedEntry gives it.
  bool ReadKept(EDefinitionList list, int n, char (&szEntry)[kValueSize]) const;

 private:
  struct SList {
    EDefinitionList list = EDefinitionList::HostIP;
    std::size_t nSection = 0;
    bool bWalked = false;
    int nNext = 1;  // walked: the entry whose turn it is
    bool bEnded = false;
    std::map<int, std::optional<std::string>> found;  // first of each number; none reads nothing
  };
  void ReadLine(std::string_view line);
  void Found(SList& list, int n, std::optional<std::string> entry);
  void Hand(SList& list, std::string& strEntry);

  FEntry m_fnEntry;
  std::vector<std::string> m_sectionNames;  // scrambled, as compared
  std::vector<bool> m_sectionsSeen;         // the first section of a name wins
  std::vector<SList> m_lists;
  std::size_t m_nSection = SIZE_MAX;  // the section the lines are in, if one of ours
  std::string m_strHead;              // the first bytes, for a byte-order mark
  std::string m_strLine;              // a line cut by the end of a piece
};
