// Decimal numbers written as text: ports in request records and in the registry,
// numeric command arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The value of the leading decimal number of a text, after blanks and an optional
// sign: "80" 80, "-1" -1, "12ab" 12, "" or "x" 0. Values beyond 32 bits stop at the
// nearest limit. At most cchMax characters are looked at.
std::int32_t DecimalValue(const char* szText, std::size_t cchMax = SIZE_MAX);

// The value as decimal text: 80 "80", -1 "-1".
std::string DecimalText(std::int32_t nValue);
