// What tells one content of a file from another without reading it: its size and
// times. A file put in its place (written beside, then renamed over) is a new file
// with its own creation time.
#pragma once

#include <windows.h>

#include <string>

struct SFileStamp {
  bool bFound = false;
  ULONGLONG nSize = 0;
  ULONGLONG nLastWrite = 0;  // 100 ns since 1601, as FILETIME
  ULONGLONG nCreation = 0;
  bool operator==(const SFileStamp& other) const {
    return bFound == other.bFound && nSize == other.nSize && nLastWrite == other.nLastWrite &&
           nCreation == other.nCreation;
  }
};

inline ULONGLONG FileTimeNumber(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Not found when the file is missing or cannot be asked.
inline SFileStamp StampOfFile(const std::string& strPath) {
  SFileStamp stamp;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(strPath.c_str(), GetFileExInfoStandard, &data)) return stamp;
  stamp.bFound = true;
  stamp.nSize = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.nLastWrite = FileTimeNumber(data.ftLastWriteTime);
  stamp.nCreation = FileTimeNumber(data.ftCreationTime);
  return stamp;
}
