// The settings objects' view of a key (IStoreKey) on a real registry key. Changes
// go through RegistryValues_win.h, like every other change the settings make.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "console/settings/store/StoreKey.h"
#include "shared/OwnedResources_win.h"

class CRegistryStoreKey : public IStoreKey {
 public:
  // Works on hKey without owning it: the caller keeps it open and closes it.
  explicit CRegistryStoreKey(HKEY hKey) : m_hKey(hKey) {}
  // Owns the key and closes it with itself.
  explicit CRegistryStoreKey(CRegCloseKey ownedKey) : m_ownedKey(std::move(ownedKey)), m_hKey(m_ownedKey.Get()) {}

  std::unique_ptr<IStoreKey> OpenSubKey(const char* szName) override;
  CResult CreateKey(const char* szName, std::unique_ptr<IStoreKey>* ppKey) override;
  std::vector<std::string> SubKeyNames() override;
  std::vector<std::string> ValueNames() override;
  // Reads the whole value, however long.
  bool ReadValue(const char* szName, std::string* pData) override;
  bool ReadTypedValue(const char* szName, std::uint32_t* pType, std::string* pData) override;
  CResult ReadAllValues(std::vector<SStoreValue>* pValues) override;
  CResult SetValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) override;
  CResult RemoveValue(const char* szName) override;
  CResult RemoveSubKey(const char* szName) override;

 private:
  CRegCloseKey m_ownedKey;
  HKEY m_hKey;
};
