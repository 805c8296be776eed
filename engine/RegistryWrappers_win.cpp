// CLSPGlobals: thin registry wrappers, 1 on success and 0 on failure. None of them
// scrambles anything, the "Enc" in three of the names notwithstanding.
#include <cstring>

#include "engine/LSPGlobals.h"
#include "shared/OwnedResources_win.h"

namespace {

constexpr DWORD kValueReadLimit = 260;

bool IsEmptyName(const char* szName) {
  return !szName || szName[0] == 0;
}

}  // namespace

int CLSPGlobals::OwnerRegConnectRegistry(HKEY hRoot, HKEY* phKey) {
  if (!phKey) return 0;
  return ::RegConnectRegistryA(nullptr, hRoot, phKey) == ERROR_SUCCESS ? 1 : 0;
}

int CLSPGlobals::OwnerRegCreateKeyEx(HKEY hParent, const char* szSubKey, HKEY* phKey) {
  if (!phKey) return 0;
  DWORD dwDisposition = 0;
  return ::RegCreateKeyExA(hParent, szSubKey ? szSubKey : "", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, phKey, &dwDisposition) == ERROR_SUCCESS
             ? 1
             : 0;
}

int CLSPGlobals::OwnerRegCreateEncKeyEx(HKEY hParent, const char* szSubKey, HKEY* phKey) {
  return OwnerRegCreateKeyEx(hParent, szSubKey, phKey);
}

int CLSPGlobals::OwnerRegQueryValueEx(HKEY hKey, const char* szValueName, char* szOut) {
  if (!szOut) return 0;
  // Read into a buffer of our own: the caller's is touched only by a good read.
  BYTE data[kValueReadLimit + 1] = {};
  DWORD dwType = 0;
  DWORD cbData = kValueReadLimit;
  if (::RegQueryValueExA(hKey, szValueName, nullptr, &dwType, data, &cbData) != ERROR_SUCCESS) return 0;
  const bool bText = dwType == REG_SZ || dwType == REG_EXPAND_SZ || dwType == REG_MULTI_SZ;
  if (bText && !std::memchr(data, 0, cbData)) {
    // Text stored without its terminator: it needs one more byte than it has.
    if (cbData >= kValueReadLimit) return 0;
    data[cbData++] = 0;
  }
  std::memcpy(szOut, data, cbData);
  return 1;
}

int CLSPGlobals::OwnerRegQueryEncValueEx(HKEY hParent, const char* szSubKey, const char* szValueName, char* szOut) {
  CRegCloseKey key;
  if (::RegOpenKeyExA(hParent, szSubKey ? szSubKey : "", 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) {
    return 0;
  }
  return OwnerRegQueryValueEx(key.Get(), szValueName, szOut);
}

int CLSPGlobals::OwnerRegSetEncValueEx(HKEY hParent, const char* szSubKey, const char* szValueName, DWORD dwType,
                                       const BYTE* pData, DWORD cbData) {
  CRegCloseKey subKey;
  HKEY hTarget = hParent;
  if (!IsEmptyName(szSubKey)) {
    if (::RegOpenKeyExA(hParent, szSubKey, 0, KEY_SET_VALUE, subKey.Receive()) != ERROR_SUCCESS) return 0;
    hTarget = subKey.Get();
  }
  return ::RegSetValueExA(hTarget, szValueName, 0, dwType, pData, cbData) == ERROR_SUCCESS ? 1 : 0;
}
