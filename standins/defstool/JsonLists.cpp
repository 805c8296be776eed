// The feeds' JSON, read with nlohmann-json's event reader: the whole text is
// checked, only the wanted elements are kept, each with its line.
#include "standins/defstool/JsonLists.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstddef>
#include <exception>
#include <iterator>
#include <utility>

#include "shared/JsonFaultText.h"

namespace {

constexpr std::size_t kMaxDepth = 64;

// Walks the text for the reader and keeps, where the handler sees it, how far the
// reader has read: an element's line is counted from there.
class CTextCursor {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  CTextCursor(const char* p, const char** ppRead) : m_p(p), m_ppRead(ppRead) {}
  reference operator*() const { return *m_p; }
  CTextCursor& operator++() {
    *m_ppRead = ++m_p;
    return *this;
  }
  bool operator==(const CTextCursor& other) const { return m_p == other.m_p; }
  bool operator!=(const CTextCursor& other) const { return m_p != other.m_p; }

 private:
  const char* m_p;
  const char** m_ppRead;
};

// The reader's events: the top level must be an object; the elements of its arrays
// of the wanted names are kept, strings as texts, anything else as not a text.
class CListCollector {
 public:
  using json = nlohmann::json;

  CListCollector(const std::string& strText, const std::vector<std::string>& names, std::vector<SJsonListItem>& items)
      : m_strText(strText), m_pCounted(strText.data()), m_pRead(strText.data()), m_names(names), m_items(items) {}

  CTextCursor Begin() { return CTextCursor(m_strText.data(), &m_pRead); }
  CTextCursor End() { return CTextCursor(m_strText.data() + m_strText.size(), &m_pRead); }
  const std::string& Error() const { return m_strError; }

  bool null() { return Element(false, m_pRead); }
  bool boolean(bool) { return Element(false, m_pRead); }
  // A number is known only at the character after it, which the reader has read.
  bool number_integer(json::number_integer_t) { return Element(false, m_pRead - 1); }
  bool number_unsigned(json::number_unsigned_t) { return Element(false, m_pRead - 1); }
  bool number_float(json::number_float_t, const json::string_t&) { return Element(false, m_pRead - 1); }
  bool binary(json::binary_t&) { return Element(false, m_pRead); }
  bool string(json::string_t& strValue) {
    if (!Element(true, m_pRead)) return false;
    if (m_nOpen == m_nCollecting) m_items.back().strText = std::move(strValue);
    return true;
  }
  bool key(json::string_t& strName) {
    m_bWantedNext = m_nOpen == 1 && std::find(m_names.begin(), m_names.end(), strName) != m_names.end();
    return true;
  }
  bool start_object(std::size_t) { return Open(false); }
  bool start_array(std::size_t) { return Open(true); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }
  bool parse_error(std::size_t nPosition, const std::string&, const nlohmann::detail::exception& error) {
    // The position counts the character that did not fit, one past the end at the end.
    const std::size_t nAt = std::min(nPosition > 0 ? nPosition - 1 : 0, m_strText.size());
    const std::size_t nLine =
        1 + static_cast<std::size_t>(std::count(m_strText.begin(), m_strText.begin() + nAt, '\n'));
    m_strError = "line " + std::to_string(nLine) + ": " + JsonFaultText(error);
    return false;
  }

 private:
  // A value that begins at pAt (read up to there), an element when its array is collected.
  bool Element(bool bString, const char* pAt) {
    if (m_nOpen == 0) return Fail(pAt, "the text is not a JSON object");
    if (m_nOpen > kMaxDepth) return Fail(pAt, "nested too deeply");
    if (m_nOpen == m_nCollecting) m_items.push_back({std::string(), LineAt(pAt), bString});
    return true;
  }
  bool Open(bool bArray) {
    if (m_nOpen == 0 && bArray) return Fail(m_pRead, "the text is not a JSON object");
    if (m_nOpen > 0 && !Element(false, m_pRead)) return false;
    const bool bCollect = bArray && m_nOpen == 1 && m_bWantedNext;
    ++m_nOpen;
    if (bCollect) m_nCollecting = m_nOpen;
    return true;
  }
  bool Close() {
    if (m_nOpen == m_nCollecting) m_nCollecting = 0;
    --m_nOpen;
    return true;
  }
  bool Fail(const char* pAt, const char* szWhy) {
    m_strError = "line " + std::to_string(LineAt(pAt)) + ": " + szWhy;
    return false;
  }
  // The line of pAt; the reader only goes forward, so lines are counted once.
  std::size_t LineAt(const char* pAt) {
    if (pAt > m_pCounted) {
      m_nLine += static_cast<std::size_t>(std::count(m_pCounted, pAt, '\n'));
      m_pCounted = pAt;
    }
    return m_nLine;
  }

  const std::string& m_strText;
  const char* m_pCounted;
  std::size_t m_nLine = 1;
  const char* m_pRead;
  const std::vector<std::string>& m_names;
  std::vector<SJsonListItem>& m_items;
  std::size_t m_nOpen = 0;        // objects and arrays begun and not yet ended
  std::size_t m_nCollecting = 0;  // the level of the wanted array being read, 0 for none
  bool m_bWantedNext = false;
  std::string m_strError;
};

}  // namespace

CResultOf<std::vector<SJsonListItem>> ReadJsonLists(const std::string& strText, const std::vector<std::string>& names) {
  std::vector<SJsonListItem> found;
  CListCollector collector(strText, names, found);
  try {
    if (!nlohmann::json::sax_parse(collector.Begin(), collector.End(), &collector)) {
      return CResult(RESULT_INVALID_DATA, collector.Error());
    }
  } catch (const std::exception&) {  // out of memory
    return CResult(RESULT_INVALID_DATA, "the text is too large to read");
  }
  return found;
}
