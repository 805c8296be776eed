// The reversible character scrambling of the working definitions file: each byte
// is added to a cyclic key byte, and the two INI characters ";" and "=" are escaped
// so that scrambled text never holds them.
#pragma once

#include <string>
#include <string_view>

// The scrambling key of the definitions file.
const std::string& ScramblingKey();

// 0x3B becomes 0xBB and 0x3D becomes 0xBD; every other byte stays as it is.
std::string EncodeByte(unsigned char cByte);
// Reverses EncodeByte on the first character of strChar (0 for an empty string).
unsigned char DecodeByte(const std::string& strChar);

// Scrambles with the cyclic key. A sum of 0 appends nothing, so the result is then
// shorter than the input.
std::string ScrambleString(const std::string& strPlain, const std::string& strKey = ScramblingKey());
// The same appended to strOut, for texts scrambled by the million.
void AppendScrambled(std::string& strOut, std::string_view plain, const std::string& strKey = ScramblingKey());
// One stored byte at position nPosition of a scrambled text, unscrambled.
unsigned char UnscrambleByte(unsigned char cStored, std::size_t nPosition, const std::string& strKey = ScramblingKey());
// Unscrambles; every input character gives one output character, 0 included.
std::string UnscrambleString(const std::string& strScrambled, const std::string& strKey = ScramblingKey());
