#include "console/settings/RegistryStoreKey_win.h"

#include "console/settings/RegistryValueData.h"
#include "console/settings/RegistryValues_win.h"

std::unique_ptr<IStoreKey> CRegistryStoreKey::OpenSubKey(const char* szName) {
  CRegCloseKey subKey;
  if (!OpenSettingsKey(m_hKey, szName, subKey)) return nullptr;
  return std::make_unique<CRegistryStoreKey>(std::move(subKey));
}

std::unique_ptr<IStoreKey> CRegistryStoreKey::CreateSubKey(const char* szName) {
  CRegCloseKey subKey;
  if (!CreateSettingsKey(m_hKey, szName, subKey)) return nullptr;
  return std::make_unique<CRegistryStoreKey>(std::move(subKey));
}

std::vector<std::string> CRegistryStoreKey::SubKeyNames() {
  std::vector<std::string> names;
  char szName[256];  // the registry's longest key name is 255 characters
  for (DWORD i = 0;; ++i) {
    DWORD cchName = sizeof(szName);
    if (::RegEnumKeyExA(m_hKey, i, szName, &cchName, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(szName, cchName);
  }
  return names;
}

std::vector<std::string> CRegistryStoreKey::ValueNames() {
  std::vector<std::string> names;
  std::vector<char> name(16384);  // the registry's longest value name is 16383 characters
  for (DWORD i = 0;; ++i) {
    DWORD cchName = static_cast<DWORD>(name.size());
    if (::RegEnumValueA(m_hKey, i, name.data(), &cchName, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name.data(), cchName);
  }
  return names;
}

bool CRegistryStoreKey::ReadValue(const char* szName, std::string* pData) {
  std::uint32_t dwType = 0;
  return ReadTypedValue(szName, &dwType, pData);
}

bool CRegistryStoreKey::ReadTypedValue(const char* szName, std::uint32_t* pType, std::string* pData) {
  std::vector<BYTE> buffer(kRegistryReadBufferSize);
  // The value may grow between the calls; a few tries are plenty.
  for (int nTry = 0; nTry < 4; ++nTry) {
    DWORD cbData = static_cast<DWORD>(buffer.size());
    DWORD dwType = 0;
    const LONG lResult = ::RegQueryValueExA(m_hKey, szName, nullptr, &dwType, buffer.data(), &cbData);
    if (lResult == ERROR_SUCCESS) {
      *pType = dwType;
      pData->assign(reinterpret_cast<const char*>(buffer.data()), cbData <= buffer.size() ? cbData : buffer.size());
      return true;
    }
    if (lResult != ERROR_MORE_DATA || cbData <= buffer.size()) return false;
    buffer.resize(cbData);
  }
  return false;
}

bool CRegistryStoreKey::WriteValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) {
  return WriteTypedValue(m_hKey, szName, dwType, pData, static_cast<DWORD>(cbData));
}

bool CRegistryStoreKey::DeleteSubKey(const char* szName) {
  return DeleteSettingsTree(m_hKey, szName);
}
