// Which texts of a set contain a given text: a suffix array over the texts joined
// by byte 0 (which no text and no query holds), so that a query costs a binary
// search whatever the number of texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CSubstringIndex {
 public:
  // Texts must not hold a byte 0.
  void Add(const char* szText);
  // Sorts the suffixes; call once after the last Add.
  void Build();
  // True when an added text contains szText (a non-empty text without byte 0).
  bool AnyContains(const char* szText) const;
  std::size_t MemoryBytes() const { return m_text.capacity() + m_suffixes.capacity() * sizeof(int32_t); }

 private:
  std::string m_text;
  std::vector<int32_t> m_suffixes;
};
