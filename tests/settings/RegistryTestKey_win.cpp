#include "RegistryTestKey_win.h"

#include <gtest/gtest.h>

namespace {
int g_nNextKey = 0;
}  // namespace

CRegistryTestKey::CRegistryTestKey()
    : m_strPath("Software\\Corvinth\\SettingsTest-" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(g_nNextKey++)) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, m_strPath.c_str());
  ::RegCreateKeyExA(HKEY_CURRENT_USER, m_strPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, m_key.Receive(),
                    nullptr);
}

CRegistryTestKey::~CRegistryTestKey() {
  m_key.Reset();
  ::RegDeleteTreeA(HKEY_CURRENT_USER, m_strPath.c_str());
}

bool CRegistryTestKey::SubKeyExists(const std::string& strSubKey) const {
  CRegCloseKey key;
  return ::RegOpenKeyExA(m_key.Get(), strSubKey.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

std::vector<std::string> CRegistryTestKey::SubKeyNames(const std::string& strSubKey) const {
  std::vector<std::string> names;
  CRegCloseKey key;
  if (::RegOpenKeyExA(m_key.Get(), strSubKey.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return names;
  char szName[256];
  for (DWORD i = 0; ::RegEnumKeyA(key.Get(), i, szName, sizeof(szName)) == ERROR_SUCCESS; ++i) names.push_back(szName);
  return names;
}

bool CRegistryTestKey::QueryRaw(const std::string& strSubKey, const char* szValue, DWORD* pdwType,
                                std::string* pData) const {
  CRegCloseKey key;
  if (::RegOpenKeyExA(m_key.Get(), strSubKey.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return false;
  char abData[4096];
  DWORD cbData = sizeof(abData);
  if (::RegQueryValueExA(key.Get(), szValue, nullptr, pdwType, reinterpret_cast<BYTE*>(abData), &cbData) !=
      ERROR_SUCCESS) {
    return false;
  }
  pData->assign(abData, cbData);
  return true;
}

void CRegistryTestKey::SetRaw(const std::string& strSubKey, const char* szValue, DWORD dwType,
                              const std::string& strData) const {
  CRegCloseKey key;
  ::RegCreateKeyExA(m_key.Get(), strSubKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
  ::RegSetValueExA(key.Get(), szValue, 0, dwType, reinterpret_cast<const BYTE*>(strData.data()),
                   static_cast<DWORD>(strData.size()));
}

void CRegistryTestKey::DeleteSubKey(const std::string& strSubKey) const {
  ::RegDeleteTreeA(m_key.Get(), strSubKey.c_str());
}

std::string Bytes(std::initializer_list<int> values) {
  std::string str;
  for (int n : values) str += static_cast<char>(n);
  return str;
}

void CRegistryTestKey::ExpectStored(const SStoredFormatCase& c) const {
  DWORD dwType = 0;
  std::string strData;
  ASSERT_TRUE(QueryRaw(c.szKey, c.szValue, &dwType, &strData)) << c.szKey << " " << c.szValue;
  const bool bType = c.eCheck == EStoredCheck::TypeAndBytes || c.eCheck == EStoredCheck::Text;
  const bool bBytes = c.eCheck == EStoredCheck::TypeAndBytes || c.eCheck == EStoredCheck::Bytes;
  if (bType) {
    EXPECT_EQ(c.dwType, dwType) << c.szValue;
  }
  if (bBytes) {
    EXPECT_EQ(c.strData, strData) << c.szValue;
  }
  if (c.eCheck == EStoredCheck::Text) {
    EXPECT_EQ(c.strData, strData.substr(0, strData.find('\0'))) << c.szValue;
  }
}
