// The archive rules: elapsed days, archive file names and the header.
#include <gtest/gtest.h>

#include "console/settings/LogArchive.h"

namespace {

SLocalTime Time(unsigned nMonth, unsigned nDay, unsigned nDayOfWeek = 0, unsigned nHour = 0, unsigned nMinute = 0,
                unsigned nSecond = 0) {
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

TEST(ArchiveDays, CountedModulo256WithoutTheYear) {
  EXPECT_EQ(157, ElapsedArchiveDays(Time(1, 5), Time(12, 30)));
  EXPECT_EQ(0, ElapsedArchiveDays(Time(12, 7), Time(12, 7)));
  EXPECT_EQ(1, ElapsedArchiveDays(Time(12, 8), Time(12, 7)));
  EXPECT_EQ(30, ElapsedArchiveDays(Time(3, 1), Time(2, 1)));
  EXPECT_EQ(2, ElapsedArchiveDays(Time(3, 1), Time(2, 29)));  // every month counts 30 days
  EXPECT_EQ(255, ElapsedArchiveDays(Time(12, 6), Time(12, 7)));
  SLocalTime lastYear = Time(12, 7);
  lastYear.wYear = 2025;
  EXPECT_EQ(0, ElapsedArchiveDays(Time(12, 7), lastYear));
  // Damaged stored times are only arithmetic.
  EXPECT_EQ(static_cast<std::uint8_t>(12 * 30 + 7 - (65535u % 256) * 30 - 65535u % 256),
            ElapsedArchiveDays(Time(12, 7), Time(65535, 65535)));
}

TEST(ArchiveNames, EnglishNamesTwoDigitFields) {
  EXPECT_EQ("07_Monday_December_14_05_09.bda", ArchiveFileName(Time(12, 7, 1, 14, 5, 9)));
  EXPECT_EQ("01_Sunday_January_00_00_00.bda", ArchiveFileName(Time(1, 1, 0)));
  EXPECT_EQ("31_Saturday_October_23_59_59.bda", ArchiveFileName(Time(10, 31, 6, 23, 59, 59)));
  EXPECT_STREQ("", EnglishMonthName(0));
  EXPECT_STREQ("", EnglishMonthName(13));
  EXPECT_STREQ("", EnglishDayName(7));
  // Out-of-range fields still give a bounded name.
  EXPECT_EQ("65535___65535_65535_65535.bda", ArchiveFileName(Time(0, 65535, 9, 65535, 65535, 65535)));
}

TEST(ArchiveNames, HeaderLines) {
  EXPECT_EQ("Appliction Name: Hookwarden\r\nVersion: 1.0.0.1\r\nFile Name: 07_Monday_December_14_05_09.bda\r\n",
            ArchiveHeader("Hookwarden", "1.0.0.1", "07_Monday_December_14_05_09.bda"));
  EXPECT_EQ("Appliction Name: \r\nVersion: \r\nFile Name: x.bda\r\n", ArchiveHeader("", "", "x.bda"));
}

}  // namespace
