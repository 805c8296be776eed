// Where each user's console keeps what it writes: the working definitions file,
// the log file, the log archive and the user's own newer shipped definitions.
// The application folder is the machine's (or, installed per user, the user's
// programs folder) and only ever read; every user has a folder of his own below
// the local application data, which no other standard user may write.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include <string>

#include "shared/ProductKey.h"

constexpr const char* kUserDataFolderName = "\\Hookwarden";

// "%LOCALAPPDATA%\Hookwarden", made when missing; empty when the system names no
// local application data folder or the path does not fit 260 characters.
inline std::string GetUserDataFolder() {
  char szFolder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                szFolder)) ||
      szFolder[0] == 0) {
    return std::string();
  }
  std::string strFolder = std::string(szFolder) + kUserDataFolderName;
  if (strFolder.size() > 200) return std::string();  // room for the log archive's names below it
  if (!::CreateDirectoryA(strFolder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
    return std::string();
  }
  return strFolder;
}
