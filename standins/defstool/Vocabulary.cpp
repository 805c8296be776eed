#include "standins/defstool/Vocabulary.h"

#include <cstring>
#include <map>

#include "definitions/DefinitionsLayout.h"

namespace {

struct SSectionVocabulary {
  const char* szSection;
  std::vector<std::string> prefixes;
};

// The sections of the definitions layout, each with the prefixes of its lists.
const std::vector<SSectionVocabulary>& Vocabulary() {
  static const std::vector<SSectionVocabulary> vocabulary = [] {
    std::vector<SSectionVocabulary> sections;
    for (const SDefinitionListLayout& layout : kDefinitionLists) {
      if (sections.empty() || std::strcmp(sections.back().szSection, layout.szSection) != 0) {
        sections.push_back({layout.szSection, {}});
      }
      sections.back().prefixes.push_back(layout.szPrefix);
    }
    return sections;
  }();
  return vocabulary;
}

// The counter of a key written prefix + decimal number from 1 without leading
// zeros, as the matchers build it; 0 when the key is not of that form.
long CounterOf(const std::string& strKey, const std::string& strPrefix) {
  if (strKey.compare(0, strPrefix.size(), strPrefix) != 0) return 0;
  const std::string strDigits = strKey.substr(strPrefix.size());
  if (strDigits.empty() || strDigits.size() > 9 || strDigits[0] == '0') return 0;
  long n = 0;
  for (char c : strDigits) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

std::string Joined(const std::vector<std::string>& prefixes) {
  std::string str;
  for (const auto& strPrefix : prefixes) str += (str.empty() ? "" : ", ") + strPrefix + "1, " + strPrefix + "2, ...";
  return str;
}

}  // namespace

std::vector<std::string> FindUnusedEntries(const DefinitionsList& list) {
  std::vector<std::string> notes;
  for (const auto& section : list) {
    const SSectionVocabulary* pVocabulary = nullptr;
    for (const auto& known : Vocabulary()) {
      if (section.strName == known.szSection) pVocabulary = &known;
    }
    if (!pVocabulary) {
      notes.push_back("line " + std::to_string(section.nLine) + ": section \"" + section.strName +
                      "\" is not read by any matcher");
      continue;
    }
    // Per prefix: counter -> entry, then walk 1, 2, ... as the matchers do.
    for (const auto& strPrefix : pVocabulary->prefixes) {
      std::map<long, const SDefinitionEntry*> byCounter;
      for (const auto& entry : section.entries) {
        if (const long n = CounterOf(entry.strKey, strPrefix)) byCounter[n] = &entry;
      }
      long nEnd = 1;
      while (byCounter.count(nEnd) && !byCounter[nEnd]->strValue.empty()) ++nEnd;
      const std::string strEnd =
          strPrefix + std::to_string(nEnd) + (byCounter.count(nEnd) ? " (empty value)" : " (missing)");
      for (const auto& [n, pEntry] : byCounter) {
        if (n > nEnd) {
          notes.push_back("line " + std::to_string(pEntry->nLine) + ": section \"" + section.strName + "\", key \"" +
                          pEntry->strKey + "\" is never reached: the list ends at " + strEnd);
        }
      }
    }
    for (const auto& entry : section.entries) {
      bool bKnown = false;
      for (const auto& strPrefix : pVocabulary->prefixes) bKnown = bKnown || CounterOf(entry.strKey, strPrefix) != 0;
      if (!bKnown) {
        notes.push_back("line " + std::to_string(entry.nLine) + ": section \"" + section.strName + "\", key \"" +
                        entry.strKey + "\" is never looked up: the matchers read " + Joined(pVocabulary->prefixes));
      }
    }
  }
  return notes;
}
