// The Blowfish block cipher (64-bit blocks, 16 rounds, keys of 1 to 56 bytes) with
// whole-buffer decryption and encryption in three chaining modes. The shipped
// definitions file is encrypted with it in electronic-codebook mode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

// The cipher's two errors, "Incorrect key length" and "Incorrect buffer length".
// They are the only exceptions the system raises.
class CBlowfishError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class BlowfishCipher {
 public:
  // Buffer modes. Any value other than CBC and CFB means electronic codebook.
  enum { MODE_ECB = 0, MODE_CBC = 1, MODE_CFB = 2 };
  static constexpr std::size_t MAX_KEY_LENGTH = 56;

  // Stores the chain start (8 bytes read as two little-endian words, left first)
  // and builds the tables from the key; bytes beyond the 56th are ignored.
  // Throws "Incorrect key length" for an empty key.
  void SetKey(const unsigned char* pKey, std::size_t nKeyLength, const unsigned char* pChainStart);

  void EncryptBlock(std::uint32_t* pLeft, std::uint32_t* pRight) const;
  void DecryptBlock(std::uint32_t* pLeft, std::uint32_t* pRight) const;

  // Whole buffers of nLength bytes (a non-zero multiple of 8, else "Incorrect buffer
  // length" and the output is untouched). Input and output may be the same buffer.
  // Every call in a chaining mode starts again from the chain start.
  void Decrypt(const unsigned char* pIn, unsigned char* pOut, std::size_t nLength, int nMode) const;
  void Encrypt(const unsigned char* pIn, unsigned char* pOut, std::size_t nLength, int nMode) const;

 private:
  std::uint32_t F(std::uint32_t x) const;
  static void CheckBufferLength(std::size_t nLength);
  // Electronic codebook over whole blocks, several blocks at a time.
  void CodebookBlocks(const unsigned char* pIn, unsigned char* pOut, std::size_t nLength, bool bEncrypt) const;

  std::uint32_t m_chainStart[2] = {0, 0};
  std::uint32_t m_p[18] = {};
  std::uint32_t m_s[4][256] = {};
};
