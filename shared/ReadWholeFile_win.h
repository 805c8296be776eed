// A whole file read into memory, when it is there and holds at most cbMost bytes,
// or its start. It is shared for writing and deleting: another program may replace
// it meanwhile.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "shared/OwnedResources_win.h"

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
