// The name code: a reversible decimal coding of names. The console names its movie,
// help, language and updater files with it and stores the language and the
// password in this form.
#pragma once

#include <string>

// Upper-cases the text (letters a to z) and writes every byte as its decimal value
// read as a signed 8-bit number, without separators: "abc" gives "656667".
std::string EncodeNameCode(const char* szText);

// Reads the code two characters at a time (a single last character alone), each
// piece as the decimal number of its leading digits (0 when there are none), and
// appends the character with that code. Pieces that give 0 add nothing, so the
// result never holds a zero byte. Only characters whose code lies from 10 to 99
// after upper-casing come back as they went in.
std::string DecodeNameCode(const char* szCode);
