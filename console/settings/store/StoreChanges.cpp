#include "console/settings/store/StoreChanges.h"

#include <algorithm>
#include <cstring>

#include "console/settings/store/RegistryValueData.h"
#include "shared/RunTogether.h"

namespace {

std::string ChildPath(const std::string& strPath, const char* szName) {
  return strPath.empty() ? std::string(szName) : strPath + "\\" + szName;
}

// A key as the settings objects write it: a node of the tree when it is stored,
// null for a key that is new. Nothing is read through it.
class CCompareKey : public IStoreKey {
 public:
  CCompareKey(CChangeCollector& collector, SStoredKey* pNode, std::string strPath)
      : m_collector(collector), m_pNode(pNode), m_strPath(std::move(strPath)) {}

  std::unique_ptr<IStoreKey> OpenSubKey(const char*) override { return nullptr; }
  CResult CreateKey(const char* szName, std::unique_ptr<IStoreKey>* ppKey) override {
    SStoredKey* pChild = nullptr;
    if (m_pNode) {
      const auto it = m_pNode->subKeys.find(szName);
      if (it != m_pNode->subKeys.end()) pChild = &it->second;
    }
    if (pChild) {
      pChild->bWritten = true;
    } else {
      m_collector.Add({EStoreChange::CreateKey, m_strPath, szName, 0, std::string()});
    }
    *ppKey = std::make_unique<CCompareKey>(m_collector, pChild, ChildPath(m_strPath, szName));
    return CResult();
  }
  std::vector<std::string> SubKeyNames() override { return {}; }
  std::vector<std::string> ValueNames() override { return {}; }
  bool ReadValue(const char*, std::string*) override { return false; }
  bool ReadTypedValue(const char*, std::uint32_t*, std::string*) override { return false; }
  CResult SetValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) override {
    if (m_pNode) {
      SStoredKey::SValue* pValue = m_pNode->FindValue(szName, m_nNextValue);
      if (pValue) {
        pValue->bWritten = true;
        m_nNextValue = static_cast<std::size_t>(pValue - m_pNode->values.data()) + 1;
        if (IsSameStoredData(dwType, pValue->strData, pData, cbData) && pValue->dwType == dwType) return CResult();
      }
    }
    m_collector.Add(
        {EStoreChange::SetValue, m_strPath, szName, dwType, std::string(static_cast<const char*>(pData), cbData)});
    return CResult();
  }
  CResult RemoveValue(const char* szName) override {
    m_collector.Add({EStoreChange::RemoveValue, m_strPath, szName, 0, std::string()});
    return CResult();
  }
  CResult RemoveSubKey(const char* szName) override {
    m_collector.Add({EStoreChange::RemoveKey, m_strPath, szName, 0, std::string()});
    return CResult();
  }

 private:
  CChangeCollector& m_collector;
  SStoredKey* m_pNode;
  std::string m_strPath;
  std::size_t m_nNextValue = 0;
};

// The keys from the product key down to the last one a change addressed, kept
// open: changes come key by key, so most find their key open already.
class CKeyChain {
 public:
  explicit CKeyChain(IStoreKey& root) : m_root(root) {}
  CResult Open(const std::string& strPath, IStoreKey** ppKey) {
    std::vector<std::string> names;
    for (std::size_t nStart = 0; nStart < strPath.size();) {
      std::size_t nEnd = strPath.find('\\', nStart);
      if (nEnd == std::string::npos) nEnd = strPath.size();
      names.push_back(strPath.substr(nStart, nEnd - nStart));
      nStart = nEnd + 1;
    }
    std::size_t nKept = 0;
    while (nKept < m_keys.size() && nKept < names.size() && IsSameKeyName(m_keys[nKept].first, names[nKept])) ++nKept;
    m_keys.resize(nKept);
    for (std::size_t i = nKept; i < names.size(); ++i) {
      std::unique_ptr<IStoreKey> pKey;
      const CResult result = Last().CreateKey(names[i].c_str(), &pKey);
      if (!result.IsOk() || !pKey) {
        m_keys.resize(i);
        return !result.IsOk() ? result : CResult(RESULT_FILE_NOT_FOUND);
      }
      m_keys.emplace_back(names[i], std::move(pKey));
    }
    *ppKey = &Last();
    return CResult();
  }
  // A key just created below the last one opened: the next changes are mostly in it.
  void Push(const std::string& strName, std::unique_ptr<IStoreKey> pKey) {
    m_keys.emplace_back(strName, std::move(pKey));
  }

