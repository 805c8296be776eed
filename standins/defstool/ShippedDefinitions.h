// The shipped definitions file "hkwdn1.hwd": a 16-byte plain header line (the
// version "MM/DD/YYYY" or "MM/DD/YYYY.N" padded with spaces, then carriage return and line feed),
// followed by the working definitions text padded with spaces to whole 8-byte
// blocks and encrypted in electronic-codebook mode with the pass phrase.
#pragma once

#include <string>

#include "definitions/ShippedDefinitionsText.h"

// Two digits, "/", two digits, "/", four digits, optionally followed by "." and
// the day's sequence (1 to 3 digits).
bool IsDefinitionsVersion(const std::string& strVersion);

// The file, or a failure with the reason when the version is malformed or the
// working text empty. Also refuses a version whose header would decrypt to the
// start of a byte-order mark, which would make the reader take the whole file for
// another encoding.
CResultOf<std::string> WriteShippedDefinitions(const std::string& strWorkingText, const std::string& strVersion);
