#include "console/settings/StoreKey.h"

#include <cstring>

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
