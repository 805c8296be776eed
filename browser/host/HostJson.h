// The JSON of the browsers' native messages: read with nlohmann-json into its value
// tree within the host's limits, and written by a writer of objects whose text is
// always valid for a browser. Reads outside input: any bytes give a value or a
// failure, never an exception.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "shared/Result.h"

// Nesting deeper than this is refused rather than followed.
constexpr int kMaxJsonDepth = 32;

// The one JSON value of strText (white space around it allowed), or the failure
// naming the fault and its byte offset. A text longer than a frame (kMaxFrameIn)
// is refused before it is read. An escaped lone UTF-16 surrogate, which a page's
// text may hold and JSON.stringify writes as "\ud800", reads as U+FFFD.
CResultOf<nlohmann::json> ParseHostJson(const std::string& strText);

// Builds one JSON object, member by member; texts are escaped and bytes that are
// not UTF-8 become U+FFFD, so the result is always valid for a browser.
class CJsonObjectWriter {
 public:
  CJsonObjectWriter& Add(const char* szName, const std::string& strValue);
  CJsonObjectWriter& Add(const char* szName, const char* szValue) { return Add(szName, std::string(szValue)); }
  CJsonObjectWriter& Add(const char* szName, bool bValue);
  CJsonObjectWriter& Add(const char* szName, long long nValue);
  CJsonObjectWriter& AddNull(const char* szName);
  std::string Text() const { return m_strText + "}"; }

 private:
  void Name(const char* szName);
  std::string m_strText = "{";
};

// strText as a quoted JSON string (see CJsonObjectWriter).
std::string JsonQuote(const std::string& strText);
