// The block cipher against a second, independent Blowfish: OpenSSL's libcrypto,
// which takes keys of any length. Native build only.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <gtest/gtest.h>
#include <openssl/blowfish.h>

#include <random>
#include <vector>

#include "definitions/BlowfishCipher.h"

namespace {

TEST(BlowfishPeer, AgreesWithLibcryptoForRandomKeysAndBuffers) {
  std::mt19937 random(20261208);
  const unsigned char chain[8] = {};
  for (int nRound = 0; nRound < 300; ++nRound) {
    const std::size_t nKeyLength = 1 + random() % BlowfishCipher::MAX_KEY_LENGTH;
    std::vector<unsigned char> key(nKeyLength);
    for (auto& b : key) b = static_cast<unsigned char>(random());
    const std::size_t nLength = 8 * (1 + random() % 16);
    std::vector<unsigned char> input(nLength);
    for (auto& b : input) b = static_cast<unsigned char>(random());

    BlowfishCipher cipher;
    cipher.SetKey(key.data(), key.size(), chain);
    BF_KEY peer;
    BF_set_key(&peer, static_cast<int>(key.size()), key.data());

    std::vector<unsigned char> ours(nLength), theirs(nLength);
    cipher.Encrypt(input.data(), ours.data(), nLength, BlowfishCipher::MODE_ECB);
    for (std::size_t at = 0; at < nLength; at += 8) BF_ecb_encrypt(&input[at], &theirs[at], &peer, BF_ENCRYPT);
    ASSERT_EQ(theirs, ours) << "encrypting, key length " << nKeyLength;

    cipher.Decrypt(input.data(), ours.data(), nLength, BlowfishCipher::MODE_ECB);
    for (std::size_t at = 0; at < nLength; at += 8) BF_ecb_encrypt(&input[at], &theirs[at], &peer, BF_DECRYPT);
    ASSERT_EQ(theirs, ours) << "decrypting, key length " << nKeyLength;
  }
}

}  // namespace
