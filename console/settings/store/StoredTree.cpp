#include "console/settings/store/StoredTree.h"

#include <algorithm>

#include "shared/AsciiCase.h"
#include "shared/RunTogether.h"

bool SKeyNameLess::operator()(const std::string& strLeft, const std::string& strRight) const {
  // Names of one key mostly share a long beginning ("WebSiteBlockingItem"), equal
  // byte for byte and so without regard to case too: it is passed over first.
  const auto mismatch = std::mismatch(strLeft.begin(), strLeft.end(), strRight.begin(), strRight.end());
  return std::lexicographical_compare(
      mismatch.first, strLeft.end(), mismatch.second, strRight.end(), [](char cLeft, char cRight) {
        return static_cast<unsigned char>(LowerAsciiChar(cLeft)) < static_cast<unsigned char>(LowerAsciiChar(cRight));
      });
}

bool IsSameKeyName(const std::string& strLeft, const std::string& strRight) {
  return strLeft.size() == strRight.size() &&
         EqualsIgnoringAsciiCase(strLeft.c_str(), strRight.c_str(), strLeft.size());
}

SStoredKey::SValue* SStoredKey::FindValue(const std::string& strName, std::size_t nHint) {
  // Values come in the same order at every save: the hint is nearly always right.
  if (nHint < values.size() && IsSameKeyName(values[nHint].strName, strName)) return &values[nHint];
  for (SValue& value : values) {
    if (IsSameKeyName(value.strName, strName)) return &value;
  }
  return nullptr;
}

std::unique_ptr<IStoreKey> CStoredTreeKey::OpenSubKey(const char* szName) {
  const auto it = m_pNode->subKeys.find(szName);
  if (it == m_pNode->subKeys.end()) return nullptr;
  return std::make_unique<CStoredTreeKey>(&it->second);
}

CResult CStoredTreeKey::CreateKey(const char* szName, std::unique_ptr<IStoreKey>* ppKey) {
  *ppKey = std::make_unique<CStoredTreeKey>(&m_pNode->subKeys[szName]);
  return CResult();
}

std::vector<std::string> CStoredTreeKey::SubKeyNames() {
  std::vector<std::string> names;
  names.reserve(m_pNode->subKeys.size());
  for (const auto& subKey : m_pNode->subKeys) names.push_back(subKey.first);
  return names;
}

std::vector<std::string> CStoredTreeKey::ValueNames() {
  std::vector<std::string> names;
  for (const SStoredKey::SValue& value : m_pNode->values) names.push_back(value.strName);
  return names;
}

bool CStoredTreeKey::ReadValue(const char* szName, std::string* pData) {
  std::uint32_t dwType = 0;
  return ReadTypedValue(szName, &dwType, pData);
}

bool CStoredTreeKey::ReadTypedValue(const char* szName, std::uint32_t* pType, std::string* pData) {
  const SStoredKey::SValue* pValue = m_pNode->FindValue(szName);
  if (!pValue) return false;
  *pType = pValue->dwType;
  *pData = pValue->strData;
  return true;
}

CResult CStoredTreeKey::ReadAllValues(std::vector<SStoreValue>* pValues) {
  pValues->clear();
  for (const SStoredKey::SValue& value : m_pNode->values)
    pValues->push_back({value.strName, value.dwType, value.strData});
  return CResult();
}

CResult CStoredTreeKey::SetValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) {
  SStoredKey::SValue* pValue = m_pNode->FindValue(szName);
  if (!pValue) {
    m_pNode->values.emplace_back();
    pValue = &m_pNode->values.back();
    pValue->strName = szName;
  }
  pValue->dwType = dwType;
  pValue->strData.assign(static_cast<const char*>(pData), cbData);
  return CResult();
}

CResult CStoredTreeKey::RemoveValue(const char* szName) {
  std::vector<SStoredKey::SValue>& values = m_pNode->values;
  const auto it = std::find_if(values.begin(), values.end(),
                               [&](const SStoredKey::SValue& value) { return IsSameKeyName(value.strName, szName); });
  if (it == values.end()) return CResult(RESULT_FILE_NOT_FOUND);
  values.erase(it);
  return CResult();
}

CResult CStoredTreeKey::RemoveSubKey(const char* szName) {
  return m_pNode->subKeys.erase(szName) == 1 ? CResult() : CResult(RESULT_FILE_NOT_FOUND);
}

namespace {

// Keys with this many subkeys (the lists, the log) are read by several threads:
// each call waits for the registry's answer, and the waits overlap.
constexpr std::size_t kSubKeysReadTogether = 256;
constexpr unsigned kReadingThreads = 4;

void ReadSubKeys(IStoreKey& key, const std::vector<std::string>& names, std::size_t nFirst, std::size_t nEnd,
                 const std::vector<SStoredKey*>& nodes) {
  for (std::size_t i = nFirst; i < nEnd; ++i) {
    const std::unique_ptr<IStoreKey> pSubKey = key.OpenSubKey(names[i].c_str());
    if (pSubKey) ReadStoreTree(*pSubKey, nodes[i]);
  }
}

}  // namespace

void ReadStoreTree(IStoreKey& key, SStoredKey* pTree) {
  *pTree = SStoredKey();
  std::vector<SStoreValue> values;
  if (key.ReadAllValues(&values).IsOk()) {
    pTree->values.reserve(values.size());
    for (SStoreValue& value : values) {
      SStoredKey::SValue stored;
      stored.strName = std::move(value.strName);
      stored.dwType = value.dwType;
      stored.strData = std::move(value.strData);
      pTree->values.push_back(std::move(stored));
    }
  }
  const std::vector<std::string> names = key.SubKeyNames();
  std::vector<SStoredKey*> nodes;
  nodes.reserve(names.size());
  for (const std::string& strName : names) nodes.push_back(&pTree->subKeys[strName]);
  const std::size_t nRuns = names.size() < kSubKeysReadTogether ? 1 : kReadingThreads;
  const std::size_t nShare = (names.size() + nRuns - 1) / nRuns;
  RunTogether(nRuns, [&](std::size_t nRun) {
    const std::size_t nFirst = std::min(names.size(), nRun * nShare);
    ReadSubKeys(key, names, nFirst, std::min(names.size(), nFirst + nShare), nodes);
  });
}
