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

CResult WriteValue(HKEY hKey, const char* szName, const SRegistryValue& value) {
  if (!value.bPresent) {
    const LONG lResult = ::RegDeleteValueA(hKey, szName);
    return CResult(lResult == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<DWORD>(lResult));
  }
  return CResult(static_cast<DWORD>(::RegSetValueExA(hKey, szName, 0, value.dwType,
                                                     reinterpret_cast<const BYTE*>(value.strData.data()),
                                                     static_cast<DWORD>(value.strData.size()))));
}

bool OpenKey(const char* szPath, REGSAM access, CRegCloseKey& key) {
  HKEY hKey = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, szPath, 0, access, &hKey) != ERROR_SUCCESS) return false;
  key.Reset(hKey);
  return true;
}

CResult CreateKey(const char* szPath, CRegCloseKey& key) {
  HKEY hKey = nullptr;
  const LONG lResult = ::RegCreateKeyExA(HKEY_CURRENT_USER, szPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                         nullptr, &hKey, nullptr);
  if (lResult == ERROR_SUCCESS) key.Reset(hKey);
  return CResult(static_cast<DWORD>(lResult));
}

SProxySettingValues ReadValues(HKEY hKey) {
  SProxySettingValues values;
  for (const SSettingValue& value : kSettingValues) values.*value.pMember = ReadValue(hKey, value.szName);
  return values;
}

// Every value is tried; the first failure is the result.
CResult WriteValues(HKEY hKey, const SProxySettingValues& values) {
  CResult result;
  for (const SSettingValue& value : kSettingValues) {
    CResult written = WriteValue(hKey, value.szName, values.*value.pMember);
    if (result.IsOk()) result = std::move(written);
  }
  return result;
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

CResult WriteSystemProxySetting(const SProxySettingValues& values) {
  CRegCloseKey key;
  const CResult created = CreateKey(kInternetSettingsKeyPath, key);
  if (!created.IsOk()) return created;
  CResult written = WriteValues(key.Get(), values);
  key.Reset();
  TellPrograms();
  return written;
}

CResult KeepProxySetting(const SProxySettingValues& user, const SProxySettingValues& written) {
  // A fresh copy: a value missing from the setting is missing from the copy.
  const CResult dropped = DropKeptProxySetting();
  if (!dropped.IsOk()) return dropped;
  CRegCloseKey key;
  CRegCloseKey writtenKey;
  const std::string strWrittenPath = std::string(kKeptProxySettingKeyPath) + kWrittenSubkey;
  const DWORD dwMark = 1;
  CResult kept = CreateKey(kKeptProxySettingKeyPath, key);
  if (kept.IsOk()) kept = CreateKey(strWrittenPath.c_str(), writtenKey);
  if (kept.IsOk()) kept = WriteValues(writtenKey.Get(), written);
  if (kept.IsOk()) kept = CResult(static_cast<DWORD>(::RegFlushKey(writtenKey.Get())));
  if (kept.IsOk()) kept = WriteValues(key.Get(), user);
  if (kept.IsOk()) {
    kept = CResult(static_cast<DWORD>(::RegSetValueExA(key.Get(), kKeptMarkName, 0, REG_DWORD,
                                                       reinterpret_cast<const BYTE*>(&dwMark), sizeof(dwMark))));
  }
  if (kept.IsOk()) kept = CResult(static_cast<DWORD>(::RegFlushKey(key.Get())));
  if (!kept.IsOk()) {
    key.Reset();
    writtenKey.Reset();
    static_cast<void>(DropKeptProxySetting());  // an incomplete copy, without its mark, is only ever dropped
  }
  return kept;
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

CResult DropKeptProxySetting() {
  const std::string strWrittenPath = std::string(kKeptProxySettingKeyPath) + kWrittenSubkey;
  ::RegDeleteKeyA(HKEY_CURRENT_USER, strWrittenPath.c_str());
  const LONG lResult = ::RegDeleteKeyA(HKEY_CURRENT_USER, kKeptProxySettingKeyPath);
  return CResult(lResult == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<DWORD>(lResult));
}

CResult RestoreKeptProxySetting() {
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
    if (!IsSameSetting(back, current)) {
      const CResult written = WriteSystemProxySetting(back);
      if (!written.IsOk()) return written;
    }
  }
  return DropKeptProxySetting();
}

bool DoesWinInetFollowScripts() {
  return !IsUnderWine();
}
