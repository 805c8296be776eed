// JSON reading and writing for the native messages (see HostJson.h).
#include "browser/host/HostJson.h"

#include <cstdio>
#include <exception>

#include "browser/host/HostFraming.h"
#include "shared/AsciiCase.h"
#include "shared/JsonFaultText.h"

namespace {

// The code of the four hex digits at str[i], or -1.
long Hex4At(const std::string& str, std::size_t i) {
  if (i > str.size() || str.size() - i < 4) return -1;
  long nCode = 0;
  for (std::size_t k = i; k < i + 4; ++k) {
    const int nDigit = HexDigitValue(str[k]);
    if (nDigit < 0) return -1;
    nCode = nCode * 16 + nDigit;
  }
  return nCode;
}

bool IsSurrogate(long nCode) {
  return nCode >= 0xD800 && nCode < 0xE000;
}

// Where the hex digits of the next "\u" escape of a lone surrogate begin, from
// nFrom (a place between escapes) on; npos when there is none. A backslash always
// starts a pair of characters, so an escaped backslash before "u" is no escape.
std::size_t FindLoneSurrogate(const std::string& strText, std::size_t nFrom) {
  for (std::size_t i = strText.find('\\', nFrom); i != std::string::npos && i + 1 < strText.size();
       i = strText.find('\\', i)) {
    if (strText[i + 1] != 'u') {
      i += 2;
      continue;
    }
    const long nCode = Hex4At(strText, i + 2);
    if (nCode >= 0xD800 && nCode < 0xDC00 && strText.compare(i + 6, 2, "\\u") == 0) {
      const long nLow = Hex4At(strText, i + 8);
      if (nLow >= 0xDC00 && nLow < 0xE000) {
        i += 12;  // a pair
        continue;
      }
    }
    if (IsSurrogate(nCode)) return i + 2;
    i += 2;
  }
  return std::string::npos;
}

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

CResultOf<nlohmann::json> ParseHostJson(const std::string& strText) {
  if (strText.size() > kMaxFrameIn)
    return CResult(RESULT_INVALID_PARAMETER, "the message is longer than the host takes");
  // nlohmann-json refuses a lone surrogate, which has no UTF-8 form: it is read
  // as U+FFFD, the escape replaced in place ("\ufffd" is as long).
  std::size_t nLone = FindLoneSurrogate(strText, 0);
  std::string strMended;
  if (nLone != std::string::npos) {
    strMended = strText;
    for (; nLone != std::string::npos; nLone = FindLoneSurrogate(strMended, nLone + 4))
      strMended.replace(nLone, 4, "fffd");
  }
  const std::string& strJson = strMended.empty() ? strText : strMended;
  // The reader keeps its nesting on the heap and a callback cannot stop it: values
  // deeper than the limit are dropped as they are read, and the whole is refused.
  bool bTooDeep = false;
  const auto refuseDeep = [&bTooDeep](int nDepth, nlohmann::json::parse_event_t, nlohmann::json&) {
    if (nDepth <= kMaxJsonDepth) return true;
    bTooDeep = true;
    return false;
  };
  try {
    nlohmann::json value = nlohmann::json::parse(strJson, refuseDeep);
    if (bTooDeep) return CResult(RESULT_INVALID_PARAMETER, "nested too deeply");
    return value;
  } catch (const nlohmann::json::parse_error& error) {
    return CResult(RESULT_INVALID_PARAMETER, JsonFaultText(error) + " at byte " + std::to_string(error.byte));
  } catch (const std::exception&) {  // out of memory
    return CResult(RESULT_INTERNAL_ERROR, "the message could not be read");
  }
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
