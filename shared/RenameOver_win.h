// Putting a file written beside another in its place in one step, so that a reader
// finds the old file or the new one, never a part. A reader that holds the old file
// open without sharing its deletion makes the rename fail for a moment: it is tried
// again for about a second.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "shared/OwnedResources_win.h"
#include "shared/Result.h"

// What the new file is called beside the old one while it is written.
constexpr const char* kBesideFileSuffix = ".new";

inline bool RenameOver(const std::string& strFrom, const std::string& strTo) {
  constexpr int kTries = 50;
  constexpr DWORD kRetryMs = 20;
  for (int i = 0;; ++i) {
    if (::MoveFileExA(strFrom.c_str(), strTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD dwError = ::GetLastError();
    if (i + 1 >= kTries || (dwError != ERROR_SHARING_VIOLATION && dwError != ERROR_ACCESS_DENIED)) return false;
    ::Sleep(kRetryMs);
  }
}

// A new file written beside the one it is to replace, in pieces; PutInPlace flushes
// it and renames it over the old one. Until then the old file stays as it was, and a
// new file never put in place is deleted with the object.
class CBesideFile {
 public:
  explicit CBesideFile(std::string strPath)
      : m_strPath(std::move(strPath)), m_strBeside(m_strPath + kBesideFileSuffix) {
    m_file.Reset(
        ::CreateFileA(m_strBeside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    m_bCreated = m_file.IsValid();
    if (!m_bCreated) m_failure = Failed(::GetLastError());
  }
  ~CBesideFile() {
    if (m_bCreated && !m_bInPlace) {
      m_file.Reset();
      ::DeleteFileA(m_strBeside.c_str());
    }
  }
  CBesideFile(const CBesideFile&) = delete;
  CBesideFile& operator=(const CBesideFile&) = delete;

  CResult Write(std::string_view piece) {
    DWORD cbWritten = 0;
    if (m_failure.IsOk() &&
        (!::WriteFile(m_file.Get(), piece.data(), static_cast<DWORD>(piece.size()), &cbWritten, nullptr) ||
         cbWritten != piece.size())) {
      m_failure = Failed(::GetLastError());
    }
    return m_failure;
  }

  CResult PutInPlace() {
    if (m_failure.IsOk() && !::FlushFileBuffers(m_file.Get())) m_failure = Failed(::GetLastError());
    m_file.Reset();
    if (m_failure.IsOk() && !RenameOver(m_strBeside, m_strPath)) m_failure = Failed(::GetLastError());
    m_bInPlace = m_failure.IsOk();
    return m_failure;
  }

 private:
  CResult Failed(DWORD dwError) const {
    return CResult(dwError, "the new file cannot be put in place of " + m_strPath + " (system error " +
                                std::to_string(dwError) + ")");
  }

  std::string m_strPath, m_strBeside;
  CCloseFile m_file;
  bool m_bCreated = false, m_bInPlace = false;
  CResult m_failure;
};

// A whole new content for a file, written beside it and put in its place.
inline CResult ReplaceFileContent(const std::string& strPath, std::string_view content) {
  CBesideFile file(strPath);
  CResult result = file.Write(content);
  return result.IsOk() ? file.PutInPlace() : result;
}
