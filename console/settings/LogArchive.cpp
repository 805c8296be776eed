#include "console/settings/LogArchive.h"

#include <cstdio>

std::uint8_t ElapsedArchiveDays(const SLocalTime& now, const SLocalTime& start) {
  const auto Days = [](const SLocalTime& t) {
    return static_cast<std::uint8_t>(static_cast<std::uint8_t>(t.wMonth) * 30 + static_cast<std::uint8_t>(t.wDay));
  };
  return static_cast<std::uint8_t>(Days(now) - Days(start));
}

const char* EnglishDayName(unsigned nDayOfWeek) {
  static const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  return nDayOfWeek < 7 ? kDays[nDayOfWeek] : "";
}

const char* EnglishMonthName(unsigned nMonth) {
  static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
  return nMonth >= 1 && nMonth <= 12 ? kMonths[nMonth - 1] : "";
}

std::string ArchiveFileName(const SLocalTime& now) {
  char szName[96];
  std::snprintf(szName, sizeof(szName), "%02u_%s_%s_%02u_%02u_%02u.bda", static_cast<unsigned>(now.wDay),
                EnglishDayName(now.wDayOfWeek), EnglishMonthName(now.wMonth), static_cast<unsigned>(now.wHour),
                static_cast<unsigned>(now.wMinute), static_cast<unsigned>(now.wSecond));
  return szName;
}

std::string ArchiveHeader(const std::string& strAppTitle, const std::string& strVersion,
                          const std::string& strFileName) {
  return "Appliction Name: " + strAppTitle + "\r\nVersion: " + strVersion + "\r\nFile Name: " + strFileName + "\r\n";
}
