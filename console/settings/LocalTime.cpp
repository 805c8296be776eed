#include "console/settings/LocalTime.h"

namespace {
std::uint16_t* Fields(SLocalTime* pTime, int i) {
  std::uint16_t* apFields[8] = {&pTime->wYear, &pTime->wMonth,  &pTime->wDayOfWeek, &pTime->wDay,
                                &pTime->wHour, &pTime->wMinute, &pTime->wSecond,    &pTime->wMilliseconds};
  return apFields[i];
}
}  // namespace

void StoreLocalTime(const SLocalTime& time, unsigned char abBytes[LOCAL_TIME_BYTES]) {
  SLocalTime copy = time;
  for (int i = 0; i < 8; ++i) {
    const std::uint16_t w = *Fields(&copy, i);
    abBytes[2 * i] = static_cast<unsigned char>(w);
    abBytes[2 * i + 1] = static_cast<unsigned char>(w >> 8);
  }
}

void LoadLocalTime(const unsigned char* pBytes, unsigned cbBytes, SLocalTime* pTime) {
  unsigned char abBytes[LOCAL_TIME_BYTES];
  StoreLocalTime(*pTime, abBytes);
  for (unsigned i = 0; i < cbBytes && i < LOCAL_TIME_BYTES; ++i) abBytes[i] = pBytes[i];
  for (int i = 0; i < 8; ++i) {
    *Fields(pTime, i) = static_cast<std::uint16_t>(abBytes[2 * i] | abBytes[2 * i + 1] << 8);
  }
}
