// The small part of JSON the browsers' native messages need: a parsed value tree
// and a writer of objects. Reads outside input: any bytes give a value or an error.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

struct SJsonValue {
  enum class EType { Null, Bool, Number, String, Array, Object };
  EType eType = EType::Null;
  bool bValue = false;
  double dValue = 0;
  std::string strValue;  // UTF-8
  std::vector<SJsonValue> items;
  std::vector<std::pair<std::string, SJsonValue>> members;

  // The member of that name (the last one when a name repeats), or null.
  const SJsonValue* Find(const char* szName) const;
};

// Nesting deeper than this is refused rather than followed.
constexpr int kMaxJsonDepth = 32;

// True with *pValue set when strText is one JSON value with only white space
// around it; false with *pstrError naming the fault and its byte offset.
bool ParseJson(const std::string& strText, SJsonValue* pValue, std::string* pstrError);

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
