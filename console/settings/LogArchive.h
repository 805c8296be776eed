// The rules of the log archive: when the start-up check archives, how an archive
// file is named and what header it starts with. English day and month names are
// part of the file names, whatever the user's locale.
#pragma once

#include <cstdint>
#include <string>

#include "console/settings/LocalTime.h"

// Days between the archive start time and now, counted as month * 30 + day on
// unsigned 8-bit values (modulo 256); the year is not used.
std::uint8_t ElapsedArchiveDays(const SLocalTime& now, const SLocalTime& start);

// "%d_%A_%B_%H_%M_%S.bda": 14:05:09 on Monday 7 December gives
// "07_Monday_December_14_05_09.bda".
std::string ArchiveFileName(const SLocalTime& now);

// The three header lines, each ended by CR LF. The spelling "Appliction" belongs
// to the archive file format.
std::string ArchiveHeader(const std::string& strAppTitle, const std::string& strVersion,
                          const std::string& strFileName);

// "Monday", "December"; empty for a day or month outside its range.
const char* EnglishDayName(unsigned nDayOfWeek);
const char* EnglishMonthName(unsigned nMonth);
