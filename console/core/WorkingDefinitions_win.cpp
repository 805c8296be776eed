#include "console/core/WorkingDefinitions_win.h"

#include <new>
#include <vector>

#include "definitions/ShippedDefinitionsText.h"
#include "shared/OwnedResources_win.h"
#include "shared/RenameOver_win.h"

namespace {

// Larger shipped files are refused rather than read whole into memory.
constexpr LONGLONG kMaxShippedBytes = 0x7FFFFFF8;

bool ReadWhole(HANDLE hFile, std::vector<unsigned char>& bytes) {
  std::size_t nDone = 0;
  while (nDone < bytes.size()) {
    DWORD cbRead = 0;
    const DWORD cbAsk = static_cast<DWORD>(bytes.size() - nDone);
    if (!::ReadFile(hFile, bytes.data() + nDone, cbAsk, &cbRead, nullptr) || cbRead == 0) return false;
    nDone += cbRead;
  }
  return true;
}

}  // namespace

EWorkingDefinitions WriteWorkingDefinitionsFile(const std::string& strShippedPath, const std::string& strWorkingPath,
                                                EWorkingWrite writing, DWORD* pdwError, std::string* pstrWhy) {
  std::vector<unsigned char> encrypted, decrypted;
  {
    CCloseFile shipped(::CreateFileA(strShippedPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!shipped) return EWorkingDefinitions::ShippedMissing;
    // The cipher takes only whole blocks, and the header line must be there to be
    // overwritten: a file it refuses, or one that cannot be read, counts as invalid.
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(shipped.Get(), &size) || size.QuadPart < static_cast<LONGLONG>(kShippedHeaderBytes) ||
        size.QuadPart % 8 != 0 || size.QuadPart > kMaxShippedBytes) {
      return EWorkingDefinitions::Refused;
    }
    try {
      encrypted.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
      return EWorkingDefinitions::Refused;
    }
    if (!ReadWhole(shipped.Get(), encrypted)) return EWorkingDefinitions::Refused;
  }
  try {
    if (!DecryptShippedDefinitions(encrypted.data(), encrypted.size(), decrypted)) return EWorkingDefinitions::Refused;
  } catch (const std::bad_alloc&) {
    return EWorkingDefinitions::Refused;
  }
  // Checked before anything is written: the working file in place stays in use.
  std::string strWhy;
  if (!IsDefinitionsText(decrypted.data(), decrypted.size(), strWhy)) {
    if (pstrWhy) *pstrWhy = strWhy;
    return EWorkingDefinitions::NotDefinitions;
  }

  // Written beside and renamed over, readers see the old file or the new one. Where
  // the folder takes no new files, and at start-up, the file is rewritten in place.
  CReplacingFile working;
  if (writing != EWorkingWrite::BesideThenRename || !working.Create(strWorkingPath).IsOk()) {
    if (!working.Create(strWorkingPath, true).IsOk()) return EWorkingDefinitions::CreateFailed;
  }
  CResult written = working.Write(decrypted.data(), decrypted.size());
  if (written.IsOk()) written = working.Commit();
  if (!written.IsOk()) {
    if (pdwError) *pdwError = written.Code();
    return EWorkingDefinitions::WriteFailed;
  }
  return EWorkingDefinitions::Written;
}
