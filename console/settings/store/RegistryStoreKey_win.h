// The list and log objects' view of a key (IStoreKey) on a real registry key, and
// the link that joins such an object to the settings store. Changes go through the
// writers of RegistryValues_win.h, like every other change the settings make.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "console/settings/store/SettingsSubkey.h"
#include "console/settings/store/StoreKey.h"
#include "shared/OwnedResources_win.h"

class CRegistryStoreKey : public IStoreKey {
 public:
  // Works on hKey without owning it: the caller keeps it open and closes it.
  explicit CRegistryStoreKey(HKEY hKey) : m_hKey(hKey) {}
  // Owns the key and closes it with itself.
  explicit CRegistryStoreKey(CRegCloseKey ownedKey) : m_ownedKey(std::move(ownedKey)), m_hKey(m_ownedKey.Get()) {}

  std::unique_ptr<IStoreKey> OpenSubKey(const char* szName) override;
  StoreResult CreateKey(const char* szName, std::unique_ptr<IStoreKey>* ppKey) override;
  std::vector<std::string> SubKeyNames() override;
  std::vector<std::string> ValueNames() override;
  // Reads the whole value, however long.
  bool ReadValue(const char* szName, std::string* pData) override;
  bool ReadTypedValue(const char* szName, std::uint32_t* pType, std::string* pData) override;
  bool ReadAllValues(std::vector<SStoreValue>* pValues) override;
  StoreResult SetValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) override;
  StoreResult RemoveValue(const char* szName) override;
  StoreResult RemoveSubKey(const char* szName) override;

 private:
  CRegCloseKey m_ownedKey;
  HKEY m_hKey;
};

// A settings object that reads and writes through IStoreKey, as the settings
// store sees it. TSettings offers ReadFromKey(IStoreKey&) and
// bool WriteToKey(IStoreKey&) const.
template <class TSettings>
class CStoreKeySubkey : public CSettingsSubkey {
 public:
  explicit CStoreKeySubkey(TSettings& settings) : m_settings(settings) {}
  void ReadFromKey(HKEY hAppRegKey) override {
    CRegistryStoreKey key(hAppRegKey);
    m_settings.ReadFromKey(key);
  }
  void ReadFromStoreKey(IStoreKey& appKey, HKEY) override { m_settings.ReadFromKey(appKey); }
  bool WriteToKey(IStoreKey& appKey) const override { return m_settings.WriteToKey(appKey); }

 private:
  TSettings& m_settings;
};
