#include "standins/defstool/JsonLists.h"

#include <algorithm>

#include "shared/AsciiCase.h"

namespace {

constexpr int kMaxDepth = 64;

class CJsonReader {
 public:
  CJsonReader(const std::string& strText, std::vector<SJsonListItem>& items) : m_strText(strText), m_items(items) {}

  bool ReadDocument(const std::vector<std::string>& names) {
    SkipBlanks();
    if (Peek() != '{') return Fail("the text is not a JSON object");
    if (!ReadObject(0, &names)) return false;
    SkipBlanks();
    return m_i == m_strText.size() || Fail("text after the end of the object");
  }

  std::string Error() const { return "line " + std::to_string(m_nLine) + ": " + m_strError; }

 private:
  char Peek() const { return m_i < m_strText.size() ? m_strText[m_i] : '\0'; }
  bool AtEnd() const { return m_i >= m_strText.size(); }

  bool Fail(const char* szWhy) {
    if (m_strError.empty()) m_strError = szWhy;
    return false;
  }

  // Line ends occur only between tokens (a text may not hold a control character).
  void SkipBlanks() {
    for (; !AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r'); ++m_i) {
      if (Peek() == '\n') ++m_nLine;
    }
  }

  bool Expect(char c) {
    SkipBlanks();
    if (Peek() != c) return Fail(c == ':' ? "\":\" expected" : "unexpected character");
    ++m_i;
    return true;
  }

  // names: the wanted arrays, given only for the top-level object.
  bool ReadObject(int nDepth, const std::vector<std::string>* names) {
    ++m_i;  // "{"
    SkipBlanks();
    if (Peek() == '}') return ++m_i, true;
    for (;;) {
      SkipBlanks();
      if (Peek() != '"') return Fail("a name in double quotes expected");
      std::string strName;
      if (!ReadString(strName) || !Expect(':')) return false;
      const bool bWanted = names && std::find(names->begin(), names->end(), strName) != names->end();
      SkipBlanks();
      if (bWanted && Peek() == '[') {
        if (!ReadArray(nDepth + 1, true)) return false;
      } else if (!ReadValue(nDepth + 1)) {
        return false;
      }
      SkipBlanks();
      if (Peek() == ',') {
        ++m_i;
        continue;
      }
      return Expect('}');
    }
  }

  bool ReadArray(int nDepth, bool bCollect) {
    ++m_i;  // "["
    SkipBlanks();
    if (Peek() == ']') return ++m_i, true;
    for (;;) {
      SkipBlanks();
      const std::size_t nLine = m_nLine;
      if (bCollect && Peek() == '"') {
        std::string strItem;
        if (!ReadString(strItem)) return false;
        m_items.push_back({std::move(strItem), nLine, true});
      } else {
        if (!ReadValue(nDepth + 1)) return false;
        if (bCollect) m_items.push_back({std::string(), nLine, false});
      }
      SkipBlanks();
      if (Peek() == ',') {
        ++m_i;
        continue;
      }
      return Expect(']');
    }
  }

  bool ReadValue(int nDepth) {
    if (nDepth > kMaxDepth) return Fail("nested too deeply");
    SkipBlanks();
    const char c = Peek();
    if (c == '{') return ReadObject(nDepth, nullptr);
    if (c == '[') return ReadArray(nDepth, false);
    if (c == '"') {
      std::string strIgnored;
      return ReadString(strIgnored);
    }
    for (const char* szWord : {"true", "false", "null"}) {
      const std::string strWord(szWord);
      if (m_strText.compare(m_i, strWord.size(), strWord) == 0) return m_i += strWord.size(), true;
    }
    return ReadNumber();
  }

