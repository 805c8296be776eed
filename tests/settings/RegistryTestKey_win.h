// A scratch key below HKEY_CURRENT_USER for one test, deleted with everything
// below it when the test ends. Tests share the Wine prefix's HKEY_CURRENT_USER.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "shared/OwnedResources_win.h"

class CRegistryTestKey {
 public:
  CRegistryTestKey();
  ~CRegistryTestKey();
  CRegistryTestKey(const CRegistryTestKey&) = delete;
  CRegistryTestKey& operator=(const CRegistryTestKey&) = delete;

  HKEY Get() const { return m_key.Get(); }
  const std::string& Path() const { return m_strPath; }

  // Raw access for checking and preparing what is stored, relative to this key.
  bool SubKeyExists(const std::string& strSubKey) const;
  std::vector<std::string> SubKeyNames(const std::string& strSubKey) const;
  // Type and bytes of a value; false when missing.
  bool QueryRaw(const std::string& strSubKey, const char* szValue, DWORD* pdwType, std::string* pData) const;
  void SetRaw(const std::string& strSubKey, const char* szValue, DWORD dwType, const std::string& strData) const;
  void DeleteSubKey(const std::string& strSubKey) const;

 private:
  std::string m_strPath;
  CRegCloseKey m_key;
};
