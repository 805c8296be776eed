// A whole file read into memory, when it is there and holds at most cbMost bytes,
// or its start, or read in pieces. It is shared for writing and deleting: another
// program may replace it meanwhile.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "shared/OwnedResources_win.h"
#include "shared/PieceLines.h"
#include "shared/Result.h"

inline bool ReadWholeFile(const std::string& strPath, std::uint64_t cbMost, std::string* pData) {
  pData->clear();
  CCloseFile file(::CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size = {};
  if (!file || !::GetFileSizeEx(file.Get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > cbMost) return false;
  pData->assign(static_cast<std::size_t>(size.QuadPart), '\0');
  for (std::size_t nDone = 0; nDone < pData->size();) {
    DWORD cbRead = 0;
    const DWORD cbAsk = static_cast<DWORD>(std::min<std::size_t>(pData->size() - nDone, 1u << 30));
    if (!::ReadFile(file.Get(), &(*pData)[nDone], cbAsk, &cbRead, nullptr) || cbRead == 0) {
      pData->clear();
      return false;
    }
    nDone += cbRead;
  }
  return true;
}

// At most the first cbMost bytes (fewer for a shorter file); false when the file
// cannot be opened or read.
inline bool ReadFileStart(const std::string& strPath, DWORD cbMost, std::string* pData) {
  pData->assign(cbMost, '\0');
  CCloseFile file(::CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD cbRead = 0;
  const bool bRead = file && ::ReadFile(file.Get(), &(*pData)[0], cbMost, &cbRead, nullptr);
  pData->resize(bRead ? cbRead : 0);
  return bRead;
}

// The file handed to piece in pieces of up to cbPiece bytes, when it is there and
// holds at most cbMost bytes; the system's error, or the first failure of piece.
inline CResult ReadFileInPieces(const std::string& strPath, std::uint64_t cbMost, const PieceSink& piece,
                                DWORD cbPiece = 1u << 20) {
  CCloseFile file(::CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size = {};
  if (!file || !::GetFileSizeEx(file.Get(), &size)) return CResult(::GetLastError(), "cannot read " + strPath);
  if (static_cast<std::uint64_t>(size.QuadPart) > cbMost) {
    return CResult(ERROR_FILE_TOO_LARGE, strPath + " is larger than " + std::to_string(cbMost) + " bytes");
  }
  std::string strPiece(cbPiece, '\0');
  for (;;) {
    DWORD cbRead = 0;
    if (!::ReadFile(file.Get(), &strPiece[0], cbPiece, &cbRead, nullptr)) {
      return CResult(::GetLastError(), "cannot read " + strPath);
    }
    if (cbRead == 0) return CResult();
    CResult result = piece(std::string_view(strPiece.data(), cbRead));
    if (!result.IsOk()) return result;
  }
}