 private:
  IStoreKey& Last() { return m_keys.empty() ? m_root : *m_keys.back().second; }

  IStoreKey& m_root;
  std::vector<std::pair<std::string, std::unique_ptr<IStoreKey>>> m_keys;
};

void PutNumber(std::string* pBytes, std::uint32_t nNumber) {
  unsigned char abBytes[4];
  NumberToValueData(nNumber, abBytes);
  pBytes->append(reinterpret_cast<const char*>(abBytes), sizeof(abBytes));
}

void PutText(std::string* pBytes, const std::string& strText) {
  PutNumber(pBytes, static_cast<std::uint32_t>(strText.size()));
  pBytes->append(strText);
}

class CReader {
 public:
  explicit CReader(const std::string& strBytes) : m_strBytes(strBytes) {}
  bool AtEnd() const { return m_nPos == m_strBytes.size(); }
  bool Number(std::uint32_t* pNumber) {
    if (m_strBytes.size() - m_nPos < 4) return false;
    *pNumber = static_cast<std::uint32_t>(
        CopiedValueData(reinterpret_cast<const unsigned char*>(m_strBytes.data() + m_nPos), 4, 0));
    m_nPos += 4;
    return true;
  }
  bool Text(std::string* pText) {
    std::uint32_t nSize = 0;
    if (!Number(&nSize) || m_strBytes.size() - m_nPos < nSize) return false;
    pText->assign(m_strBytes, m_nPos, nSize);
    m_nPos += nSize;
    return true;
  }
  bool Byte(std::uint8_t* pByte) {
    if (AtEnd()) return false;
    *pByte = static_cast<std::uint8_t>(m_strBytes[m_nPos++]);
    return true;
  }

 private:
  const std::string& m_strBytes;
  std::size_t m_nPos = 0;
};

bool HasZero(const std::string& strText) {
  return strText.find('\0') != std::string::npos;
}

// Names go to the registry as zero-terminated texts; a path never starts, ends or
// doubles a separator, and a key's name is one name, never empty: an empty one
// would make the removal take the key above it.
bool IsSound(const SStoreChange& change) {
  const std::string& strPath = change.strPath;
  if (HasZero(strPath) || HasZero(change.strName)) return false;
  if (!strPath.empty() &&
      (strPath.front() == '\\' || strPath.back() == '\\' || strPath.find("\\\\") != std::string::npos)) {
    return false;
  }
  const bool bKeyChange = change.eKind == EStoreChange::CreateKey || change.eKind == EStoreChange::RemoveKey;
  return !bKeyChange || (!change.strName.empty() && change.strName.find('\\') == std::string::npos);
}

}  // namespace

CChangeCollector::CChangeCollector(SStoredKey& tree) : m_tree(tree) {
  m_pRoot = std::make_unique<CCompareKey>(*this, &m_tree, std::string());
}

CChangeCollector::~CChangeCollector() = default;

