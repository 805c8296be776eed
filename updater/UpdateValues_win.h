// The clock as the console and Update.exe alike read it for updates.
#pragma once

#include <windows.h>

// Seconds since 1970, UTC.
inline long long UtcNow() {
  FILETIME ft;
  ::GetSystemTimeAsFileTime(&ft);
  const unsigned long long n = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<long long>(n / 10000000ull) - 11644473600ll;
}
