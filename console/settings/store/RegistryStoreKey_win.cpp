#include "console/settings/store/RegistryStoreKey_win.h"

#include "console/settings/store/RegistryValueData.h"
#include "console/settings/store/RegistryValues_win.h"

#include "shared/Result_win.h"

std::unique_ptr<IStoreKey> CRegistryStoreKey::OpenSubKey(const char* szName) {
  CRegCloseKey subKey;
  if (!OpenRegistryKey(m_hKey, szName, subKey).IsOk()) return nullptr;
  return std::make_unique<CRegistryStoreKey>(std::move(subKey));
}

CResult CRegistryStoreKey::CreateKey(const char* szName, std::unique_ptr<IStoreKey>* ppKey) {
  ppKey->reset();
  CRegCloseKey subKey;
  CResult result = CreateRegistryKey(m_hKey, szName, subKey);
  if (result.IsOk()) *ppKey = std::make_unique<CRegistryStoreKey>(std::move(subKey));
  return result;
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

CResult CRegistryStoreKey::ReadAllValues(std::vector<SStoreValue>* pValues) {
  pValues->clear();
  // Names and data in one call per value; the buffers grow when a value needs more.
  std::vector<char> name(256);
  std::vector<BYTE> data(1024);
  for (DWORD i = 0;;) {
    DWORD cchName = static_cast<DWORD>(name.size());
    DWORD cbData = static_cast<DWORD>(data.size());
    DWORD dwType = 0;
    const LONG lResult = ::RegEnumValueA(m_hKey, i, name.data(), &cchName, nullptr, &dwType, data.data(), &cbData);
    if (lResult == ERROR_NO_MORE_ITEMS) return CResult();
    if (lResult == ERROR_MORE_DATA) {
      if (name.size() < 16384) name.resize(16384);
      if (data.size() >= (1u << 30)) return CResult(ERROR_NOT_ENOUGH_MEMORY);
      data.resize(cbData > data.size() ? cbData : data.size() * 2);
      continue;
    }
    if (lResult != ERROR_SUCCESS) return CResult(static_cast<DWORD>(lResult));
    SStoreValue value;
    value.strName.assign(name.data(), cchName);
    value.dwType = dwType;
    value.strData.assign(reinterpret_cast<const char*>(data.data()), cbData <= data.size() ? cbData : data.size());
    pValues->push_back(std::move(value));
    ++i;
  }
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

CResult CRegistryStoreKey::SetValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) {
  if (cbData > 0xFFFFFFFFu) return CResult(ERROR_INVALID_PARAMETER);
  return SetRegistryValue(m_hKey, szName, dwType, pData, static_cast<DWORD>(cbData));
}

CResult CRegistryStoreKey::RemoveValue(const char* szName) {
  return DeleteRegistryValue(m_hKey, szName);
}

CResult CRegistryStoreKey::RemoveSubKey(const char* szName) {
  return DeleteRegistryTree(m_hKey, szName);
}