namespace {

const SStoredKey::SValue* FindStoredValue(const SStoredKey& tree, const SStoreChange& change) {
  const SStoredKey* pNode = &tree;
  std::size_t nStart = 0;
  while (pNode && nStart < change.strPath.size()) {
    std::size_t nEnd = change.strPath.find('\\', nStart);
    if (nEnd == std::string::npos) nEnd = change.strPath.size();
    const auto it = pNode->subKeys.find(change.strPath.substr(nStart, nEnd - nStart));
    pNode = it == pNode->subKeys.end() ? nullptr : &it->second;
    nStart = nEnd + 1;
  }
  if (!pNode) return nullptr;
  for (const SStoredKey::SValue& value : pNode->values)
    if (IsSameKeyName(value.strName, change.strName)) return &value;
  return nullptr;
}

bool OverwritesOtherType(const SStoredKey& tree, const SStoreChange& change) {
  if (change.eKind != EStoreChange::SetValue) return false;
  const SStoredKey::SValue* pStored = FindStoredValue(tree, change);
  return pStored && pStored->dwType != change.dwType;
}

}  // namespace

std::vector<SStoreChange> KeptAsStored(const SStoredKey& tree, const std::vector<SStoreChange>& changesAfterLoad) {
  std::vector<SStoreChange> kept;
  for (const SStoreChange& change : changesAfterLoad)
    if (OverwritesOtherType(tree, change)) kept.push_back(change);
  return kept;
}

void DropKeptAsStored(const SStoredKey& tree, const std::vector<SStoreChange>& kept,
                      std::vector<SStoreChange>* pChanges) {
  if (kept.empty()) return;
  const auto isKept = [&](const SStoreChange& change) {
    if (!OverwritesOtherType(tree, change)) return false;
    return std::any_of(kept.begin(), kept.end(), [&](const SStoreChange& first) {
      return IsSameKeyName(first.strPath, change.strPath) && IsSameKeyName(first.strName, change.strName) &&
             first.dwType == change.dwType && first.strData == change.strData;
    });
  };
  pChanges->erase(std::remove_if(pChanges->begin(), pChanges->end(), isKept), pChanges->end());
}

std::vector<SStoreChange> CChangeCollector::TakeChanges() {
  Sweep(m_tree, std::string());
  return std::move(m_changes);
}

void CChangeCollector::Sweep(SStoredKey& node, const std::string& strPath) {
  for (SStoredKey::SValue& value : node.values) {
    if (!value.bWritten) Add({EStoreChange::RemoveValue, strPath, value.strName, 0, std::string()});
    value.bWritten = false;
  }
  for (auto& subKey : node.subKeys) {
    if (subKey.second.bWritten) {
      Sweep(subKey.second, ChildPath(strPath, subKey.first.c_str()));
    } else {
      Add({EStoreChange::RemoveKey, strPath, subKey.first, 0, std::string()});
    }
    subKey.second.bWritten = false;
  }
}

bool IsSameStoredData(std::uint32_t dwType, const std::string& strStored, const void* pData, std::size_t cbData) {
  const char* pBytes = static_cast<const char*>(pData);
  if (strStored.size() == cbData) return cbData == 0 || std::memcmp(strStored.data(), pBytes, cbData) == 0;
  if (dwType != STORE_REG_SZ) return false;
  // The system may have kept a terminating zero with the text.
  if (strStored.size() == cbData + 1) {
    return strStored.back() == 0 && (cbData == 0 || std::memcmp(strStored.data(), pBytes, cbData) == 0);
  }
  if (strStored.size() + 1 == cbData) {
    return pBytes[cbData - 1] == 0 &&
           (strStored.empty() || std::memcmp(strStored.data(), pBytes, strStored.size()) == 0);
  }
  return false;
}

