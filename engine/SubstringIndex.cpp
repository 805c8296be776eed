#include "engine/SubstringIndex.h"

#include <algorithm>
#include <cstring>

namespace {

// The symbols of a reduced string, for the recursion.
struct CReducedSymbols {
  const int32_t* p;
  int32_t operator()(int32_t i) const { return p[i]; }
};

// Suffix sorting by induced sorting (SA-IS), linear in the length. chr(i) gives the
// symbols, 0 <= chr(i) < nAlphabet, with a unique 0 at the end.
template <typename TChr>
void SortSuffixes(const TChr& chr, int32_t* pSa, int32_t n, int32_t nAlphabet) {
  std::vector<uint8_t> types(n);  // 1 for S-type
  types[n - 1] = 1;
  for (int32_t i = n - 2; i >= 0; --i) {
    types[i] = chr(i) < chr(i + 1) || (chr(i) == chr(i + 1) && types[i + 1]);
  }
  auto isLms = [&](int32_t i) { return i > 0 && types[i] && !types[i - 1]; };
  std::vector<int32_t> counts(nAlphabet, 0), buckets(nAlphabet);
  for (int32_t i = 0; i < n; ++i) ++counts[chr(i)];
  auto bucketStarts = [&] {
    int32_t nSum = 0;
    for (int32_t c = 0; c < nAlphabet; ++c) {
      buckets[c] = nSum;
      nSum += counts[c];
    }
  };
  auto bucketEnds = [&] {
    int32_t nSum = 0;
    for (int32_t c = 0; c < nAlphabet; ++c) {
      nSum += counts[c];
      buckets[c] = nSum;
    }
  };
  auto induce = [&] {
    bucketStarts();
    for (int32_t i = 0; i < n; ++i) {
      const int32_t j = pSa[i] - 1;
      if (pSa[i] > 0 && !types[j]) pSa[buckets[chr(j)]++] = j;
    }
    bucketEnds();
    for (int32_t i = n - 1; i >= 0; --i) {
      const int32_t j = pSa[i] - 1;
      if (pSa[i] > 0 && types[j]) pSa[--buckets[chr(j)]] = j;
    }
  };

  // Sort the LMS substrings.
  std::fill(pSa, pSa + n, -1);
  bucketEnds();
  for (int32_t i = 1; i < n; ++i) {
    if (isLms(i)) pSa[--buckets[chr(i)]] = i;
  }
  induce();
  int32_t n1 = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (isLms(pSa[i])) pSa[n1++] = pSa[i];
  }
  // Name them; equal substrings get equal names.
  std::fill(pSa + n1, pSa + n, -1);
  int32_t nNames = 0, nPrevious = -1;
  for (int32_t i = 0; i < n1; ++i) {
    const int32_t nPos = pSa[i];
    bool bDifferent = false;
    for (int32_t d = 0; d < n; ++d) {
      if (nPrevious == -1 || chr(nPos + d) != chr(nPrevious + d) || types[nPos + d] != types[nPrevious + d]) {
        bDifferent = true;
        break;
      }
      if (d > 0 && (isLms(nPos + d) || isLms(nPrevious + d))) break;
    }
    if (bDifferent) {
      ++nNames;
      nPrevious = nPos;
    }
    pSa[n1 + nPos / 2] = nNames - 1;
  }
  for (int32_t i = n - 1, j = n - 1; i >= n1; --i) {
    if (pSa[i] >= 0) pSa[j--] = pSa[i];
  }
  // Sort the reduced string, recursively while names repeat.
  int32_t* pReduced = pSa + n - n1;
  if (nNames < n1) {
    SortSuffixes(CReducedSymbols{pReduced}, pSa, n1, nNames);
  } else {
    for (int32_t i = 0; i < n1; ++i) pSa[pReduced[i]] = i;
  }
  // Induce the whole order from the sorted LMS suffixes.
  for (int32_t i = 1, j = 0; i < n; ++i) {
    if (isLms(i)) pReduced[j++] = i;
  }
  for (int32_t i = 0; i < n1; ++i) pSa[i] = pReduced[pSa[i]];
  std::fill(pSa + n1, pSa + n, -1);
  bucketEnds();
  for (int32_t i = n1 - 1; i >= 0; --i) {
    const int32_t j = pSa[i];
    pSa[i] = -1;
    pSa[--buckets[chr(j)]] = j;
  }
  induce();
}

}  // namespace

void CSubstringIndex::Add(const char* szText) {
  m_text.append(szText);
  m_text.push_back('\0');
}

void CSubstringIndex::Build() {
  m_text.shrink_to_fit();
  // Symbols: the byte plus 1, and a 0 behind the last text that ends every suffix.
  const auto n = static_cast<int32_t>(m_text.size() + 1);
  const auto* pText = reinterpret_cast<const unsigned char*>(m_text.data());
  m_suffixes.assign(n, 0);
  SortSuffixes([pText, n](int32_t i) { return i == n - 1 ? 0 : pText[i] + 1; }, m_suffixes.data(), n, 257);
  m_suffixes.erase(m_suffixes.begin());  // the end alone
}

bool CSubstringIndex::AnyContains(const char* szText) const {
  const std::size_t nLength = std::strlen(szText);
  if (nLength == 0 || nLength > m_text.size()) return false;
  // The first suffix not below the text; it starts with the text if any does.
  const auto it = std::lower_bound(m_suffixes.begin(), m_suffixes.end(), szText, [&](int32_t nPos, const char* sz) {
    const std::size_t nAvailable = std::min(nLength, m_text.size() - nPos);
    const int nOrder = std::memcmp(m_text.data() + nPos, sz, nAvailable);
    return nOrder < 0 || (nOrder == 0 && nAvailable < nLength);
  });
  return it != m_suffixes.end() && m_text.size() - *it >= nLength &&
         std::memcmp(m_text.data() + *it, szText, nLength) == 0;
}
