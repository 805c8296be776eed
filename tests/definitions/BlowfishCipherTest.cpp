// The block cipher against the published Blowfish vectors and its buffer rules.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "definitions/BlowfishCipher.h"

namespace {

// The 34 published ECB vectors: key, plain text, cipher text, 8 bytes each.
const char* const kVectors[][3] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
    {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
    {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
    {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
    {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
    {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
    {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
    {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
};

std::vector<unsigned char> FromHex(const std::string& strHex) {
  std::vector<unsigned char> bytes;
  for (std::size_t i = 0; i + 1 < strHex.size(); i += 2) {
    bytes.push_back(static_cast<unsigned char>(std::stoul(strHex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::uint32_t Word(const std::vector<unsigned char>& b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

const unsigned char kZeroChain[8] = {};

BlowfishCipher Keyed(const std::string& strKey, const unsigned char* pChain = kZeroChain) {
  BlowfishCipher cipher;
  cipher.SetKey(reinterpret_cast<const unsigned char*>(strKey.data()), strKey.size(), pChain);
  return cipher;
}

std::vector<unsigned char> Pattern(std::size_t n) {
  std::vector<unsigned char> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<unsigned char>(i * 37 + 11);
  return bytes;
}

TEST(BlowfishCipher, PublishedVectorsBothWays) {
  for (const auto& vector : kVectors) {
    const auto key = FromHex(vector[0]), plain = FromHex(vector[1]), cipherText = FromHex(vector[2]);
    BlowfishCipher cipher;
    cipher.SetKey(key.data(), key.size(), kZeroChain);
    std::uint32_t left = Word(plain, 0), right = Word(plain, 4);
    cipher.EncryptBlock(&left, &right);
    EXPECT_EQ(Word(cipherText, 0), left) << vector[0] << " " << vector[1];
    EXPECT_EQ(Word(cipherText, 4), right) << vector[0] << " " << vector[1];
    cipher.DecryptBlock(&left, &right);
    EXPECT_EQ(Word(plain, 0), left);
    EXPECT_EQ(Word(plain, 4), right);

    // The buffer routines read and write the halves big-endian.
    std::vector<unsigned char> out(8);
    cipher.Encrypt(plain.data(), out.data(), 8, BlowfishCipher::MODE_ECB);
    EXPECT_EQ(cipherText, out);
    cipher.Decrypt(cipherText.data(), out.data(), 8, BlowfishCipher::MODE_ECB);
    EXPECT_EQ(plain, out);
  }
}

TEST(BlowfishCipher, KeyIsCutAfter56Bytes) {
  std::string strKey(56, 0);
  for (std::size_t i = 0; i < strKey.size(); ++i) strKey[i] = static_cast<char>(i * 7 + 1);
  const auto input = Pattern(64);
  std::vector<unsigned char> expected(64), out(64);
  Keyed(strKey).Encrypt(input.data(), expected.data(), 64, 0);
  Keyed(strKey + "X").Encrypt(input.data(), out.data(), 64, 0);
  EXPECT_EQ(expected, out);
  Keyed(strKey + std::string(200, 'y')).Encrypt(input.data(), out.data(), 64, 0);
  EXPECT_EQ(expected, out);
  Keyed(strKey.substr(0, 55)).Encrypt(input.data(), out.data(), 64, 0);
  EXPECT_NE(expected, out);
}

TEST(BlowfishCipher, EcbWorksBlockByBlock) {
  const BlowfishCipher cipher = Keyed("63185207");
  const auto input = Pattern(16);
  std::vector<unsigned char> whole(16), halves(16);
  cipher.Decrypt(input.data(), whole.data(), 16, BlowfishCipher::MODE_ECB);
  cipher.Decrypt(input.data(), halves.data(), 8, BlowfishCipher::MODE_ECB);
  cipher.Decrypt(input.data() + 8, halves.data() + 8, 8, BlowfishCipher::MODE_ECB);
  EXPECT_EQ(whole, halves);
  // Any mode other than 1 and 2 is electronic codebook.
  cipher.Decrypt(input.data(), halves.data(), 16, 7);
  EXPECT_EQ(whole, halves);
}

TEST(BlowfishCipher, ChainingModesRestartFromTheChainStartAndRoundTrip) {
  const unsigned char chain[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  const BlowfishCipher cipher = Keyed("chaining key", chain);
  const auto input = Pattern(48);
  for (int nMode : {BlowfishCipher::MODE_CBC, BlowfishCipher::MODE_CFB}) {
    std::vector<unsigned char> first(48), second(48), encrypted(48), back(48);
    cipher.Decrypt(input.data(), first.data(), 48, nMode);
    cipher.Decrypt(input.data(), second.data(), 48, nMode);
    EXPECT_EQ(first, second) << "mode " << nMode;
    cipher.Encrypt(input.data(), encrypted.data(), 48, nMode);
    cipher.Decrypt(encrypted.data(), back.data(), 48, nMode);
    EXPECT_EQ(input, back) << "mode " << nMode;
    // In place gives the same as into a second buffer.
    std::vector<unsigned char> inPlace = encrypted;
    cipher.Decrypt(inPlace.data(), inPlace.data(), 48, nMode);
    EXPECT_EQ(input, inPlace) << "mode " << nMode;
  }
}

TEST(BlowfishCipher, ChainingModesFollowTheirDefinitions) {
  // The chain start is read as two little-endian words.
  const unsigned char chain[8] = {0x78, 0x56, 0x34, 0x12, 0xF0, 0xDE, 0xBC, 0x9A};
  const BlowfishCipher cipher = Keyed("abc", chain);
  const auto input = Pattern(16);
  std::vector<unsigned char> cbc(16), cfb(16), ecb(16);
  cipher.Decrypt(input.data(), cbc.data(), 16, BlowfishCipher::MODE_CBC);
  cipher.Decrypt(input.data(), cfb.data(), 16, BlowfishCipher::MODE_CFB);
  cipher.Decrypt(input.data(), ecb.data(), 16, BlowfishCipher::MODE_ECB);

  const std::uint32_t x[2] = {0x12345678, 0x9ABCDEF0};
  const std::vector<unsigned char> ecbBytes = ecb;
  EXPECT_EQ(Word(ecbBytes, 0) ^ x[0], Word(cbc, 0));
  EXPECT_EQ(Word(ecbBytes, 4) ^ x[1], Word(cbc, 4));
  EXPECT_EQ(Word(ecbBytes, 8) ^ Word(input, 0), Word(cbc, 8));
  EXPECT_EQ(Word(ecbBytes, 12) ^ Word(input, 4), Word(cbc, 12));

  std::uint32_t l = x[0], r = x[1];
  cipher.EncryptBlock(&l, &r);
  EXPECT_EQ(Word(input, 0) ^ l, Word(cfb, 0));
  EXPECT_EQ(Word(input, 4) ^ r, Word(cfb, 4));
  l = Word(input, 0);
  r = Word(input, 4);
  cipher.EncryptBlock(&l, &r);
  EXPECT_EQ(Word(input, 8) ^ l, Word(cfb, 8));
  EXPECT_EQ(Word(input, 12) ^ r, Word(cfb, 12));
}

TEST(BlowfishCipher, RefusedCallsRaiseTheirMessageAndWriteNothing) {
  BlowfishCipher cipher;
  try {
    cipher.SetKey(reinterpret_cast<const unsigned char*>("k"), 0, kZeroChain);
    ADD_FAILURE() << "an empty key was accepted";
  } catch (const CBlowfishError& error) {
    EXPECT_STREQ("Incorrect key length", error.what());
  }

  cipher = Keyed("63185207");
  const auto input = Pattern(16);
  for (std::size_t nLength : {std::size_t{12}, std::size_t{0}, std::size_t{7}}) {
    for (int nMode : {0, 1, 2}) {
      std::vector<unsigned char> out(16, 0xAA);
      try {
        cipher.Decrypt(input.data(), out.data(), nLength, nMode);
        ADD_FAILURE() << "length " << nLength << " was accepted";
      } catch (const CBlowfishError& error) {
        EXPECT_STREQ("Incorrect buffer length", error.what());
      }
      EXPECT_EQ(std::vector<unsigned char>(16, 0xAA), out) << "length " << nLength << " mode " << nMode;
      EXPECT_THROW(cipher.Encrypt(input.data(), out.data(), nLength, nMode), CBlowfishError);
      EXPECT_EQ(std::vector<unsigned char>(16, 0xAA), out);
    }
  }
}

}  // namespace
