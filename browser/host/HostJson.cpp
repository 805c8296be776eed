// JSON reading and writing for the native messages (see HostJson.h).
#include "browser/host/HostJson.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class CJsonParser {
 public:
  explicit CJsonParser(const std::string& strText) : m_str(strText) {}

  bool ParseDocument(SJsonValue* pValue, std::string* pstrError) {
    SkipSpace();
    if (!ParseValue(pValue, 0)) return Failed(pstrError);
    SkipSpace();
    if (m_nPos != m_str.size()) {
      m_strError = "text after the value";
      return Failed(pstrError);
    }
    return true;
  }

 private:
  bool Failed(std::string* pstrError) {
    if (pstrError) *pstrError = m_strError + " at byte " + std::to_string(m_nPos);
    return false;
  }
  bool Fail(const char* szWhat) {
    m_strError = szWhat;
    return false;
  }
  bool AtEnd() const { return m_nPos >= m_str.size(); }
  char Peek() const { return AtEnd() ? '\0' : m_str[m_nPos]; }
  void SkipSpace() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) ++m_nPos;
  }
  bool Literal(const char* szWord) {
    const std::size_t n = std::strlen(szWord);
    if (m_str.compare(m_nPos, n, szWord) != 0) return Fail("unknown word");
    m_nPos += n;
    return true;
  }

  bool ParseValue(SJsonValue* pValue, int nDepth) {
    if (nDepth > kMaxJsonDepth) return Fail("nested too deeply");
    if (AtEnd()) return Fail("value missing");
    switch (Peek()) {
      case '{':
        return ParseObject(pValue, nDepth);
      case '[':
        return ParseArray(pValue, nDepth);
      case '"':
        pValue->eType = SJsonValue::EType::String;
        return ParseString(&pValue->strValue);
      case 't':
        pValue->eType = SJsonValue::EType::Bool;
        pValue->bValue = true;
        return Literal("true");
      case 'f':
        pValue->eType = SJsonValue::EType::Bool;
        return Literal("false");
      case 'n':
        pValue->eType = SJsonValue::EType::Null;
        return Literal("null");
      default:
        return ParseNumber(pValue);
    }
  }

  bool ParseObject(SJsonValue* pValue, int nDepth) {
    pValue->eType = SJsonValue::EType::Object;
    ++m_nPos;
    SkipSpace();
    if (Peek() == '}') {
      ++m_nPos;
      return true;
    }
    for (;;) {
      SkipSpace();
      if (Peek() != '"') return Fail("member name expected");
      std::pair<std::string, SJsonValue> member;
      if (!ParseString(&member.first)) return false;
      SkipSpace();
      if (Peek() != ':') return Fail("':' expected");
      ++m_nPos;
      SkipSpace();
      if (!ParseValue(&member.second, nDepth + 1)) return false;
      pValue->members.push_back(std::move(member));
      SkipSpace();
      if (Peek() == ',') {
        ++m_nPos;
        continue;
      }
      if (Peek() == '}') {
        ++m_nPos;
        return true;
      }
      return Fail("',' or '}' expected");
    }
  }

  bool ParseArray(SJsonValue* pValue, int nDepth) {
    pValue->eType = SJsonValue::EType::Array;
    ++m_nPos;
    SkipSpace();
    if (Peek() == ']') {
      ++m_nPos;
      return true;
    }
    for (;;) {
      SkipSpace();
      pValue->items.emplace_back();
      if (!ParseValue(&pValue->items.back(), nDepth + 1)) return false;
      SkipSpace();
      if (Peek() == ',') {
        ++m_nPos;
        continue;
      }
      if (Peek() == ']') {
        ++m_nPos;
        return true;
      }
      return Fail("',' or ']' expected");
    }
  }

  bool ParseNumber(SJsonValue* pValue) {
    const std::size_t nStart = m_nPos;
    if (Peek() == '-') ++m_nPos;
    if (Peek() == '0') {
      ++m_nPos;
    } else if (Peek() >= '1' && Peek() <= '9') {
      while (Peek() >= '0' && Peek() <= '9') ++m_nPos;
    } else {
      return Fail("value expected");
    }
    if (Peek() == '.') {
      ++m_nPos;
      if (!(Peek() >= '0' && Peek() <= '9')) return Fail("digit expected");
      while (Peek() >= '0' && Peek() <= '9') ++m_nPos;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++m_nPos;
      if (Peek() == '+' || Peek() == '-') ++m_nPos;
      if (!(Peek() >= '0' && Peek() <= '9')) return Fail("digit expected");
      while (Peek() >= '0' && Peek() <= '9') ++m_nPos;
    }
    // The token is checked above, so strtod reads all of it.
    const std::string strToken = m_str.substr(nStart, m_nPos - nStart);
    pValue->eType = SJsonValue::EType::Number;
    pValue->dValue = std::strtod(strToken.c_str(), nullptr);
    return true;
  }

  bool ReadHex4(unsigned* pnCode) {
    if (m_str.size() - m_nPos < 4) return Fail("short \\u escape");
    unsigned n = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = m_str[m_nPos++];
      n <<= 4;
      if (c >= '0' && c <= '9')
        n |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f')
        n |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        n |= static_cast<unsigned>(c - 'A' + 10);
      else
        return Fail("bad \\u escape");
    }
    *pnCode = n;
    return true;
  }

  static void AppendUtf8(std::string* pstr, unsigned nCode) {
    if (nCode < 0x80) {
      *pstr += static_cast<char>(nCode);
    } else if (nCode < 0x800) {
      *pstr += static_cast<char>(0xC0 | (nCode >> 6));
      *pstr += static_cast<char>(0x80 | (nCode & 0x3F));
    } else if (nCode < 0x10000) {
      *pstr += static_cast<char>(0xE0 | (nCode >> 12));
      *pstr += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
      *pstr += static_cast<char>(0x80 | (nCode & 0x3F));
    } else {
      *pstr += static_cast<char>(0xF0 | (nCode >> 18));
      *pstr += static_cast<char>(0x80 | ((nCode >> 12) & 0x3F));
      *pstr += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
      *pstr += static_cast<char>(0x80 | (nCode & 0x3F));
    }
  }

  bool ParseString(std::string* pstr) {
    ++m_nPos;  // the opening quote
    for (;;) {
      if (AtEnd()) return Fail("unterminated string");
      const char c = m_str[m_nPos++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return Fail("control character in string");
      if (c != '\\') {
        *pstr += c;
        continue;
      }
      if (AtEnd()) return Fail("unterminated string");
      const char cEscape = m_str[m_nPos++];
      switch (cEscape) {
        case '"':
          *pstr += '"';
          break;
        case '\\':
          *pstr += '\\';
          break;
        case '/':
          *pstr += '/';
          break;
        case 'b':
          *pstr += '\b';
          break;
        case 'f':
          *pstr += '\f';
          break;
        case 'n':
          *pstr += '\n';
          break;
        case 'r':
          *pstr += '\r';
          break;
        case 't':
          *pstr += '\t';
          break;
        case 'u': {
          unsigned nCode = 0;
          if (!ReadHex4(&nCode)) return false;
          if (nCode >= 0xD800 && nCode < 0xDC00 && m_str.compare(m_nPos, 2, "\\u") == 0) {
            const std::size_t nBack = m_nPos;
            m_nPos += 2;
            unsigned nLow = 0;
            if (!ReadHex4(&nLow)) return false;
            if (nLow >= 0xDC00 && nLow < 0xE000) {
              nCode = 0x10000 + ((nCode - 0xD800) << 10) + (nLow - 0xDC00);
            } else {
              m_nPos = nBack;  // not a pair: the second escape stands alone
            }
          }
          // A lone surrogate has no UTF-8 form.
          AppendUtf8(pstr, nCode >= 0xD800 && nCode < 0xE000 ? 0xFFFD : nCode);
          break;
        }
        default:
          return Fail("unknown escape");
      }
    }
  }

  const std::string& m_str;
  std::size_t m_nPos = 0;
  std::string m_strError;
};

