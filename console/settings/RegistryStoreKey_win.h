// The list and log objects' view of a key (IStoreKey) on a real registry key.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "console/settings/StoreKey.h"
#include "shared/OwnedResources_win.h"

class CRegistryStoreKey : public IStoreKey {
 public:
  // Works on hKey without owning it: the caller keeps it open and closes it.
  explicit CRegistryStoreKey(HKEY hKey) : m_hKey(hKey) {}
  // Owns the key and closes it with itself.
  explicit CRegistryStoreKey(CRegCloseKey ownedKey) : m_ownedKey(std::move(ownedKey)), m_hKey(m_ownedKey.Get()) {}

  std::unique_ptr<IStoreKey> OpenSubKey(const char* szName) override;
  std::unique_ptr<IStoreKey> CreateSubKey(const char* szName) override;
  std::vector<std::string> SubKeyNames() override;
  // Reads the whole value: texts longer than the usual 202-byte buffer come back
  // whole instead of being lost.
  bool ReadValue(const char* szName, std::string* pData) override;
  void WriteValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) override;

 private:
  CRegCloseKey m_ownedKey;
  HKEY m_hKey;
};
