#include "updater/UpdateSchedule.h"

#include <cstdio>

#include "definitions/DefinitionsVersion.h"
#include "shared/Policies.h"

namespace {

constexpr long long kSecondsPerDay = 24 * 60 * 60;

// An administrator's interval keeps to the bounds of the user's.
constexpr const SPolicyRow& kIntervalPolicy = kPolicyRows[static_cast<std::size_t>(EPolicy::UpdateInterval)];
static_assert(kIntervalPolicy.nMin == kMinUpdateIntervalMinutes && kIntervalPolicy.nMax == kMaxUpdateIntervalMinutes);

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
long long DaysSince1970(long long nYear, long long nMonth, long long nDay) {
  nYear -= nMonth <= 2;
  const long long nEra = nYear / 400;
  const long long nYearOfEra = nYear - nEra * 400;
  const long long nDayOfYear = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
  const long long nDayOfEra = nYearOfEra * 365 + nYearOfEra / 4 - nYearOfEra / 100 + nDayOfYear;
  return nEra * 146097 + nDayOfEra - 719468;
}

}  // namespace

long long UpdateIntervalMinutes(const std::string& strStored) {
  if (strStored.empty() || strStored.size() > 9 || strStored.find_first_not_of("0123456789") != std::string::npos) {
    return kDefaultUpdateIntervalMinutes;
  }
  const long long nMinutes = std::stoll(strStored);
  if (nMinutes < kMinUpdateIntervalMinutes) return kMinUpdateIntervalMinutes;
  return nMinutes > kMaxUpdateIntervalMinutes ? kMaxUpdateIntervalMinutes : nMinutes;
}

long long NextUpdateCheck(const SUpdateChecks& checks, long long nNow, long long nIntervalMinutes) {
  const long long nInterval = nIntervalMinutes * 60;
  if (checks.nFailures > 0) {
    long long nWait = kFirstRetrySeconds;
    for (int i = 1; i < checks.nFailures && nWait < nInterval; ++i) nWait *= 2;
    return checks.nLastFailure + (nWait < nInterval ? nWait : nInterval);
  }
  const long long nFirst = checks.nStartedAt + kFirstCheckDelaySeconds;
  if (checks.nLastSuccess <= 0 || checks.nLastSuccess > nNow) return nFirst > nNow ? nFirst : nNow;
  const long long nDue = checks.nLastSuccess + nInterval;
  return nDue < nFirst ? nFirst : nDue;
}

std::string FormatUtcTime(long long nSeconds) {
  if (nSeconds < 0) nSeconds = 0;
  long long nDays = nSeconds / kSecondsPerDay;
  const long long nOfDay = nSeconds % kSecondsPerDay;
  // The civil date of a day number (the inverse of DaysSince1970).
  nDays += 719468;
  const long long nEra = nDays / 146097;
  const long long nDayOfEra = nDays - nEra * 146097;
  const long long nYearOfEra = (nDayOfEra - nDayOfEra / 1460 + nDayOfEra / 36524 - nDayOfEra / 146096) / 365;
  const long long nDayOfYear = nDayOfEra - (365 * nYearOfEra + nYearOfEra / 4 - nYearOfEra / 100);
  const long long nMonthIndex = (5 * nDayOfYear + 2) / 153;
  const long long nDay = nDayOfYear - (153 * nMonthIndex + 2) / 5 + 1;
  const long long nMonth = nMonthIndex < 10 ? nMonthIndex + 3 : nMonthIndex - 9;
  const long long nYear = nYearOfEra + nEra * 400 + (nMonth <= 2);
  char szText[32];
  std::snprintf(szText, sizeof szText, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", nYear, nMonth, nDay, nOfDay / 3600,
                nOfDay / 60 % 60, nOfDay % 60);
  return szText;
}

bool ParseUtcTime(const std::string& strText, long long& nSeconds) {
  static const char kForm[] = "dddd-dd-ddTdd:dd:ddZ";
  if (strText.size() != sizeof kForm - 1) return false;
  long long nParts[6] = {};
  int nPart = 0;
  for (std::size_t i = 0; i < strText.size(); ++i) {
    if (kForm[i] != 'd') {
      if (strText[i] != kForm[i]) return false;
      ++nPart;
      continue;
    }
    if (strText[i] < '0' || strText[i] > '9') return false;
    nParts[nPart] = nParts[nPart] * 10 + (strText[i] - '0');
  }
  const long long nYear = nParts[0], nMonth = nParts[1], nDay = nParts[2];
  if (nYear < 1970 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 || nParts[3] > 23 || nParts[4] > 59 ||
      nParts[5] > 59) {
    return false;
  }
  nSeconds = DaysSince1970(nYear, nMonth, nDay) * kSecondsPerDay + nParts[3] * 3600 + nParts[4] * 60 + nParts[5];
  return true;
}

bool AreDefinitionsOld(const std::string& strVersion, long long nNow) {
  const long nDate = VersionDateNumber(DefinitionsVersionDate(strVersion));
  if (nDate == 0) return false;
  const long long nMadeBy = (DaysSince1970(nDate / 10000, nDate / 100 % 100, nDate % 100) + 1) * kSecondsPerDay;
  return nNow >= nMadeBy + kSecondsPerDay;
}
