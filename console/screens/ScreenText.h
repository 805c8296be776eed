// How screens read the texts that their movies send.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <cstdint>
#include <string>

// True when the two texts are equal, letters A to Z compared without regard to case.
bool IsSameCommand(const char* szCommand, const char* szName);

// True for the argument "undefined" in any letter case: the movie had no value.
bool IsUndefinedArgument(const char* szArgument);

// The argument's leading decimal number: optional blanks and sign, then digits;
// 0 when there are none. Values beyond 32 bits stop at the nearest limit.
int ReadDecimalArgument(const char* szArgument);

// As ReadDecimalArgument, but false, with *pValue unchanged, when the text holds
// no number at all (a movie without the value, an empty field).
bool ReadDecimalNumber(const char* szArgument, int* pValue);

// The decimal text of a number, as every number is sent to a movie.
std::string DecimalText(long nValue);

// The state form of a flag: one character with code 1 for on, empty for off.
std::string StateForm(std::int32_t nFlag);
