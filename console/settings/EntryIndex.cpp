#include "console/settings/EntryIndex.h"

#include <algorithm>
#include <functional>

#include "console/settings/TextCompare.h"

CEntryKey& CEntryKey::AddText(const std::string& strText) {
  const std::string strKey = TextCaseKey(strText.c_str());
  AddField(strKey.data(), strKey.size());
  return *this;
}

CEntryKey& CEntryKey::AddNumber(std::int32_t nValue) {
  const char abValue[4] = {static_cast<char>(nValue & 0xFF), static_cast<char>((nValue >> 8) & 0xFF),
                           static_cast<char>((nValue >> 16) & 0xFF), static_cast<char>((nValue >> 24) & 0xFF)};
  AddField(abValue, sizeof(abValue));
  return *this;
}

CEntryKey& CEntryKey::AddKind(const SEntryKind& kind) {
  AddNumber(static_cast<std::int32_t>(kind.eValue));
  return AddText(kind.eValue == EEntryKind::Unnamed ? kind.strAsStored : std::string());
}

void CEntryKey::AddField(const char* pBytes, std::size_t cb) {
  const std::uint32_t nLength = static_cast<std::uint32_t>(cb);
  m_strKey.append(reinterpret_cast<const char*>(&nLength), sizeof(nLength));
  m_strKey.append(pBytes, cb);
}

std::size_t CEntryKey::Hash() const {
  return std::hash<std::string>()(m_strKey);
}

void CEntryIndex::Add(std::size_t nHash, int nIndex) {
  m_buckets[nHash].push_back(nIndex);
}

void CEntryIndex::Remove(int nIndex) {
  for (auto it = m_buckets.begin(); it != m_buckets.end();) {
    std::vector<int>& indexes = it->second;
    indexes.erase(std::remove(indexes.begin(), indexes.end(), nIndex), indexes.end());
    for (int& n : indexes) {
      if (n > nIndex) --n;
    }
    it = indexes.empty() ? m_buckets.erase(it) : std::next(it);
  }
}