  bool ReadNumber() {
    const std::size_t nStart = m_i;
    if (Peek() == '-') ++m_i;
    auto digits = [this] {
      const std::size_t nFrom = m_i;
      while (!AtEnd() && Peek() >= '0' && Peek() <= '9') ++m_i;
      return m_i > nFrom;
    };
    if (!digits()) return Fail(m_i == nStart ? "a value expected" : "a digit expected");
    if (Peek() == '.') {
      ++m_i;
      if (!digits()) return Fail("a digit expected");
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++m_i;
      if (Peek() == '+' || Peek() == '-') ++m_i;
      if (!digits()) return Fail("a digit expected");
    }
    return true;
  }

  static void AppendUtf8(std::string& str, unsigned long nCode) {
    if (nCode < 0x80) {
      str += static_cast<char>(nCode);
    } else if (nCode < 0x800) {
      str += static_cast<char>(0xC0 | (nCode >> 6));
      str += static_cast<char>(0x80 | (nCode & 0x3F));
    } else if (nCode < 0x10000) {
      str += static_cast<char>(0xE0 | (nCode >> 12));
      str += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
      str += static_cast<char>(0x80 | (nCode & 0x3F));
    } else {
      str += static_cast<char>(0xF0 | (nCode >> 18));
      str += static_cast<char>(0x80 | ((nCode >> 12) & 0x3F));
      str += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
      str += static_cast<char>(0x80 | (nCode & 0x3F));
    }
  }

  bool ReadHex4(unsigned long& nCode) {
    if (m_strText.size() - m_i < 4) return Fail("four hex digits expected after \\u");
    nCode = 0;
    for (int k = 0; k < 4; ++k) {
      const int nDigit = HexDigitValue(m_strText[m_i++]);
      if (nDigit < 0) return Fail("four hex digits expected after \\u");
      nCode = nCode * 16 + static_cast<unsigned long>(nDigit);
    }
    return true;
  }

  bool ReadString(std::string& strOut) {
    ++m_i;  // opening quote
    for (;;) {
      if (AtEnd()) return Fail("a text without its closing quote");
      const unsigned char c = static_cast<unsigned char>(m_strText[m_i++]);
      if (c == '"') return true;
      if (c < 0x20) return Fail("a control character inside a text");
      if (c != '\\') {
        strOut += static_cast<char>(c);
        continue;
      }
      if (AtEnd()) return Fail("a text without its closing quote");
      const char cEscape = m_strText[m_i++];
      switch (cEscape) {
        case '"':
        case '\\':
        case '/':
          strOut += cEscape;
          break;
        case 'b':
          strOut += '\b';
          break;
        case 'f':
          strOut += '\f';
          break;
        case 'n':
          strOut += '\n';
          break;
        case 'r':
          strOut += '\r';
          break;
        case 't':
          strOut += '\t';
          break;
        case 'u': {
          unsigned long nCode;
          if (!ReadHex4(nCode)) return false;
          if (nCode >= 0xD800 && nCode <= 0xDBFF && m_strText.compare(m_i, 2, "\\u") == 0) {
            m_i += 2;
            unsigned long nLow;
            if (!ReadHex4(nLow)) return false;
            if (nLow < 0xDC00 || nLow > 0xDFFF) return Fail("a broken surrogate pair");
            nCode = 0x10000 + ((nCode - 0xD800) << 10) + (nLow - 0xDC00);
          } else if (nCode >= 0xD800 && nCode <= 0xDFFF) {
            return Fail("a broken surrogate pair");
          }
          AppendUtf8(strOut, nCode);
          break;
        }
        default:
          return Fail("an unknown escape");
      }
    }
  }

  const std::string& m_strText;
  std::vector<SJsonListItem>& m_items;
  std::size_t m_i = 0;
  std::size_t m_nLine = 1;
  std::string m_strError;
};

}  // namespace

bool ReadJsonLists(const std::string& strText, const std::vector<std::string>& names, std::vector<SJsonListItem>& items,
                   std::string& strError) {
  std::vector<SJsonListItem> found;
  CJsonReader reader(strText, found);
  if (!reader.ReadDocument(names)) {
    strError = reader.Error();
    return false;
  }
  items.insert(items.end(), found.begin(), found.end());
  return true;
}
