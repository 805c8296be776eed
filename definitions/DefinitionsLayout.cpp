#include "definitions/DefinitionsLayout.h"

#include <cstring>

const SDefinitionListLayout& LayoutOf(EDefinitionList list) {
  for (const SDefinitionListLayout& layout : kDefinitionLists) {
    if (layout.list == list) return layout;
  }
  return kDefinitionLists[0];  // every list has a row
}

bool IsLowerCasedList(EDefinitionList list) {
  return (LayoutOf(list).nMatch & (kMatchEquals | kMatchShownText)) == 0;
}

std::size_t ValueLimitOfSection(const char* szSection) {
  std::size_t nLimit = kValueSize - 1;
  for (const SDefinitionListLayout& layout : kDefinitionLists) {
    if (std::strcmp(layout.szSection, szSection) == 0 && layout.cbValue - 1 < nLimit) nLimit = layout.cbValue - 1;
  }
  return nLimit;
}

std::vector<const char*> KeyPrefixesOfSection(const std::string& strSection) {
  std::vector<const char*> prefixes;
  for (const SDefinitionListLayout& layout : kDefinitionLists) {
    if (strSection == layout.szSection) prefixes.push_back(layout.szPrefix);
  }
  return prefixes;
}
