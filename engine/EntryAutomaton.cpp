#include "engine/EntryAutomaton.h"

#include <algorithm>
#include <unordered_set>

void CEntryAutomaton::Build(std::vector<std::pair<uint32_t, std::string_view>> entries, EUse use) {
  entries.erase(std::remove_if(entries.begin(), entries.end(), [](const auto& entry) { return entry.second.empty(); }),
                entries.end());
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return a.second < b.second || (a.second == b.second && a.first < b.first);
  });
  *this = CEntryAutomaton();
  // A node for the root and for every distinct prefix: each sorted entry adds the
  // bytes behind what it shares with the one before. Room for all at once.
  std::size_t nNodesAll = 1;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string_view entry = entries[i].second;
    std::size_t nShared = 0;
    if (i > 0) {
      const std::string_view previous = entries[i - 1].second;
      while (nShared < entry.size() && nShared < previous.size() && entry[nShared] == previous[nShared]) ++nShared;
    }
    nNodesAll += entry.size() - nShared;
  }
  m_label.reserve(nNodesAll);
  m_childBegin.reserve(nNodesAll + 1);
  std::vector<uint32_t> own;  // lowest entry ending at the node itself
  own.reserve(nNodesAll);

  // Breadth first: a node stands for the entries [lo, hi) that share its path; those
  // as long as the path end there and come first, the rest split by their next byte.
  struct SRange {
    uint32_t lo, hi;
  };
  std::vector<SRange> level{{0, static_cast<uint32_t>(entries.size())}}, next;
  m_label.push_back(0);
  own.push_back(kNone);
  uint32_t nNode = 0;
  for (std::size_t nDepth = 0; !level.empty(); ++nDepth) {
    next.clear();
    for (const SRange& range : level) {
      m_childBegin.push_back(static_cast<uint32_t>(m_label.size()));
      uint32_t i = range.lo;
      for (; i < range.hi && entries[i].second.size() == nDepth; ++i) {
        own[nNode] = std::min(own[nNode], entries[i].first);
        if (use == EUse::Every) m_ends.push_back({nNode, entries[i].first});
      }
      while (i < range.hi) {
        const char c = entries[i].second[nDepth];
        uint32_t j = i;
        while (j < range.hi && entries[j].second[nDepth] == c) ++j;
        m_label.push_back(static_cast<unsigned char>(c));
        own.push_back(kNone);
        next.push_back({i, j});
        i = j;
      }
      ++nNode;
    }
    level.swap(next);
  }
  m_childBegin.push_back(static_cast<uint32_t>(m_label.size()));

  // Suffix links in breadth-first order: a node's link is shallower, so known.
  const auto nNodes = static_cast<uint32_t>(m_label.size());
  m_fail.assign(nNodes, 0);
  for (uint32_t v = 0; v < nNodes; ++v) {
    for (uint32_t u = m_childBegin[v]; u < m_childBegin[v + 1]; ++u) {
      if (v == 0) continue;
      uint32_t f = m_fail[v];
      for (;;) {
        const uint32_t nChild = Child(f, m_label[u]);
        if (nChild != 0) {
          m_fail[u] = nChild;
          break;
        }
        if (f == 0) break;
        f = m_fail[f];
      }
    }
  }
  if (use == EUse::Lowest) {
    for (uint32_t v = 1; v < nNodes; ++v) own[v] = std::min(own[v], own[m_fail[v]]);
    m_lowest.Set(nNodes, own, kNone);
  } else {
    // In place: the nearest node on the suffix chain where entries end.
    for (uint32_t v = 1; v < nNodes; ++v) own[v] = own[v] != kNone ? v : own[m_fail[v]];
    m_output.Set(nNodes, own, kNone);
  }
  m_ends.shrink_to_fit();
}

void CEntryAutomaton::CSparseValues::Set(uint32_t nNodes, const std::vector<uint32_t>& values, uint32_t nAbsent) {
  m_marked.assign(nNodes, false);
  m_values.clear();
  for (uint32_t v = 0; v < nNodes; ++v) {
    if (values[v] == nAbsent) continue;
    m_marked[v] = true;
    m_values.push_back({v, values[v]});
  }
  m_values.shrink_to_fit();
}

uint32_t CEntryAutomaton::CSparseValues::Get(uint32_t nNode) const {
  return std::lower_bound(m_values.begin(), m_values.end(), std::make_pair(nNode, uint32_t{0}))->second;
}

uint32_t CEntryAutomaton::Child(uint32_t nNode, unsigned char c) const {
  const auto itBegin = m_label.begin() + m_childBegin[nNode];
  const auto itEnd = m_label.begin() + m_childBegin[nNode + 1];
  const auto it = std::lower_bound(itBegin, itEnd, c);
  return it != itEnd && *it == c ? static_cast<uint32_t>(it - m_label.begin()) : 0;
}

uint32_t CEntryAutomaton::Step(uint32_t nNode, unsigned char c) const {
  for (;;) {
    const uint32_t nChild = Child(nNode, c);
    if (nChild != 0 || nNode == 0) return nChild;
    nNode = m_fail[nNode];
  }
}

uint32_t CEntryAutomaton::FindLowest(const char* szText) const {
  uint32_t nLowest = kNone;
  if (m_lowest.Empty()) return nLowest;
  uint32_t nNode = 0;
  for (const char* p = szText; *p; ++p) {
    nNode = Step(nNode, static_cast<unsigned char>(*p));
    if (m_lowest.Has(nNode)) nLowest = std::min(nLowest, m_lowest.Get(nNode));
  }
  return nLowest;
}

void CEntryAutomaton::FindEvery(const char* szText, std::vector<std::pair<uint32_t, std::size_t>>& found) const {
  found.clear();
  if (m_output.Empty()) return;
  // A node met before was reported with its whole suffix chain at its first occurrence.
  std::unordered_set<uint32_t> met;
  uint32_t nNode = 0;
  for (std::size_t i = 0; szText[i]; ++i) {
    nNode = Step(nNode, static_cast<unsigned char>(szText[i]));
    for (uint32_t v = nNode; m_output.Has(v);) {
      const uint32_t u = m_output.Get(v);
      if (!met.insert(u).second) break;
      auto it = std::lower_bound(m_ends.begin(), m_ends.end(), std::make_pair(u, uint32_t{0}));
      for (; it != m_ends.end() && it->first == u; ++it) found.push_back({it->second, i + 1});
      v = m_fail[u];
    }
  }
}

std::size_t CEntryAutomaton::MemoryBytes() const {
  return m_childBegin.capacity() * 4 + m_label.capacity() + m_fail.capacity() * 4 + m_lowest.MemoryBytes() +
         m_output.MemoryBytes() + m_ends.capacity() * 8;
}
