// Reading one value of the user's product key outside the console's settings
// store: by Update.exe, and by the console for what another program may change
// between its saves.
#pragma once

#include <windows.h>

#include <string>

#include "shared/ProductKey.h"

// A text value (REG_SZ), or a number (REG_DWORD) in decimal; empty when missing or
// of another type.
inline std::string StoredProductValue(const char* szName) {
  char szText[2048] = {};
  DWORD cbText = sizeof szText - 1;
  if (::RegGetValueA(HKEY_CURRENT_USER, kProductKeyPath, szName, RRF_RT_REG_SZ, nullptr, szText, &cbText) ==
      ERROR_SUCCESS) {
    return szText;
  }
  DWORD dwNumber = 0, cbNumber = sizeof dwNumber;
  if (::RegGetValueA(HKEY_CURRENT_USER, kProductKeyPath, szName, RRF_RT_REG_DWORD, nullptr, &dwNumber, &cbNumber) ==
      ERROR_SUCCESS) {
    return std::to_string(dwNumber);
  }
  return std::string();
}
