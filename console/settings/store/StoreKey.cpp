#include "console/settings/store/StoreKey.h"

#include <algorithm>
#include <cstring>

#include "console/settings/store/RegistryValueData.h"
#include "console/settings/TextCompare.h"

namespace {
const unsigned char* Bytes(const std::string& strData) {
  return reinterpret_cast<const unsigned char*>(strData.data());
}
}  // namespace

CResult IStoreKey::ReadAllValues(std::vector<SStoreValue>* pValues) {
  pValues->clear();
  for (std::string& strName : ValueNames()) {
    SStoreValue value;
    if (!ReadTypedValue(strName.c_str(), &value.dwType, &value.strData)) return CResult(RESULT_CANT_WRITE);
    value.strName = std::move(strName);
    pValues->push_back(std::move(value));
  }
  return CResult();
}

bool ReadStoredCopied(IStoreKey& key, const char* szName, std::int32_t* pField) {
  std::string strData;
  if (!key.ReadValue(szName, &strData)) return false;
  *pField = CopiedValueData(Bytes(strData), strData.size(), *pField);
  return true;
}

bool ReadStoredLowByte(IStoreKey& key, const char* szName, std::int32_t* pField) {
  std::string strData;
  if (!key.ReadValue(szName, &strData) || strData.empty()) return false;
  *pField = static_cast<std::uint8_t>(strData[0]);
  return true;
}

CResult WriteStoredText(IStoreKey& key, const char* szName, const std::string& strText) {
  return key.SetValue(szName, STORE_REG_SZ, strText.data(), strText.size());
}

CResult WriteStoredNumber(IStoreKey& key, const char* szName, std::int32_t nValue) {
  unsigned char abBytes[4];
  NumberToValueData(static_cast<std::uint32_t>(nValue), abBytes);
  return key.SetValue(szName, STORE_REG_BINARY, abBytes, sizeof(abBytes));
}

CResult WriteStoredBytes(IStoreKey& key, const char* szName, const void* pData, std::size_t cbData) {
  return key.SetValue(szName, STORE_REG_BINARY, pData, cbData);
}

std::vector<int> NumberedSubKeys(IStoreKey& key, const char* szPrefix, std::int32_t nCount) {
  std::vector<int> numbers;
  const std::size_t cchPrefix = std::strlen(szPrefix);
  for (const std::string& strName : key.SubKeyNames()) {
    if (strName.size() <= cchPrefix || !IsSameTextIgnoringCase(strName.substr(0, cchPrefix).c_str(), szPrefix)) {
      continue;
    }
    // Only the names that NumberedName makes: decimal digits, no leading zero.
    const std::string strDigits = strName.substr(cchPrefix);
    if (strDigits.size() > 10 || strDigits.find_first_not_of("0123456789") != std::string::npos ||
        (strDigits.size() > 1 && strDigits[0] == '0')) {
      continue;
    }
    const long long nNumber = std::stoll(strDigits);
    if (nNumber < nCount) numbers.push_back(static_cast<int>(nNumber));
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

CResult CopyStoreTree(IStoreKey& from, IStoreKey& to) {
  for (const std::string& strName : from.ValueNames()) {
    std::uint32_t dwType = 0;
    std::string strData;
    if (!from.ReadTypedValue(strName.c_str(), &dwType, &strData)) return CResult(RESULT_CANT_WRITE);
    CResult result = to.SetValue(strName.c_str(), dwType, strData.data(), strData.size());
    if (!result.IsOk()) return result;
  }
  for (const std::string& strName : from.SubKeyNames()) {
    const std::unique_ptr<IStoreKey> pFrom = from.OpenSubKey(strName.c_str());
    if (!pFrom) return CResult(RESULT_CANT_WRITE);
    std::unique_ptr<IStoreKey> pTo;
    CResult result = to.CreateKey(strName.c_str(), &pTo);
    if (result.IsOk()) result = CopyStoreTree(*pFrom, *pTo);
    if (!result.IsOk()) return result;
  }
  return CResult();
}

std::string NumberedName(const char* szPrefix, int nNumber) {
  return std::string(szPrefix) + std::to_string(nNumber);
}