namespace {

// Changes at or above this number are applied by several threads. Within one
// change set no two changes touch the same value or a key and something below
// it, so their order does not matter; each thread takes a run of whole keys.
constexpr std::size_t kChangesAppliedTogether = 2048;
constexpr std::size_t kApplyingThreads = 4;

CResult ApplyRun(IStoreKey& productKey, const SStoreChange* pFirst, const SStoreChange* pEnd) {
  CKeyChain chain(productKey);
  for (const SStoreChange* pChange = pFirst; pChange != pEnd; ++pChange) {
    const SStoreChange& change = *pChange;
    if (!IsSound(change)) return CResult(RESULT_INVALID_PARAMETER);
    IStoreKey* pKey = nullptr;
    CResult result = chain.Open(change.strPath, &pKey);
    if (!result.IsOk()) return result;
    switch (change.eKind) {
      case EStoreChange::CreateKey: {
        std::unique_ptr<IStoreKey> pCreated;
        result = pKey->CreateKey(change.strName.c_str(), &pCreated);
        if (result.IsOk() && pCreated) chain.Push(change.strName, std::move(pCreated));
        break;
      }
      case EStoreChange::SetValue:
        result = pKey->SetValue(change.strName.c_str(), change.dwType, change.strData.data(), change.strData.size());
        break;
      case EStoreChange::RemoveValue:
        result = pKey->RemoveValue(change.strName.c_str());
        break;
      case EStoreChange::RemoveKey:
        result = pKey->RemoveSubKey(change.strName.c_str());
        break;
    }
    if (result.Code() == RESULT_FILE_NOT_FOUND && change.eKind != EStoreChange::SetValue &&
        change.eKind != EStoreChange::CreateKey) {
      result = CResult();
    }
    if (!result.IsOk()) return result;
  }
  return CResult();
}

}  // namespace

CResult ApplyStoreChanges(IStoreKey& productKey, const std::vector<SStoreChange>& changes, bool bTogether) {
  const SStoreChange* pBegin = changes.data();
  const SStoreChange* pEnd = pBegin + changes.size();
  if (!bTogether || changes.size() < kChangesAppliedTogether) return ApplyRun(productKey, pBegin, pEnd);
  // Runs of about equal size, each ending where the key changes.
  std::vector<const SStoreChange*> bounds = {pBegin};
  for (std::size_t n = 1; n < kApplyingThreads; ++n) {
    const SStoreChange* pBound = std::max(bounds.back(), pBegin + changes.size() * n / kApplyingThreads);
    while (pBound != pBegin && pBound != pEnd && pBound->strPath == (pBound - 1)->strPath) ++pBound;
    bounds.push_back(pBound);
  }
  bounds.push_back(pEnd);
  std::vector<CResult> results(kApplyingThreads);
  RunTogether(kApplyingThreads,
              [&](std::size_t nRun) { results[nRun] = ApplyRun(productKey, bounds[nRun], bounds[nRun + 1]); });
  for (const CResult& result : results) {
    if (!result.IsOk()) return result;
  }
  return CResult();
}

std::string EncodeStoreChanges(const std::vector<SStoreChange>& changes) {
  std::string strBytes;
  for (const SStoreChange& change : changes) {
    strBytes.push_back(static_cast<char>(change.eKind));
    PutText(&strBytes, change.strPath);
    PutText(&strBytes, change.strName);
    PutNumber(&strBytes, change.dwType);
    PutText(&strBytes, change.strData);
  }
  return strBytes;
}

bool DecodeStoreChanges(const std::string& strBytes, std::vector<SStoreChange>* pChanges) {
  pChanges->clear();
  CReader reader(strBytes);
  while (!reader.AtEnd()) {
    SStoreChange change;
    std::uint8_t bKind = 0;
    if (!reader.Byte(&bKind) || bKind < static_cast<std::uint8_t>(EStoreChange::CreateKey) ||
        bKind > static_cast<std::uint8_t>(EStoreChange::RemoveKey)) {
      return false;
    }
    change.eKind = static_cast<EStoreChange>(bKind);
    if (!reader.Text(&change.strPath) || !reader.Text(&change.strName) || !reader.Number(&change.dwType) ||
        !reader.Text(&change.strData)) {
      return false;
    }
    if (!IsSound(change)) return false;
    pChanges->push_back(std::move(change));
  }
  return true;
}
