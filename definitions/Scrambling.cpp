#include "definitions/Scrambling.h"

const std::string& ScramblingKey() {
  static const std::string strKey = "6318527";
  return strKey;
}

namespace {

unsigned char Escaped(unsigned char c) {
  return (c == 0x3B || c == 0x3D) ? static_cast<unsigned char>(c + 0x80) : c;
}

unsigned char Unescaped(unsigned char c) {
  return (c == 0xBB || c == 0xBD) ? static_cast<unsigned char>(c - 0x80) : c;
}

}  // namespace

std::string EncodeByte(unsigned char cByte) {
  return std::string(1, static_cast<char>(Escaped(cByte)));
}

unsigned char DecodeByte(const std::string& strChar) {
  if (strChar.empty()) return 0;
  return Unescaped(static_cast<unsigned char>(strChar[0]));
}

std::string ScrambleString(const std::string& strPlain, const std::string& strKey) {
  if (strKey.empty()) return strPlain;  // no key, nothing to add
  std::string strOut;
  strOut.reserve(strPlain.size());
  AppendScrambled(strOut, strPlain, strKey);
  return strOut;
}

void AppendScrambled(std::string& strOut, std::string_view plain, const std::string& strKey) {
  if (strKey.empty()) {
    strOut.append(plain);
    return;
  }
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const unsigned sum = static_cast<unsigned char>(plain[i]) + static_cast<unsigned char>(strKey[i % strKey.size()]);
    const auto s = static_cast<unsigned char>(sum & 0xFF);
    // Each piece is appended as a zero-terminated text: a sum of 0 adds nothing.
    if (s != 0) strOut += static_cast<char>(Escaped(s));
  }
}

unsigned char UnscrambleByte(unsigned char cStored, std::size_t nPosition, const std::string& strKey) {
  if (strKey.empty()) return cStored;
  const unsigned c = Unescaped(cStored);
  const unsigned k = static_cast<unsigned char>(strKey[nPosition % strKey.size()]);
  return static_cast<unsigned char>((c - k + 256) & 0xFF);
}

std::string UnscrambleString(const std::string& strScrambled, const std::string& strKey) {
  std::string strOut;
  strOut.reserve(strScrambled.size());
  for (std::size_t i = 0; i < strScrambled.size(); ++i) {
    strOut += static_cast<char>(UnscrambleByte(static_cast<unsigned char>(strScrambled[i]), i, strKey));
  }
  return strOut;
}
