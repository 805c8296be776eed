#include "console/settings/SettingsBackup_win.h"

#include <memory>

#include "console/settings/store/RegistryExport.h"
#include "console/settings/store/RegistryStoreKey_win.h"
#include "console/settings/store/RegistryValues_win.h"
#include "console/settings/store/SettingsStore_win.h"
#include "shared/OwnedResources_win.h"

namespace {

// Lines ended by "\r\n", each handed to the system at once: a backup that stops
// half-way still holds every line before.
class CBackupFileLines : public IExportLines {
 public:
  explicit CBackupFileLines(HANDLE hFile) : m_hFile(hFile) {}
  bool WriteLine(const std::string& strLine) override {
    const std::string strBytes = strLine + "\r\n";
    DWORD cbWritten = 0;
    if (!::WriteFile(m_hFile, strBytes.data(), static_cast<DWORD>(strBytes.size()), &cbWritten, nullptr)) {
      m_dwError = ::GetLastError();
      return false;
    }
    if (cbWritten != strBytes.size()) {
      m_dwError = ERROR_HANDLE_DISK_FULL;
      return false;
    }
    return true;
  }
  DWORD Error() const { return m_dwError; }

 private:
  HANDLE m_hFile;
  DWORD m_dwError = 0;
};

}  // namespace

EBackupResult ExportProductKey(const std::string& strPath, DWORD* pdwError) {
  if (pdwError) *pdwError = 0;
  CCloseFile file(::CreateFileA(strPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    if (pdwError) *pdwError = ::GetLastError();
    return EBackupResult::CannotOpen;
  }
  CRegCloseKey product;
  std::unique_ptr<CRegistryStoreKey> pProduct;
  if (OpenRegistryKey(HKEY_CURRENT_USER, kProductKeyPath, product, KEY_ALL_ACCESS).IsOk())
    pProduct = std::make_unique<CRegistryStoreKey>(std::move(product));
  CBackupFileLines lines(file.Get());
  if (!ExportRegistryTree(pProduct.get(), kBackupRootPath, lines)) {
    if (pdwError) *pdwError = lines.Error();
    return EBackupResult::WriteFailed;
  }
  return EBackupResult::Written;
}
