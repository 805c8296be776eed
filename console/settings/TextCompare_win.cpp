// The comparison of the Windows string functions: both texts are read in the ANSI
// code page and compared by the user's locale ignoring case, as lstrcmpiA does.
#include <windows.h>

#include "console/settings/TextCompare.h"

bool IsSameTextIgnoringCase(const char* szFirst, const char* szSecond) {
  if (szFirst == nullptr) szFirst = "";
  if (szSecond == nullptr) szSecond = "";
  return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, szFirst, -1, szSecond, -1) == CSTR_EQUAL;
}
