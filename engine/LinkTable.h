// The listed links of IsBadUrl as 64-bit fingerprints in one open-addressing
// table: for every listed host a record that it is listed whole or that pages of
// it are, for every listed page a record of its host and path, and for a page
// listed with its query one of host, path and query. A lookup asks for each host
// the link could be a sub-host of, and each path it could lie below: a few probes
// whatever the number of entries, and some 20 bytes per entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/LinkParts.h"

class CLinkTable {
 public:
  // A lower-cased listed link, taken in its compared form; one without a host is
  // left out.
  void Add(std::string_view listed);
  // Call once after the last Add.
  void Build();
  // The answer of IsWithinListedLink against every listed link, for the parts of
  // a compared address.
  bool Covers(const SLinkParts& link) const;
  std::size_t MemoryBytes() const { return m_slots.capacity() * sizeof(uint64_t); }

 private:
  bool Has(uint64_t nPrint) const;

  std::vector<uint64_t> m_slots;  // 0 for a free slot
  std::vector<uint64_t> m_added;  // until Build
  SWebAddress m_scratch;          // each listed link in turn, until Build
};
