// A key tree in memory with the registry's behaviour that the readers depend on:
// subkeys and values by name, names without regard to ASCII case. For fuzzing the
// readers of stored settings without a registry.
#pragma once

#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "console/settings/store/StoreKey.h"

struct SMemoryKeyNode {
  std::map<std::string, SMemoryKeyNode> subKeys;
  std::map<std::string, std::pair<std::uint32_t, std::string>> values;
};

class CMemoryStoreKey : public IStoreKey {
 public:
  explicit CMemoryStoreKey(SMemoryKeyNode* pNode) : m_pNode(pNode) {}

  std::unique_ptr<IStoreKey> OpenSubKey(const char* szName) override {
    auto it = m_pNode->subKeys.find(Folded(szName));
    return it == m_pNode->subKeys.end() ? nullptr : std::make_unique<CMemoryStoreKey>(&it->second);
  }
  CResult CreateKey(const char* szName, std::unique_ptr<IStoreKey>* ppKey) override {
    *ppKey = std::make_unique<CMemoryStoreKey>(&m_pNode->subKeys[Folded(szName)]);
    return CResult();
  }
  std::vector<std::string> SubKeyNames() override {
    std::vector<std::string> names;
    for (const auto& sub : m_pNode->subKeys) names.push_back(sub.first);
    return names;
  }
  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    for (const auto& value : m_pNode->values) names.push_back(value.first);
    return names;
  }
  bool ReadValue(const char* szName, std::string* pData) override {
    std::uint32_t dwType = 0;
    return ReadTypedValue(szName, &dwType, pData);
  }
  bool ReadTypedValue(const char* szName, std::uint32_t* pType, std::string* pData) override {
    auto it = m_pNode->values.find(Folded(szName));
    if (it == m_pNode->values.end()) return false;
    *pType = it->second.first;
    *pData = it->second.second;
    return true;
  }
  CResult SetValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) override {
    m_pNode->values[Folded(szName)] = {dwType, std::string(static_cast<const char*>(pData), cbData)};
    return CResult();
  }
  CResult RemoveValue(const char* szName) override {
    return m_pNode->values.erase(Folded(szName)) == 1 ? CResult() : CResult(RESULT_FILE_NOT_FOUND);
  }
  CResult RemoveSubKey(const char* szName) override {
    return m_pNode->subKeys.erase(Folded(szName)) == 1 ? CResult() : CResult(RESULT_FILE_NOT_FOUND);
  }

  static std::string FoldedName(const std::string& strName) {
    std::string str(strName);
    for (char& c : str) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return str;
  }

  // The whole tree as one text, for comparing two trees.
  static std::string Dump(const SMemoryKeyNode& node) {
    std::string str;
    for (const auto& value : node.values) {
      str += value.first + "=" + std::to_string(value.second.first) + ":" + value.second.second + ";";
    }
    for (const auto& sub : node.subKeys) str += "[" + sub.first + "]{" + Dump(sub.second) + "}";
    return str;
  }

 private:
  static std::string Folded(const char* szName) { return FoldedName(szName); }

  SMemoryKeyNode* m_pNode;
};
