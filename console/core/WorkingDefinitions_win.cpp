#include "console/core/WorkingDefinitions_win.h"

#include <new>
#include <vector>

#include "definitions/ShippedDefinitionsText.h"
#include "shared/OwnedResources_win.h"
#include "shared/RenameOver_win.h"
#include "shared/Result_win.h"

namespace {

// Larger shipped files are refused rather than read whole into memory.
constexpr LONGLONG kMaxShippedBytes = 0x7FFFFFF8;
constexpr const char* kNotWholeBlocksText = "it is not whole blocks of the cipher";

CResult ReadWhole(HANDLE hFile, std::vector<unsigned char>& bytes) {
  std::size_t nDone = 0;
  while (nDone < bytes.size()) {
    DWORD cbRead = 0;
    const DWORD cbAsk = static_cast<DWORD>(bytes.size() - nDone);
    if (!::ReadFile(hFile, bytes.data() + nDone, cbAsk, &cbRead, nullptr)) return LastErrorResult();
    if (cbRead == 0) return CResult(ERROR_HANDLE_EOF);  // shorter now than it was
    nDone += cbRead;
  }
  return CResult();
}

// The step's code, and the system's reason as its text.
CResult StepFailed(DWORD dwStep, DWORD dwError) {
  return CResult(dwStep, SystemErrorText(dwError));
}

}  // namespace

CResult WriteWorkingDefinitionsFile(const std::string& strShippedPath, const std::string& strWorkingPath,
                                    EWorkingWrite writing) {
  std::vector<unsigned char> encrypted, decrypted;
  {
    CCloseFile shipped(::CreateFileA(strShippedPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!shipped) return StepFailed(ERROR_OPEN_FAILED, ::GetLastError());
    // The cipher takes only whole blocks, and the header line must be there to be
    // overwritten: a file it refuses, or one that cannot be read, counts as invalid.
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(shipped.Get(), &size) || size.QuadPart < static_cast<LONGLONG>(kShippedHeaderBytes) ||
        size.QuadPart % 8 != 0 || size.QuadPart > kMaxShippedBytes) {
      return CResult(ERROR_BAD_FORMAT, kNotWholeBlocksText);
    }
    try {
      encrypted.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
      return StepFailed(ERROR_BAD_FORMAT, ERROR_NOT_ENOUGH_MEMORY);
    }
    const CResult read = ReadWhole(shipped.Get(), encrypted);
    if (!read.IsOk()) return StepFailed(ERROR_BAD_FORMAT, read.Code());
  }
  try {
    if (!DecryptShippedDefinitions(encrypted.data(), encrypted.size(), decrypted))
      return CResult(ERROR_BAD_FORMAT, kNotWholeBlocksText);
  } catch (const std::bad_alloc&) {
    return StepFailed(ERROR_BAD_FORMAT, ERROR_NOT_ENOUGH_MEMORY);
  }
  // Checked before anything is written: the working file in place stays in use.
  const CResult checked = IsDefinitionsText(decrypted.data(), decrypted.size());
  if (!checked.IsOk()) return checked;

  // Written beside and renamed over, readers see the old file or the new one. Where
  // the folder takes no new files, and at start-up, the file is rewritten in place.
  CReplacingFile working;
  if (writing != EWorkingWrite::BesideThenRename || !working.Create(strWorkingPath).IsOk()) {
    const CResult created = working.Create(strWorkingPath, true);
    if (!created.IsOk()) return StepFailed(ERROR_CANNOT_MAKE, created.Code());
  }
  CResult written = working.Write(decrypted.data(), decrypted.size());
  if (written.IsOk()) written = working.Commit();
  return written;
}