// Length of the valid UTF-8 sequence at p (at most n bytes), 0 when invalid.
std::size_t Utf8SequenceLength(const unsigned char* p, std::size_t n) {
  const unsigned c = p[0];
  std::size_t nLength = 0;
  unsigned nMin = 0;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) {
    nLength = 2;
    nMin = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    nLength = 3;
    nMin = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    nLength = 4;
    nMin = 0x10000;
  } else {
    return 0;
  }
  if (n < nLength) return 0;
  unsigned nCode = c & (0x3F >> (nLength - 1));
  for (std::size_t i = 1; i < nLength; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    nCode = (nCode << 6) | (p[i] & 0x3F);
  }
  if (nCode < nMin || nCode > 0x10FFFF || (nCode >= 0xD800 && nCode < 0xE000)) return 0;
  return nLength;
}

}  // namespace

const SJsonValue* SJsonValue::Find(const char* szName) const {
  const SJsonValue* pFound = nullptr;
  for (const auto& member : members)
    if (member.first == szName) pFound = &member.second;
  return pFound;
}

bool ParseJson(const std::string& strText, SJsonValue* pValue, std::string* pstrError) {
  *pValue = SJsonValue();
  return CJsonParser(strText).ParseDocument(pValue, pstrError);
}

std::string JsonQuote(const std::string& strText) {
  std::string strOut = "\"";
  const auto* p = reinterpret_cast<const unsigned char*>(strText.data());
  const std::size_t n = strText.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = p[i];
    if (c == '"' || c == '\\') {
      strOut += '\\';
      strOut += static_cast<char>(c);
      ++i;
    } else if (c < 0x20 || c == 0x7F) {
      char szEscape[8];
      std::snprintf(szEscape, sizeof(szEscape), "\\u%04x", c);
      strOut += szEscape;
      ++i;
    } else {
      const std::size_t nLength = Utf8SequenceLength(p + i, n - i);
      if (nLength == 0) {
        strOut += "\\ufffd";
        ++i;
      } else {
        strOut.append(strText, i, nLength);
        i += nLength;
      }
    }
  }
  return strOut + "\"";
}

void CJsonObjectWriter::Name(const char* szName) {
  if (m_strText.size() > 1) m_strText += ',';
  m_strText += JsonQuote(szName);
  m_strText += ':';
}

CJsonObjectWriter& CJsonObjectWriter::Add(const char* szName, const std::string& strValue) {
  Name(szName);
  m_strText += JsonQuote(strValue);
  return *this;
}

CJsonObjectWriter& CJsonObjectWriter::Add(const char* szName, bool bValue) {
  Name(szName);
  m_strText += bValue ? "true" : "false";
  return *this;
}

CJsonObjectWriter& CJsonObjectWriter::Add(const char* szName, long long nValue) {
  Name(szName);
  m_strText += std::to_string(nValue);
  return *this;
}

CJsonObjectWriter& CJsonObjectWriter::AddNull(const char* szName) {
  Name(szName);
  m_strText += "null";
  return *this;
}
