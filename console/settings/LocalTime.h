// A calendar time with the fields of a Win32 SYSTEMTIME, in the same order, so
// that its 16 stored bytes are a SYSTEMTIME's.
#pragma once

#include <cstdint>

struct SLocalTime {
  std::uint16_t wYear = 0;
  std::uint16_t wMonth = 0;      // 1 January to 12 December
  std::uint16_t wDayOfWeek = 0;  // 0 Sunday to 6 Saturday
  std::uint16_t wDay = 0;
  std::uint16_t wHour = 0;
  std::uint16_t wMinute = 0;
  std::uint16_t wSecond = 0;
  std::uint16_t wMilliseconds = 0;
};

constexpr unsigned LOCAL_TIME_BYTES = 16;

// The little-endian bytes of the eight fields, and back. Missing bytes keep what
// the time held.
void StoreLocalTime(const SLocalTime& time, unsigned char abBytes[LOCAL_TIME_BYTES]);
void LoadLocalTime(const unsigned char* pBytes, unsigned cbBytes, SLocalTime* pTime);
