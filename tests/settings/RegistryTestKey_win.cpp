#include "RegistryTestKey_win.h"

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
