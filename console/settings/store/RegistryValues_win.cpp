#include "console/settings/store/RegistryValues_win.h"

#include <shlwapi.h>

#include <cstring>

#include "console/settings/store/RegistryValueData.h"

namespace {
CResult RegistryResult(LONG lResult) {
  return CResult(static_cast<DWORD>(lResult));
}
}  // namespace

void ReadTextValue(HKEY hKey, const char* szName, std::string& strField) {
  unsigned char data[kRegistryReadBufferSize];
  DWORD cbData = sizeof(data);
  if (::RegQueryValueExA(hKey, szName, nullptr, nullptr, data, &cbData) != ERROR_SUCCESS || cbData == 0) return;
  strField = TextOfValueData(data, cbData);
}

CResult WriteTextValue(HKEY hKey, const char* szName, const char* szText) {
  const char* szData = szText ? szText : "";
  return SetRegistryValue(hKey, szName, REG_SZ, szData, static_cast<DWORD>(std::strlen(szData)));
}

CResult SetRegistryValue(HKEY hKey, const char* szName, DWORD dwType, const void* pData, DWORD cbData) {
  return RegistryResult(::RegSetValueExA(hKey, szName, 0, dwType, static_cast<const BYTE*>(pData), cbData));
}

CResult DeleteRegistryValue(HKEY hKey, const char* szName) {
  return RegistryResult(::RegDeleteValueA(hKey, szName));
}

CResult CreateRegistryKey(HKEY hParent, const char* szName, CRegCloseKey& key) {
  key.Reset();
  return RegistryResult(::RegCreateKeyExA(hParent, szName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                          key.Receive(), nullptr));
}

CResult OpenRegistryKey(HKEY hParent, const char* szName, CRegCloseKey& key, REGSAM samDesired) {
  return RegistryResult(::RegOpenKeyExA(hParent, szName, 0, samDesired, key.Receive()));
}

CResult DeleteRegistryTree(HKEY hParent, const char* szName) {
  return RegistryResult(static_cast<LONG>(::SHDeleteKeyA(hParent, szName)));
}
