// The C runtime's linear congruential generator, written out so that the folder
// names it makes are the same on every platform and with every runtime.
#pragma once

#include <cstdint>
#include <string>

// Seeds of the folders below the application folder and of the tray menu keys.
constexpr unsigned kLanguageFolderSeed = 8;
constexpr unsigned kHelpFolderSeed = 10;
constexpr unsigned kScreenFolderSeed = 11;
constexpr unsigned kTrayMenuSeed = 147;

class CPseudoRandom {
 public:
  explicit CPseudoRandom(unsigned nSeed = 1) : m_nState(nSeed) {}
  void Seed(unsigned nSeed) { m_nState = nSeed; }
  // state = state * 214013 + 2531011 (modulo 2^32); the result is bits 16 to 30.
  int Next() {
    m_nState = m_nState * 214013u + 2531011u;
    return static_cast<int>((m_nState >> 16) & 0x7FFF);
  }

 private:
  std::uint32_t m_nState;
};

// The two nested folder names for a seed: the first two values after seeding, in
// decimal without leading zeros, as "first\second".
std::string SeededFolderNames(unsigned nSeed);
