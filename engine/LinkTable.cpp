#include "engine/LinkTable.h"

#include <algorithm>

#include "engine/LinkParts.h"

namespace {

// What a fingerprint records about its host, or host and path.
enum ERecord : uint64_t { kWholeHost = 1, kSomePages = 2, kPage = 3, kPageWithQuery = 4 };

// FNV-1a, fed byte by byte so that a host and each longer path share the work.
struct SPrint {
  uint64_t nState = 14695981039346656037ull;
  void Add(std::string_view text) {
    for (unsigned char c : text) Add(c);
  }
  void Add(unsigned char c) { nState = (nState ^ c) * 1099511628211ull; }
  // Mixed with the record kind so that every bit depends on every byte; never 0.
  uint64_t Of(ERecord record) const {
    uint64_t n = nState ^ (record * 0x9E3779B97F4A7C15ull);
    n ^= n >> 33;
    n *= 0xFF51AFD7ED558CCDull;
    n ^= n >> 33;
    n *= 0xC4CEB9FE1A85EC53ull;
    n ^= n >> 33;
    return n ? n : 1;
  }
};

std::size_t SlotOf(uint64_t nPrint, std::size_t nSlots) {
  return static_cast<std::size_t>((static_cast<unsigned __int128>(nPrint) * nSlots) >> 64);
}

// Host, path and query of a page listed with its query, or asked for with one.
uint64_t PrintOfPageWithQuery(const SLinkParts& parts) {
  SPrint print;
  print.Add(parts.host);
  print.Add(parts.path);
  print.Add('?');
  print.Add(parts.query);
  return print.Of(kPageWithQuery);
}

}  // namespace

void CLinkTable::Add(std::string_view listed) {
  ReadWebAddressOfLink(listed, m_scratch);
  MakeCompared(m_scratch);
  const SLinkParts parts = PartsOf(m_scratch);
  if (parts.host.empty()) return;
  if (!parts.query.empty()) {
    m_added.push_back(PrintOfPageWithQuery(parts));
    return;
  }
  SPrint print;
  print.Add(parts.host);
  if (parts.path.empty()) {
    m_added.push_back(print.Of(kWholeHost));
    return;
  }
  m_added.push_back(print.Of(kSomePages));
  print.Add(parts.path);
  m_added.push_back(print.Of(kPage));
}

void CLinkTable::Build() {
  std::sort(m_added.begin(), m_added.end());
  m_added.erase(std::unique(m_added.begin(), m_added.end()), m_added.end());
  // Filled to at most 70 %, so that a probe that finds nothing ends soon.
  m_slots.assign(m_added.size() * 10 / 7 + 8, 0);
  for (uint64_t nPrint : m_added) {
    std::size_t nSlot = SlotOf(nPrint, m_slots.size());
    while (m_slots[nSlot] != 0) nSlot = nSlot + 1 == m_slots.size() ? 0 : nSlot + 1;
    m_slots[nSlot] = nPrint;
  }
  std::vector<uint64_t>().swap(m_added);
  m_scratch = SWebAddress();
}

bool CLinkTable::Has(uint64_t nPrint) const {
  for (std::size_t nSlot = SlotOf(nPrint, m_slots.size()); m_slots[nSlot] != 0;
       nSlot = nSlot + 1 == m_slots.size() ? 0 : nSlot + 1) {
    if (m_slots[nSlot] == nPrint) return true;
  }
  return false;
}

bool CLinkTable::Covers(const SLinkParts& link) const {
  if (m_slots.empty() || link.host.empty()) return false;
  if (!link.query.empty() && Has(PrintOfPageWithQuery(link))) return true;
  // The host itself, then each parent of it at a label boundary.
  for (std::size_t nLabel = 0; nLabel < link.host.size();) {
    SPrint print;
    print.Add(link.host.substr(nLabel));
    if (Has(print.Of(kWholeHost))) return true;
    // A link without a path meets hosts listed whole only.
    if (!link.path.empty() && Has(print.Of(kSomePages))) {
      // The path itself and each one above it at a "/".
      for (std::size_t i = 0; i < link.path.size(); ++i) {
        print.Add(static_cast<unsigned char>(link.path[i]));
        if ((i + 1 == link.path.size() || link.path[i + 1] == '/') && Has(print.Of(kPage))) return true;
      }
    }
    const std::size_t nDot = link.host.find('.', nLabel);
    if (nDot == std::string_view::npos) break;
    nLabel = nDot + 1;
  }
  return false;
}
