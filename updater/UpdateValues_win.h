// What the console and Update.exe alike read of this machine for updates: texts
// of the product key and the clock.
#pragma once

#include <windows.h>

#include <string>

#include "console/settings/store/SettingsStore_win.h"

// A text value (REG_SZ) of the user's product key; empty when missing.
inline std::string StoredProductText(const char* szName) {
  char szText[2048] = {};
  DWORD cbText = sizeof szText - 1;
  if (::RegGetValueA(HKEY_CURRENT_USER, kProductKeyPath, szName, RRF_RT_REG_SZ, nullptr, szText, &cbText) !=
      ERROR_SUCCESS) {
    return std::string();
  }
  return szText;
}

// Seconds since 1970, UTC.
inline long long UtcNow() {
  FILETIME ft;
  ::GetSystemTimeAsFileTime(&ft);
  const unsigned long long n = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<long long>(n / 10000000ull) - 11644473600ll;
}
