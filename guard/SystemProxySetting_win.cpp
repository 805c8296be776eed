// The system proxy setting and its kept copy (see SystemProxySetting_win.h).
#include "guard/SystemProxySetting_win.h"

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "shared/OwnedResources_win.h"
#include "shared/UnderWine_win.h"

namespace {

constexpr const char* kKeptMarkName = "Kept";
constexpr const char* kWrittenSubkey = "\\Written";
// The three values of the setting, by name and by member.
struct SSettingValue {
  const char* szName;
  SRegistryValue SProxySettingValues::*pMember;
};
constexpr SSettingValue kSettingValues[] = {{kProxyEnableName, &SProxySettingValues::enable},
                                            {kProxyServerName, &SProxySettingValues::server},
                                            {kProxyOverrideName, &SProxySettingValues::override},
                                            {kAutoConfigUrlName, &SProxySettingValues::autoConfig}};

SRegistryValue ReadValue(HKEY hKey, const char* szName) {
  SRegistryValue value;
  DWORD dwType = 0;
  DWORD cbData = 0;
  if (::RegQueryValueExA(hKey, szName, nullptr, &dwType, nullptr, &cbData) != ERROR_SUCCESS) return value;
  std::vector<char> data(cbData + 1);
  if (::RegQueryValueExA(hKey, szName, nullptr, &dwType, reinterpret_cast<BYTE*>(data.data()), &cbData) !=
          ERROR_SUCCESS ||
      cbData > data.size())
    return value;
  value.bPresent = true;
  value.dwType = dwType;
  value.strData.assign(data.data(), cbData);
  return value;
}

bool WriteValue(HKEY hKey, const char* szName, const SRegistryValue& value) {
  if (!value.bPresent) {
    const LONG lResult = ::RegDeleteValueA(hKey, szName);
    return lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND;
  }
  return ::RegSetValueExA(hKey, szName, 0, value.dwType, reinterpret_cast<const BYTE*>(value.strData.data()),
                          static_cast<DWORD>(value.strData.size())) == ERROR_SUCCESS;
}

bool OpenKey(const char* szPath, REGSAM access, CRegCloseKey& key) {
  HKEY hKey = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, szPath, 0, access, &hKey) != ERROR_SUCCESS) return false;
  key.Reset(hKey);
  return true;
}

bool CreateKey(const char* szPath, CRegCloseKey& key) {
  HKEY hKey = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, szPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &hKey,
                        nullptr) != ERROR_SUCCESS)
    return false;
  key.Reset(hKey);
  return true;
}

SProxySettingValues ReadValues(HKEY hKey) {
  SProxySettingValues values;
  for (const SSettingValue& value : kSettingValues) values.*value.pMember = ReadValue(hKey, value.szName);
  return values;
}

bool WriteValues(HKEY hKey, const SProxySettingValues& values) {
  bool bAll = true;
  for (const SSettingValue& value : kSettingValues)
    bAll = WriteValue(hKey, value.szName, values.*value.pMember) && bAll;
  return bAll;
}

// Programs that use WinINet read the setting again.
void TellPrograms() {
  ::InternetSetOptionA(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
  ::InternetSetOptionA(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
}

}  // namespace

SProxySettingValues ReadSystemProxySetting() {
  CRegCloseKey key;
  if (!OpenKey(kInternetSettingsKeyPath, KEY_QUERY_VALUE, key)) return SProxySettingValues();
  return ReadValues(key.Get());
}

bool WriteSystemProxySetting(const SProxySettingValues& values) {
  CRegCloseKey key;
  if (!CreateKey(kInternetSettingsKeyPath, key)) return false;
  const bool bWritten = WriteValues(key.Get(), values);
  key.Reset();
  TellPrograms();
  return bWritten;
}

bool KeepProxySetting(const SProxySettingValues& user, const SProxySettingValues& written) {
  // A fresh copy: a value missing from the setting is missing from the copy.
  if (!DropKeptProxySetting()) return false;
  CRegCloseKey key;
  CRegCloseKey writtenKey;
  const std::string strWrittenPath = std::string(kKeptProxySettingKeyPath) + kWrittenSubkey;
  const DWORD dwMark = 1;
  if (!CreateKey(kKeptProxySettingKeyPath, key) || !CreateKey(strWrittenPath.c_str(), writtenKey) ||
      !WriteValues(writtenKey.Get(), written) || ::RegFlushKey(writtenKey.Get()) != ERROR_SUCCESS ||
      !WriteValues(key.Get(), user) ||
      ::RegSetValueExA(key.Get(), kKeptMarkName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwMark),
                       sizeof(dwMark)) != ERROR_SUCCESS ||
      ::RegFlushKey(key.Get()) != ERROR_SUCCESS) {
    key.Reset();
    writtenKey.Reset();
    DropKeptProxySetting();
    return false;
  }
  return true;
}

bool ReadKeptProxySetting(SProxySettingValues* pUser, SProxySettingValues* pWritten, bool* pbWrittenKept) {
  CRegCloseKey key;
  if (!OpenKey(kKeptProxySettingKeyPath, KEY_QUERY_VALUE, key)) return false;
  if (!ReadValue(key.Get(), kKeptMarkName).bPresent) return false;
  *pUser = ReadValues(key.Get());
  CRegCloseKey writtenKey;
  *pbWrittenKept = OpenKey((std::string(kKeptProxySettingKeyPath) + kWrittenSubkey).c_str(), KEY_QUERY_VALUE, writtenKey);
  *pWritten = *pbWrittenKept ? ReadValues(writtenKey.Get()) : SProxySettingValues();
  return true;
}

bool DropKeptProxySetting() {
  const std::string strWrittenPath = std::string(kKeptProxySettingKeyPath) + kWrittenSubkey;
  ::RegDeleteKeyA(HKEY_CURRENT_USER, strWrittenPath.c_str());
  const LONG lResult = ::RegDeleteKeyA(HKEY_CURRENT_USER, kKeptProxySettingKeyPath);
  return lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND;
}

bool RestoreKeptProxySetting() {
  SProxySettingValues user;
  SProxySettingValues written;
  bool bWrittenKept = false;
  // An incomplete copy was made before the setting changed: nothing to put back.
  if (ReadKeptProxySetting(&user, &written, &bWrittenKept)) {
    const SProxySettingValues current = ReadSystemProxySetting();
    SProxySettingValues back;
    if (bWrittenKept) {
      back = SettingToPutBack(user, written, current);
    } else {
      back = user;
      back.autoConfig = current.autoConfig;
    }
    if (!IsSameSetting(back, current) && !WriteSystemProxySetting(back)) return false;
  }
  return DropKeptProxySetting();
}

bool DoesWinInetFollowScripts() {
  return !IsUnderWine();
}
