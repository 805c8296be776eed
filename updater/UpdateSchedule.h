// When the console looks for new definitions, and when it tells the user that the
// definitions are old (platform-free). Times are seconds since 1970, UTC.
//
// Checks come every interval ("UpdateInterval" of the product key, in minutes; an
// hour by default, never less than 15 minutes). The first comes within a minute of
// start-up, unless the last successful check ("LastUpdateCheck") was less than an
// interval ago: then an interval after it, so a restart does not check again at
// once. A failed check is tried again after 2, 4, 8, ... minutes, never later than
// the interval.
#pragma once

#include <string>

constexpr long long kDefaultUpdateIntervalMinutes = 60;
constexpr long long kMinUpdateIntervalMinutes = 15;
constexpr long long kMaxUpdateIntervalMinutes = 7 * 24 * 60;
constexpr long long kFirstCheckDelaySeconds = 20;
constexpr long long kFirstRetrySeconds = 2 * 60;

// The stored interval in minutes: decimal digits; below 15 counts as 15, above a
// week as a week; empty or any other text as the default.
long long UpdateIntervalMinutes(const std::string& strStored);

struct SUpdateChecks {
  long long nStartedAt = 0;    // the console's start
  long long nLastSuccess = 0;  // the last check that got the server's answer; 0: none known
  int nFailures = 0;           // checks failed since
  long long nLastFailure = 0;
};

// When the next check is due, seen at nNow. A last success after nNow means the
// clock was set back: it is not trusted.
long long NextUpdateCheck(const SUpdateChecks& checks, long long nNow, long long nIntervalMinutes);

// "YYYY-MM-DDTHH:MM:SSZ", the form of "LastUpdateCheck" and of a manifest's expiry.
std::string FormatUtcTime(long long nSeconds);
// False for any other text; a time before 1970 is refused.
bool ParseUtcTime(const std::string& strText, long long& nSeconds);

// True when definitions of this version are surely older than a day: a version
// names only the day it was made, so it is old from the end of the day after it.
// Versions that are not dates are never called old.
bool AreDefinitionsOld(const std::string& strVersion, long long nNow);
