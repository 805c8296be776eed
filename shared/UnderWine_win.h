// Whether this program runs under Wine, which some system parts only imitate
// (WinINet ignores auto-config scripts; the connection table names only the
// session's own processes).
#pragma once

#include <windows.h>

inline bool IsUnderWine() {
  const HMODULE hNtdll = ::GetModuleHandleA("ntdll.dll");
  return hNtdll && ::GetProcAddress(hNtdll, "wine_get_version");
}
