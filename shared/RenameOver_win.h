// Putting a file written beside another in its place in one step. A reader that
// holds the old file open without sharing its deletion makes the rename fail for
// a moment: it is tried again for about a second.
#pragma once

#include <windows.h>

#include <string>

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
