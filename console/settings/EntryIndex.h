// Finds entries of an ordered array by a key of their identifying fields without
// walking the array. The array stays the order of record: the index only narrows
// the search to the entries whose key is equal, which the caller then compares in
// full, lowest index first, so a lookup finds what a walk from index 0 finds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "console/settings/KindsAndRatings.h"

// Builds the key of an entry from its identifying fields, each field kept apart
// from the next so that "ab"+"c" and "a"+"bc" differ.
class CEntryKey {
 public:
  // A text compared ignoring case: its case key (TextCaseKey).
  CEntryKey& AddText(const std::string& strText);
  CEntryKey& AddNumber(std::int32_t nValue);
  // A kind as IsSameKind compares it.
  CEntryKey& AddKind(const SEntryKind& kind);
  std::size_t Hash() const;

 private:
  void AddField(const char* pBytes, std::size_t cb);

  std::string m_strKey;
};

class CEntryIndex {
 public:
  // nIndex above every index already held (entries are appended).
  void Add(std::size_t nHash, int nIndex);
  // The entry at nIndex went; every later entry moves down by one.
  void Remove(int nIndex);
  void Clear() { std::unordered_map<std::size_t, std::vector<int>>().swap(m_buckets); }

  // The lowest index with this hash for which isMatch(index) holds, or -1.
  template <class Match>
  int FindFirst(std::size_t nHash, Match isMatch) const {
    const auto it = m_buckets.find(nHash);
    if (it == m_buckets.end()) return -1;
    for (const int nIndex : it->second) {
      if (isMatch(nIndex)) return nIndex;
    }
    return -1;
  }

 private:
  std::unordered_map<std::size_t, std::vector<int>> m_buckets;  // indexes ascending
};
