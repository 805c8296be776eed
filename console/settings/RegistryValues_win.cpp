#include "console/settings/RegistryValues_win.h"

#include <shlwapi.h>

#include <cstring>
#include <vector>

#include "console/settings/RegistryValueData.h"
#include "shared/BoundedCopy.h"

namespace {

int g_nChangeCount = 0;
int g_nChangesAllowed = -1;
bool g_bStopAfterFault = false;
bool g_bStopped = false;

// Counts a change and tells whether it may be made.
bool MayChange() {
  ++g_nChangeCount;
  if (g_bStopped) return false;
  if (g_nChangesAllowed < 0) return true;
  if (g_nChangesAllowed > 0) {
    --g_nChangesAllowed;
    return true;
  }
  // This change fails; the fault is used up unless the process "stopped" here.
  g_nChangesAllowed = -1;
  g_bStopped = g_bStopAfterFault;
  return false;
}

}  // namespace

int GetRegistryChangeCount() {
  return g_nChangeCount;
}

void SetRegistryChangeFault(int nAllowed, bool bStop) {
  g_nChangesAllowed = nAllowed < 0 ? -1 : nAllowed;
  g_bStopAfterFault = bStop;
  g_bStopped = false;
}

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
  if (!MayChange()) return false;
  const char* szData = szText ? szText : "";
  return ::RegSetValueExA(hKey, szName, 0, REG_SZ, reinterpret_cast<const BYTE*>(szData),
                          static_cast<DWORD>(std::strlen(szData))) == ERROR_SUCCESS;
}

bool WriteNumberValue(HKEY hKey, const char* szName, std::uint32_t nNumber, DWORD cbBytes) {
  unsigned char data[4];
  NumberToValueData(nNumber, data);
  return WriteBinaryValue(hKey, szName, data, cbBytes < 1 ? 1 : cbBytes > 4 ? 4 : cbBytes);
}

bool WriteBinaryValue(HKEY hKey, const char* szName, const void* pData, DWORD cbData) {
  if (!MayChange()) return false;
  return ::RegSetValueExA(hKey, szName, 0, REG_BINARY, static_cast<const BYTE*>(pData), cbData) == ERROR_SUCCESS;
}

bool DeleteSettingsValue(HKEY hKey, const char* szName) {
  if (!MayChange()) return false;
  return ::RegDeleteValueA(hKey, szName) == ERROR_SUCCESS;
}

bool CreateSettingsKey(HKEY hParent, const char* szName, CRegCloseKey& key) {
  key.Reset();
  if (!MayChange()) return false;
  return ::RegCreateKeyExA(hParent, szName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.Receive(),
                           nullptr) == ERROR_SUCCESS;
}

bool OpenSettingsKey(HKEY hParent, const char* szName, CRegCloseKey& key, REGSAM samDesired) {
  return ::RegOpenKeyExA(hParent, szName, 0, samDesired, key.Receive()) == ERROR_SUCCESS;
}

bool DeleteSettingsTree(HKEY hParent, const char* szName) {
  if (!MayChange()) return false;
  return ::SHDeleteKeyA(hParent, szName) == ERROR_SUCCESS;
}

bool CopySettingsTree(HKEY hFrom, HKEY hTo) {
  // Wide names and raw data: every value keeps its type and exact size.
  DWORD cSubKeys = 0, cchMaxSubKey = 0, cValues = 0, cchMaxValueName = 0, cbMaxValue = 0;
  if (::RegQueryInfoKeyW(hFrom, nullptr, nullptr, nullptr, &cSubKeys, &cchMaxSubKey, nullptr, &cValues,
                         &cchMaxValueName, &cbMaxValue, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  std::vector<wchar_t> name((cchMaxSubKey > cchMaxValueName ? cchMaxSubKey : cchMaxValueName) + 1);
  std::vector<BYTE> data(cbMaxValue + 1);
  for (DWORD i = 0; i < cValues; ++i) {
    DWORD cchName = static_cast<DWORD>(name.size());
    DWORD cbData = static_cast<DWORD>(data.size());
    DWORD dwType = 0;
    if (::RegEnumValueW(hFrom, i, name.data(), &cchName, nullptr, &dwType, data.data(), &cbData) != ERROR_SUCCESS)
      return false;
    if (!MayChange()) return false;
    if (::RegSetValueExW(hTo, name.data(), 0, dwType, data.data(), cbData) != ERROR_SUCCESS) return false;
  }
  for (DWORD i = 0; i < cSubKeys; ++i) {
    DWORD cchName = static_cast<DWORD>(name.size());
    if (::RegEnumKeyExW(hFrom, i, name.data(), &cchName, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return false;
    CRegCloseKey from, to;
    if (::RegOpenKeyExW(hFrom, name.data(), 0, KEY_READ, from.Receive()) != ERROR_SUCCESS) return false;
    if (!MayChange()) return false;
    if (::RegCreateKeyExW(hTo, name.data(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, to.Receive(),
                          nullptr) != ERROR_SUCCESS)
      return false;
    if (!CopySettingsTree(from.Get(), to.Get())) return false;
  }
  return true;
}
