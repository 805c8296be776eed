// Local times of the year 2026 for the archive tests.
#pragma once

#include <cstdint>

#include "console/settings/LocalTime.h"

inline SLocalTime ArchiveTime(unsigned nMonth, unsigned nDay, unsigned nDayOfWeek = 0, unsigned nHour = 0,
                              unsigned nMinute = 0, unsigned nSecond = 0) {
  SLocalTime time;
  time.wYear = 2026;
  time.wMonth = static_cast<std::uint16_t>(nMonth);
  time.wDay = static_cast<std::uint16_t>(nDay);
  time.wDayOfWeek = static_cast<std::uint16_t>(nDayOfWeek);
  time.wHour = static_cast<std::uint16_t>(nHour);
  time.wMinute = static_cast<std::uint16_t>(nMinute);
  time.wSecond = static_cast<std::uint16_t>(nSecond);
  return time;
}
