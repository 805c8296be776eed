#include "console/settings/StoreKey.h"

#include <algorithm>
#include <cstring>

#include "console/settings/TextCompare.h"

bool ReadTextValue(IStoreKey& key, const char* szName, std::string* pField, bool bAssignEmpty) {
  std::string strData;
  if (!key.ReadValue(szName, &strData)) return false;
  const std::size_t nZero = strData.find('\0');
  if (nZero != std::string::npos) strData.resize(nZero);
  if (strData.empty() && !bAssignEmpty) return false;
  *pField = strData;
  return true;
}

bool ReadBytesValue(IStoreKey& key, const char* szName, void* pField, std::size_t cbField) {
  std::string strData;
  if (!key.ReadValue(szName, &strData)) return false;
  std::memcpy(pField, strData.data(), strData.size() < cbField ? strData.size() : cbField);
  return true;
}

bool ReadCopiedValue(IStoreKey& key, const char* szName, std::int32_t* pField) {
  std::string strData;
  if (!key.ReadValue(szName, &strData)) return false;
  unsigned char abBytes[4];
  StoreLittleEndian32(*pField, abBytes);
  for (std::size_t i = 0; i < 4 && i < strData.size(); ++i) abBytes[i] = static_cast<unsigned char>(strData[i]);
  *pField = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(abBytes[0]) | static_cast<std::uint32_t>(abBytes[1]) << 8 |
      static_cast<std::uint32_t>(abBytes[2]) << 16 | static_cast<std::uint32_t>(abBytes[3]) << 24);
  return true;
}

bool ReadByteValue(IStoreKey& key, const char* szName, std::uint8_t* pField) {
  std::string strData;
  if (!key.ReadValue(szName, &strData) || strData.empty()) return false;
  *pField = static_cast<std::uint8_t>(strData[0]);
  return true;
}

bool ReadLowByteValue(IStoreKey& key, const char* szName, std::int32_t* pField) {
  std::uint8_t bValue = 0;
  if (!ReadByteValue(key, szName, &bValue)) return false;
  *pField = bValue;
  return true;
}

void WriteTextValue(IStoreKey& key, const char* szName, const std::string& strText) {
  key.WriteValue(szName, STORE_REG_SZ, strText.data(), strText.size());
}

void WriteNumberValue(IStoreKey& key, const char* szName, std::int32_t nValue) {
  unsigned char abBytes[4];
  StoreLittleEndian32(nValue, abBytes);
  key.WriteValue(szName, STORE_REG_BINARY, abBytes, sizeof(abBytes));
}

void WriteBytesValue(IStoreKey& key, const char* szName, const void* pData, std::size_t cbData) {
  key.WriteValue(szName, STORE_REG_BINARY, pData, cbData);
}

std::string NumberedName(const char* szPrefix, int nNumber) {
  return std::string(szPrefix) + std::to_string(nNumber);
}

void StoreLittleEndian32(std::int32_t nValue, unsigned char abBytes[4]) {
  const auto u = static_cast<std::uint32_t>(nValue);
  abBytes[0] = static_cast<unsigned char>(u);
  abBytes[1] = static_cast<unsigned char>(u >> 8);
  abBytes[2] = static_cast<unsigned char>(u >> 16);
  abBytes[3] = static_cast<unsigned char>(u >> 24);
}

std::vector<int> NumberedSubKeys(IStoreKey& key, const char* szPrefix, std::int32_t nCount) {
  std::vector<int> numbers;
  const std::size_t cchPrefix = std::strlen(szPrefix);
  for (const std::string& strName : key.SubKeyNames()) {
    if (strName.size() <= cchPrefix || !IsSameTextIgnoringCase(strName.substr(0, cchPrefix).c_str(), szPrefix)) {
      continue;
    }
    // Only the name that NumberedName makes: decimal digits, no leading zero.
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
