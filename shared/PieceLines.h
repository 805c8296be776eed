// The lines of a text that arrives in pieces: each line is handed on, without its
// end, once the end has arrived. A piece may end anywhere, inside a line end too;
// only the line not yet ended is kept.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "shared/Result.h"

// Where a file or text read in pieces goes next: each piece once, in order; a
// failure stops the whole.
using PieceSink = std::function<CResult(std::string_view)>;

class CPieceLines {
 public:
  explicit CPieceLines(std::string_view lineEnd) : m_lineEnd(lineEnd) {}

  // Calls onLine(std::string_view) -> CResult for each line the piece ends; stops at
  // the first failure.
  template <class OnLine>
  CResult Add(std::string_view piece, OnLine&& onLine) {
    std::string_view text = piece;
    if (!m_strRest.empty()) {
      std::size_t nTaken = std::string_view::npos;  // bytes of the piece that end the kept line
      for (std::size_t k = 1; k < m_lineEnd.size() && nTaken == std::string_view::npos; ++k) {
        // A line end split between the two: the rest ends with its first k bytes.
        if (m_strRest.size() >= k &&
            std::string_view(m_strRest).substr(m_strRest.size() - k) == m_lineEnd.substr(0, k) &&
            piece.substr(0, m_lineEnd.size() - k) == m_lineEnd.substr(k)) {
          m_strRest.resize(m_strRest.size() - k);
          nTaken = m_lineEnd.size() - k;
        }
      }
      if (nTaken == std::string_view::npos) {
        const std::size_t nEnd = piece.find(m_lineEnd);
        if (nEnd == std::string_view::npos) {
          m_strRest.append(piece);
          return CResult();
        }
        m_strRest.append(piece.substr(0, nEnd));
        nTaken = nEnd + m_lineEnd.size();
      }
      CResult result = onLine(std::string_view(m_strRest));
      m_strRest.clear();
      text.remove_prefix(nTaken);
      if (!result.IsOk()) return result;
    }
    for (;;) {
      const std::size_t nEnd = text.find(m_lineEnd);
      if (nEnd == std::string_view::npos) break;
      CResult result = onLine(text.substr(0, nEnd));
      if (!result.IsOk()) return result;
      text.remove_prefix(nEnd + m_lineEnd.size());
    }
    m_strRest.assign(text);
    return CResult();
  }

  // The text after the last line end.
  const std::string& Rest() const { return m_strRest; }

 private:
  std::string_view m_lineEnd;
  std::string m_strRest;
};
