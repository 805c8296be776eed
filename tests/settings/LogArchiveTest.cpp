// The archive rules: elapsed days, archive file names and the header.
#include <gtest/gtest.h>

#include "console/settings/LogArchive.h"
#include "settings/ArchiveTime.h"

namespace {

TEST(ArchiveDays, CountedModulo256WithoutTheYear) {
  EXPECT_EQ(157, ElapsedArchiveDays(ArchiveTime(1, 5), ArchiveTime(12, 30)));
  EXPECT_EQ(0, ElapsedArchiveDays(ArchiveTime(12, 7), ArchiveTime(12, 7)));
  EXPECT_EQ(1, ElapsedArchiveDays(ArchiveTime(12, 8), ArchiveTime(12, 7)));
  EXPECT_EQ(30, ElapsedArchiveDays(ArchiveTime(3, 1), ArchiveTime(2, 1)));
  EXPECT_EQ(2, ElapsedArchiveDays(ArchiveTime(3, 1), ArchiveTime(2, 29)));  // every month counts 30 days
  EXPECT_EQ(255, ElapsedArchiveDays(ArchiveTime(12, 6), ArchiveTime(12, 7)));
  SLocalTime lastYear = ArchiveTime(12, 7);
  lastYear.wYear = 2025;
  EXPECT_EQ(0, ElapsedArchiveDays(ArchiveTime(12, 7), lastYear));
  // Damaged stored times are only arithmetic.
  EXPECT_EQ(static_cast<std::uint8_t>(12 * 30 + 7 - (65535u % 256) * 30 - 65535u % 256),
            ElapsedArchiveDays(ArchiveTime(12, 7), ArchiveTime(65535, 65535)));
}

TEST(ArchiveNames, EnglishNamesTwoDigitFields) {
  EXPECT_EQ("07_Monday_December_14_05_09.bda", ArchiveFileName(ArchiveTime(12, 7, 1, 14, 5, 9)));
  EXPECT_EQ("01_Sunday_January_00_00_00.bda", ArchiveFileName(ArchiveTime(1, 1, 0)));
  EXPECT_EQ("31_Saturday_October_23_59_59.bda", ArchiveFileName(ArchiveTime(10, 31, 6, 23, 59, 59)));
  EXPECT_STREQ("", EnglishMonthName(0));
  EXPECT_STREQ("", EnglishMonthName(13));
  EXPECT_STREQ("", EnglishDayName(7));
  // Out-of-range fields still give a bounded name.
  EXPECT_EQ("65535___65535_65535_65535.bda", ArchiveFileName(ArchiveTime(0, 65535, 9, 65535, 65535, 65535)));
}

TEST(ArchiveNames, HeaderLines) {
  EXPECT_EQ("Appliction Name: Hookwarden\r\nVersion: 1.0.0.1\r\nFile Name: 07_Monday_December_14_05_09.bda\r\n",
            ArchiveHeader("Hookwarden", "1.0.0.1", "07_Monday_December_14_05_09.bda"));
  EXPECT_EQ("Appliction Name: \r\nVersion: \r\nFile Name: x.bda\r\n", ArchiveHeader("", "", "x.bda"));
}

}  // namespace
