// When the console checks for updates, and when it calls definitions old.
#include <gtest/gtest.h>

#include "updater/UpdateSchedule.h"

namespace {

constexpr long long kStart = 1'796'774'400;  // 2026-12-09T00:00:00Z

TEST(UpdateSchedule, ChecksComeEveryIntervalAndFailuresBackOff) {
  const struct {
    const char* szName;
    SUpdateChecks checks;
    long long nNow;
    long long nDue;
  } cases[] = {
      {"first, soon after start-up", {kStart, 0, 0, 0}, kStart, kStart + kFirstCheckDelaySeconds},
      {"restart after a recent check", {kStart, kStart - 600, 0, 0}, kStart, kStart + 3000},
      {"restart long after the last check", {kStart, kStart - 86400, 0, 0}, kStart, kStart + kFirstCheckDelaySeconds},
      {"an hour after a check", {kStart, kStart + 100, 0, 0}, kStart + 200, kStart + 3700},
      {"a check in the future is not trusted", {kStart, kStart + 9999, 0, 0}, kStart + 60, kStart + 60},
      {"first failure", {kStart, 0, 1, kStart + 20}, kStart + 20, kStart + 20 + 120},
      {"third failure", {kStart, 0, 3, kStart + 500}, kStart + 500, kStart + 500 + 480},
      {"many failures wait the interval at most", {kStart, 0, 40, kStart}, kStart, kStart + 3600},
  };
  for (const auto& c : cases) EXPECT_EQ(NextUpdateCheck(c.checks, c.nNow, 60), c.nDue) << c.szName;
}

TEST(UpdateSchedule, StoredIntervalsAndTimes) {
  EXPECT_EQ(UpdateIntervalMinutes(""), 60);
  EXPECT_EQ(UpdateIntervalMinutes("30"), 30);
  EXPECT_EQ(UpdateIntervalMinutes("5"), 15);
  EXPECT_EQ(UpdateIntervalMinutes("99999999"), kMaxUpdateIntervalMinutes);
  EXPECT_EQ(UpdateIntervalMinutes("-5"), 60);
  EXPECT_EQ(UpdateIntervalMinutes("1h"), 60);

  EXPECT_EQ(FormatUtcTime(kStart + 3723), "2026-12-09T01:02:03Z");
  long long nSeconds = 0;
  ASSERT_TRUE(ParseUtcTime("2024-02-29T23:59:59Z", nSeconds));
  EXPECT_EQ(FormatUtcTime(nSeconds), "2024-02-29T23:59:59Z");
  for (const char* szBad : {"", "2026-12-09 01:02:03Z", "2026-13-09T01:02:03Z", "2026-12-09T24:00:00Z",
                            "1969-12-31T23:59:59Z", "2026-12-09T01:02:03"}) {
    EXPECT_FALSE(ParseUtcTime(szBad, nSeconds)) << szBad;
  }
}

TEST(UpdateSchedule, DefinitionsAreOldFromTheEndOfTheDayAfterTheirs) {
  EXPECT_FALSE(AreDefinitionsOld("12/08/2026.5", kStart + 86399));  // made on the 8th, now the 9th
  EXPECT_TRUE(AreDefinitionsOld("12/08/2026.5", kStart + 86400));
  EXPECT_TRUE(AreDefinitionsOld("12/01/2026", kStart));
  EXPECT_FALSE(AreDefinitionsOld("12/09/2026", kStart));
  EXPECT_FALSE(AreDefinitionsOld("ab/cd/x", kStart));
}

}  // namespace
