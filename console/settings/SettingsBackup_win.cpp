#include "console/settings/SettingsBackup_win.h"

#include "console/settings/store/RegistryExport.h"
#include "console/settings/store/RegistryStoreKey_win.h"
#include "console/settings/store/RegistryValues_win.h"
#include "console/settings/store/SettingsStore_win.h"
#include "shared/OwnedResources_win.h"
#include "shared/Result_win.h"

namespace {

// Lines ended by "\r\n", each handed to the system at once: a backup that stops
// half-way still holds every line before.
class CBackupFileLines : public IExportLines {
 public:
  explicit CBackupFileLines(HANDLE hFile) : m_hFile(hFile) {}
  CResult WriteLine(const std::string& strLine) override {
    const std::string strBytes = strLine + "\r\n";
    DWORD cbWritten = 0;
    if (!::WriteFile(m_hFile, strBytes.data(), static_cast<DWORD>(strBytes.size()), &cbWritten, nullptr))
      return LastErrorResult();
    if (cbWritten != strBytes.size()) return CResult(ERROR_HANDLE_DISK_FULL);
    return CResult();
  }

 private:
  HANDLE m_hFile;
};

}  // namespace

CResult ExportProductKey(const std::string& strPath) {
  CCloseFile file(::CreateFileA(strPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return CResult(::GetLastError(), kBackupOpenFailedText);
  // An empty file is no backup: the user hears of it.
  CRegCloseKey product;
  const CResult opened = OpenRegistryKey(HKEY_CURRENT_USER, kProductKeyPath, product, KEY_ALL_ACCESS);
  if (!opened.IsOk()) return CResult(opened.Code(), kBackupKeyUnreadableText + ResultMessage(opened));
  CRegistryStoreKey productKey(std::move(product));
  CBackupFileLines lines(file.Get());
  const CResult written = ExportRegistryTree(&productKey, kBackupRootPath, lines);
  if (!written.IsOk()) return CResult(written.Code(), kBackupWriteFailedText + ResultMessage(written));
  return CResult();
}
