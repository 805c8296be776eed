// SHA-256 of a byte string, platform-free: a digest that stays the same on every
// machine and in every version, for texts that are stored, and for files read in
// pieces (an update's files are larger than a program should hold at once).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::string_view bytes);

// Sha256 without the processor's SHA instructions, which the tests compare it with
// on a processor that has them.
Sha256Digest Sha256WithoutInstructions(std::string_view bytes);

// The same digest of bytes given in pieces of any size.
class CSha256 {
 public:
  void Add(std::string_view bytes);
  // The digest of everything added; the object is then spent.
  Sha256Digest Finish();

 private:
  friend Sha256Digest Sha256WithoutInstructions(std::string_view bytes);
  bool m_bInstructions = true;
  std::uint32_t m_state[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                              0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::uint8_t m_block[64] = {};
  std::size_t m_cbBlock = 0;
  std::uint64_t m_cbTotal = 0;
};
