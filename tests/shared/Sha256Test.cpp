// SHA-256 against the standard's examples, in pieces, and with and without the
// processor's instructions.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "shared/Sha256.h"

namespace {

std::string HexOf(const std::array<std::uint8_t, 32>& digest) {
  static const char kHex[] = "0123456789abcdef";
  std::string strHex;
  for (const std::uint8_t b : digest) strHex += std::string{kHex[b >> 4], kHex[b & 15]};
  return strHex;
}

TEST(Sha256, KnownDigestsOfOneAndTwoBlocks) {
  EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", HexOf(Sha256("")));
  EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", HexOf(Sha256("abc")));
  EXPECT_EQ("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
            HexOf(Sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")));
  // A million "a" in pieces that cut the blocks anywhere.
  const std::string strMillion(1000000, 'a');
  CSha256 hash;
  for (std::size_t at = 0, n = 1; at < strMillion.size(); at += n, n = n * 7 % 191 + 1) {
    hash.Add(std::string_view(strMillion).substr(at, n));
  }
  EXPECT_EQ("cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0", HexOf(hash.Finish()));
  EXPECT_EQ("cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0",
            HexOf(Sha256WithoutInstructions(strMillion)));
  // The processor's instructions, where it has them, give what the rounds in code give.
  for (std::size_t cb = 0; cb < 300; cb += 7) {
    std::string strBytes;
    for (std::size_t i = 0; i < cb; ++i) strBytes += static_cast<char>(i * 31 + cb);
    EXPECT_EQ(HexOf(Sha256WithoutInstructions(strBytes)), HexOf(Sha256(strBytes))) << cb << " bytes";
  }
}

}  // namespace
