// The definitions version: the date in the header line of the shipped
// definitions file "\hkwdn1.hwd" (platform-free part).
#pragma once

#include <cstddef>
#include <string>

// The definitions files in the application folder: the shipped one and the
// working one the console writes for the engine library.
constexpr const char* kShippedDefinitionsFile = "\\hkwdn1.hwd";
constexpr const char* kWorkingDefinitionsFile = "\\hkwdn2.hwd";

// Of the first 256 bytes: the text before the first "\r\n" with trailing spaces
// removed, when it has the form of a date NN/NN/... (first "/" at index 2, the next
// at index 5); otherwise, or without "\r\n", the empty text.
std::string DefinitionsVersionOfHeader(const char* pData, std::size_t cbData);

// A definitions version "MM/DD/YYYY" as YYYYMMDD for comparing; 0 when it is not
// such a date.
long VersionDateNumber(const std::string& strVersion);
