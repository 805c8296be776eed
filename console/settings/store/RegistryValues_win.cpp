#include "console/settings/store/RegistryValues_win.h"

#include <shlwapi.h>

#include <cstring>

#include "console/settings/store/RegistryValueData.h"
#include "shared/BoundedCopy.h"

bool ReadValueBytes(HKEY hKey, const char* szName, unsigned char (&data)[202], DWORD& cbData) {
  static_assert(sizeof(data) == kRegistryReadBufferSize, "one read buffer size for every value");
  cbData = sizeof(data);
  return ::RegQueryValueExA(hKey, szName, nullptr, nullptr, data, &cbData) == ERROR_SUCCESS;
}

void ReadTextValue(HKEY hKey, const char* szName, std::string& strField) {
  unsigned char data[kRegistryReadBufferSize];
  DWORD cbData = 0;
  if (!ReadValueBytes(hKey, szName, data, cbData) || cbData == 0) return;
  strField = TextOfValueData(data, cbData);
}

void ReadTextValue(HKEY hKey, const char* szName, char* szField, std::size_t cbField) {
  unsigned char data[kRegistryReadBufferSize];
  DWORD cbData = 0;
  if (!ReadValueBytes(hKey, szName, data, cbData) || cbData == 0) return;
  CopyBounded(szField, cbField, TextOfValueData(data, cbData).c_str());
}

void ReadCopiedValue(HKEY hKey, const char* szName, std::int32_t& nField) {
  unsigned char data[kRegistryReadBufferSize];
  DWORD cbData = 0;
  if (ReadValueBytes(hKey, szName, data, cbData)) nField = CopiedValueData(data, cbData, nField);
}

void ReadLowByteValue(HKEY hKey, const char* szName, std::int32_t& nField) {
  unsigned char data[kRegistryReadBufferSize];
  DWORD cbData = 0;
  if (ReadValueBytes(hKey, szName, data, cbData)) nField = LowByteOfValueData(data, cbData, nField);
}

bool WriteTextValue(HKEY hKey, const char* szName, const char* szText) {
  const char* szData = szText ? szText : "";
  return SetRegistryValue(hKey, szName, REG_SZ, szData, static_cast<DWORD>(std::strlen(szData))) == ERROR_SUCCESS;
}

bool WriteNumberValue(HKEY hKey, const char* szName, std::uint32_t nNumber, DWORD cbBytes) {
  unsigned char data[4];
  NumberToValueData(nNumber, data);
  return WriteBinaryValue(hKey, szName, data, cbBytes < 1 ? 1 : cbBytes > 4 ? 4 : cbBytes);
}

bool WriteBinaryValue(HKEY hKey, const char* szName, const void* pData, DWORD cbData) {
  return SetRegistryValue(hKey, szName, REG_BINARY, pData, cbData) == ERROR_SUCCESS;
}

bool WriteTypedValue(HKEY hKey, const char* szName, DWORD dwType, const void* pData, DWORD cbData) {
  return SetRegistryValue(hKey, szName, dwType, pData, cbData) == ERROR_SUCCESS;
}

bool DeleteSettingsValue(HKEY hKey, const char* szName) {
  return DeleteRegistryValue(hKey, szName) == ERROR_SUCCESS;
}

bool CreateSettingsKey(HKEY hParent, const char* szName, CRegCloseKey& key) {
  return CreateRegistryKey(hParent, szName, key) == ERROR_SUCCESS;
}

bool OpenSettingsKey(HKEY hParent, const char* szName, CRegCloseKey& key, REGSAM samDesired) {
  return OpenRegistryKey(hParent, szName, key, samDesired) == ERROR_SUCCESS;
}

bool DeleteSettingsTree(HKEY hParent, const char* szName) {
  return DeleteRegistryTree(hParent, szName) == ERROR_SUCCESS;
}

LONG SetRegistryValue(HKEY hKey, const char* szName, DWORD dwType, const void* pData, DWORD cbData) {
  return ::RegSetValueExA(hKey, szName, 0, dwType, static_cast<const BYTE*>(pData), cbData);
}

LONG DeleteRegistryValue(HKEY hKey, const char* szName) {
  return ::RegDeleteValueA(hKey, szName);
}

LONG CreateRegistryKey(HKEY hParent, const char* szName, CRegCloseKey& key) {
  key.Reset();
  return ::RegCreateKeyExA(hParent, szName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.Receive(),
                           nullptr);
}

LONG OpenRegistryKey(HKEY hParent, const char* szName, CRegCloseKey& key, REGSAM samDesired) {
  return ::RegOpenKeyExA(hParent, szName, 0, samDesired, key.Receive());
}

LONG DeleteRegistryTree(HKEY hParent, const char* szName) {
  return static_cast<LONG>(::SHDeleteKeyA(hParent, szName));
}
