// Equality of two texts without regard to letter case, as the lists and the alert
// log compare their entries. Texts are in the system's ANSI code page, which may
// hold multi-byte characters, so letters outside A to Z fold as well.
#pragma once

#include <string>

// True when both texts are equal ignoring letter case. A null text counts as empty.
bool IsSameTextIgnoringCase(const char* szFirst, const char* szSecond);

// A text that two texts share exactly when IsSameTextIgnoringCase finds them
// equal, so that entries can be looked up by it. Its bytes mean nothing else.
std::string TextCaseKey(const char* szText);
