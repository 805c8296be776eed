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
  std::vector<uint32_t> own;  // lowest entry ending at the node itself

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
    m_lowest.swap(own);
    for (uint32_t v = 1; v < nNodes; ++v) m_lowest[v] = std::min(m_lowest[v], m_lowest[m_fail[v]]);
  } else {
    m_output.assign(nNodes, 0);
    for (uint32_t v = 1; v < nNodes; ++v) m_output[v] = own[v] != kNone ? v : m_output[m_fail[v]];
  }
  m_ends.shrink_to_fit();
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
  if (m_lowest.empty()) return nLowest;
  uint32_t nNode = 0;
  for (const char* p = szText; *p; ++p) {
    nNode = Step(nNode, static_cast<unsigned char>(*p));
    nLowest = std::min(nLowest, m_lowest[nNode]);
  }
  return nLowest;
}

void CEntryAutomaton::FindEvery(const char* szText, std::vector<std::pair<uint32_t, std::size_t>>& found) const {
  found.clear();
  if (m_output.empty()) return;
  // A node met before was reported with its whole suffix chain at its first occurrence.
  std::unordered_set<uint32_t> met;
  uint32_t nNode = 0;
  for (std::size_t i = 0; szText[i]; ++i) {
    nNode = Step(nNode, static_cast<unsigned char>(szText[i]));
    for (uint32_t u = m_output[nNode]; u != 0 && met.insert(u).second; u = m_output[m_fail[u]]) {
      auto it = std::lower_bound(m_ends.begin(), m_ends.end(), std::make_pair(u, uint32_t{0}));
      for (; it != m_ends.end() && it->first == u; ++it) found.push_back({it->second, i + 1});
    }
  }
}

std::size_t CEntryAutomaton::MemoryBytes() const {
  return m_childBegin.capacity() * 4 + m_label.capacity() + m_fail.capacity() * 4 + m_lowest.capacity() * 4 +
         m_output.capacity() * 4 + m_ends.capacity() * 8;
}
