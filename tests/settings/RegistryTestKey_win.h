// A scratch key below HKEY_CURRENT_USER for one test, deleted with everything
// below it when the test ends. Tests share the Wine prefix's HKEY_CURRENT_USER.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "shared/OwnedResources_win.h"

// How one value is stored, as a row of a table of cases: what eCheck names is
// compared, the rest is not.
enum class EStoredCheck { TypeAndBytes, Text, Bytes, Presence };
struct SStoredFormatCase {
  const char* szKey;  // below the product key
  const char* szValue;
  EStoredCheck eCheck;
  DWORD dwType;         // kAnyType when not compared
  std::string strData;  // the bytes, or for Text the text up to its first zero
};
constexpr DWORD kAnyType = 0;
inline void PrintTo(const SStoredFormatCase& c, std::ostream* pOut) {
  *pOut << c.szKey << "\\" << c.szValue;
}

// The raw bytes of small numbers, for the cases.
std::string Bytes(std::initializer_list<int> values);

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
  // Checks one case against what is stored.
  void ExpectStored(const SStoredFormatCase& c) const;

 private:
  std::string m_strPath;
  CRegCloseKey m_key;
};
