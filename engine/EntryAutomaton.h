// Which entries of a list a text contains, in one pass over the text whatever the
// number of entries: an Aho-Corasick automaton over the entries. Its trie is laid
// out breadth first, so the children of a node are neighbours sorted by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

class CEntryAutomaton {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;
  enum class EUse { Lowest, Every };

  // Entries as (number, text); empty texts are left out. EUse::Lowest answers
  // FindLowest, EUse::Every answers FindEvery.
  void Build(std::vector<std::pair<uint32_t, std::string_view>> entries, EUse use);

  // The lowest number of an entry that szText contains, or kNone.
  uint32_t FindLowest(const char* szText) const;
  // Every entry that szText contains, as (number, offset just behind its first
  // occurrence), in no particular order.
  void FindEvery(const char* szText, std::vector<std::pair<uint32_t, std::size_t>>& found) const;

  std::size_t MemoryBytes() const;

 private:
  uint32_t Child(uint32_t nNode, unsigned char c) const;
  uint32_t Step(uint32_t nNode, unsigned char c) const;

  // A value for the few nodes that have one: a bit per node, and the values of the
  // marked nodes sorted by node.
  class CSparseValues {
   public:
    void Set(uint32_t nNodes, const std::vector<uint32_t>& values, uint32_t nAbsent);
    bool Has(uint32_t nNode) const { return m_marked[nNode]; }
    uint32_t Get(uint32_t nNode) const;
    bool Empty() const { return m_marked.empty(); }
    std::size_t MemoryBytes() const { return m_marked.capacity() / 8 + m_values.capacity() * 8; }

   private:
    std::vector<bool> m_marked;
    std::vector<std::pair<uint32_t, uint32_t>> m_values;
  };

  std::vector<uint32_t> m_childBegin;                 // children of node v: m_childBegin[v] up to m_childBegin[v + 1]
  std::vector<unsigned char> m_label;                 // the byte on the edge into the node
  std::vector<uint32_t> m_fail;                       // the longest proper suffix that is a node
  CSparseValues m_lowest;                             // EUse::Lowest: lowest entry ending here or at a suffix
  CSparseValues m_output;                             // EUse::Every: nearest node on the suffix chain where entries end
  std::vector<std::pair<uint32_t, uint32_t>> m_ends;  // EUse::Every: (node, number), sorted
};
