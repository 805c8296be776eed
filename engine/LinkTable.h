// The listed links of IsBadUrl as 64-bit fingerprints in one open-addressing
// table: for every listed host a record that it is listed whole or that pages of
// it are, and for every listed page a record of its host and path. A lookup asks
// for each host the link could be a sub-host of, and each path it could lie below:
// a few probes whatever the number of entries, and some 20 bytes per entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class CLinkTable {
 public:
  // A lower-cased listed link; one without a host is left out.
  void Add(std::string_view listed);
  // Call once after the last Add.
  void Build();
  // The answer of IsWithinListedLink against every listed link, for a lower-cased link.
  bool Covers(std::string_view link) const;
  std::size_t MemoryBytes() const { return m_slots.capacity() * sizeof(uint64_t); }

 private:
  bool Has(uint64_t nPrint) const;

  std::vector<uint64_t> m_slots;  // 0 for a free slot
  std::vector<uint64_t> m_added;  // until Build
};
