// The definitions version: the line in the header of the shipped definitions
// file "\hkwdn1.hwd" (platform-free part). It is a date "MM/DD/YYYY", optionally
// followed by "." and the day's sequence (1 to 3 digits), so that several updates
// of one day are told apart: "12/09/2026.14" follows "12/09/2026.3", which
// follows "12/09/2026". The 14 characters of the header line leave room for it.
#pragma once

#include <cstddef>
#include <string>

// The definitions files in the application folder: the shipped one and the
// working one the console writes for the engine library.
constexpr const char* kShippedDefinitionsFile = "\\hkwdn1.hwd";
constexpr const char* kWorkingDefinitionsFile = "\\hkwdn2.hwd";

// Characters of the header line before its line end.
constexpr std::size_t kVersionLineChars = 14;
constexpr int kMaxVersionSequence = 999;

// Of the first 256 bytes: the text before the first "\r\n" with trailing spaces
// removed, when it has the form of a date NN/NN/... (first "/" at index 2, the next
// at index 5); otherwise, or without "\r\n", the empty text.
std::string DefinitionsVersionOfHeader(const char* pData, std::size_t cbData);

// A definitions version "MM/DD/YYYY" as YYYYMMDD for comparing; 0 when it is not
// such a date. The day's sequence is not part of it.
long VersionDateNumber(const std::string& strVersion);

// The whole version, date and sequence, as YYYYMMDD * 1000 + sequence (a date
// alone has sequence 0); 0 when it is neither "MM/DD/YYYY" nor "MM/DD/YYYY.N".
long long DefinitionsVersionNumber(const std::string& strVersion);

// The day's sequence of "MM/DD/YYYY.N" (its part after the tenth character); -1
// for any other form.
int DefinitionsVersionSequence(const std::string& strVersion);

// What the user is shown ("DefnsVersion", the overview): the date of a version
// with a sequence, any other version text as it is.
std::string DefinitionsVersionDate(const std::string& strVersion);
