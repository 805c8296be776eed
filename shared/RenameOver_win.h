// Putting a file written beside another in its place in one step. A reader that
// holds the old file open without sharing its deletion makes the rename fail for
// a moment: it is tried again for about a second.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

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

// The new contents of a file, written in pieces of any size beside it and put in
// its place by Commit, so that a reader finds the old file or the new one, never a
// part. Where the folder takes no new file the caller may write it in place
// instead. Left without Commit, the file beside is deleted.
class CReplacingFile {
 public:
  CReplacingFile() = default;
  CReplacingFile(const CReplacingFile&) = delete;
  CReplacingFile& operator=(const CReplacingFile&) = delete;
  ~CReplacingFile() { Abandon(); }

  // Creates strPath + kBesideFileSuffix, or truncates strPath itself (bInPlace),
  // shared for reading only.
  CResult Create(const std::string& strPath, bool bInPlace = false) {
    Abandon();
    m_strPath = strPath;
    m_bInPlace = bInPlace;
    m_file.Reset(::CreateFileA(Written().c_str(), GENERIC_WRITE, bInPlace ? FILE_SHARE_READ : 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    return m_file ? CResult() : LastError();
  }

  CResult Write(const void* pData, std::size_t cbData) {
    const auto* pBytes = static_cast<const char*>(pData);
    for (std::size_t nDone = 0; nDone < cbData;) {
      const DWORD cbPiece = static_cast<DWORD>(std::min<std::size_t>(cbData - nDone, 1u << 30));
      DWORD cbWritten = 0;
      if (!m_file || !::WriteFile(m_file.Get(), pBytes + nDone, cbPiece, &cbWritten, nullptr)) return LastError();
      if (cbWritten != cbPiece) return CResult(ERROR_HANDLE_DISK_FULL);
      nDone += cbWritten;
    }
    return CResult();
  }

  // Flushed first: errors of the delayed write show there, before the old file goes.
  CResult Commit() {
    if (!m_file) return CResult(ERROR_INVALID_HANDLE);
    if (!::FlushFileBuffers(m_file.Get())) return LastError();
    m_file.Reset();
    if (!m_bInPlace && !RenameOver(Written(), m_strPath)) return LastError();
    m_strPath.clear();
    return CResult();
  }

 private:
  std::string Written() const { return m_bInPlace ? m_strPath : m_strPath + kBesideFileSuffix; }
  // A call that failed without a code still fails.
  static CResult LastError() {
    const DWORD dwError = ::GetLastError();
    return CResult(dwError != ERROR_SUCCESS ? dwError : ERROR_GEN_FAILURE);
  }
  void Abandon() {
    m_file.Reset();
    if (!m_strPath.empty() && !m_bInPlace) ::DeleteFileA(Written().c_str());
    m_strPath.clear();
  }

  std::string m_strPath;  // until committed or abandoned
  bool m_bInPlace = false;
  CCloseFile m_file;
};

// The whole new contents at once.
inline CResult ReplaceFileContents(const std::string& strPath, std::string_view data) {
  CReplacingFile file;
  CResult result = file.Create(strPath);
  if (result.IsOk()) result = file.Write(data.data(), data.size());
  return result.IsOk() ? file.Commit() : result;
}
