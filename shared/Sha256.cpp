// SHA-256 as the standard (FIPS 180-4) defines it.
#include "shared/Sha256.h"

#include <cstddef>
#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define HW_SHA_INSTRUCTIONS 1
#endif

namespace {

constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

std::uint32_t RotateRight(std::uint32_t n, int nBits) {
  return (n >> nBits) | (n << (32 - nBits));
}

void CompressOne(std::uint32_t (&state)[8], const std::uint8_t* pBlock) {
  std::uint32_t w[64];
  for (int i = 0; i < 16; ++i)
    w[i] = std::uint32_t{pBlock[4 * i]} << 24 | std::uint32_t{pBlock[4 * i + 1]} << 16 |
           std::uint32_t{pBlock[4 * i + 2]} << 8 | pBlock[4 * i + 3];
  for (int i = 16; i < 64; ++i) {
    const std::uint32_t s0 = RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
    const std::uint32_t s1 = RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
  for (int i = 0; i < 64; ++i) {
    const std::uint32_t t1 =
        h + (RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
    const std::uint32_t t2 =
        (RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  state[4] += e;
  state[5] += f;
  state[6] += g;
  state[7] += h;
}

#ifdef HW_SHA_INSTRUCTIONS
// The processor's SHA instructions (most x86 processors since 2017): some ten times
// faster, which a file of a hundred megabytes notices. The state travels as the
// halves ABEF and CDGH that the instructions take.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressWithInstructions(std::uint32_t (&state)[8],
                                                                          const std::uint8_t* pData,
                                                                          std::size_t nBlocks) {
  const __m128i byteOrder = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
  __m128i cdab = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0])), 0xB1);
  __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4])), 0x1B);
  __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
  __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
  for (; nBlocks > 0; --nBlocks, pData += 64) {
    const __m128i abefBefore = abef, cdghBefore = cdgh;
    __m128i w[4];  // the last sixteen words of the schedule, four at a time
    for (int i = 0; i < 16; ++i) {
      __m128i& words = w[i % 4];
      if (i < 4) {
        words = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pData + 16 * i)), byteOrder);
      } else {
        const __m128i sum = _mm_add_epi32(_mm_sha256msg1_epu32(words, w[(i + 1) % 4]),
                                          _mm_alignr_epi8(w[(i + 3) % 4], w[(i + 2) % 4], 4));
        words = _mm_sha256msg2_epu32(sum, w[(i + 3) % 4]);
      }
      __m128i message = _mm_add_epi32(words, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRound[4 * i])));
      cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
      message = _mm_shuffle_epi32(message, 0x0E);
      abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
    }
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }
  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), _mm_alignr_epi8(dchg, feba, 8));
}

bool HasShaInstructions() {
  static const bool bHas = [] {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSE4_1) || !(c & bit_SSSE3)) return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & (1u << 29)) != 0;
  }();
  return bHas;
}
#endif

void Compress(std::uint32_t (&state)[8], const std::uint8_t* pData, std::size_t nBlocks, bool bInstructions) {
#ifdef HW_SHA_INSTRUCTIONS
  if (bInstructions && HasShaInstructions()) return CompressWithInstructions(state, pData, nBlocks);
#endif
  for (std::size_t i = 0; i < nBlocks; ++i) CompressOne(state, pData + 64 * i);
}

}  // namespace

void CSha256::Add(std::string_view bytes) {
  const auto* pData = reinterpret_cast<const std::uint8_t*>(bytes.data());
  std::size_t cbData = bytes.size();
  m_cbTotal += cbData;
  if (m_cbBlock > 0) {
    const std::size_t cbTake = std::min(cbData, sizeof m_block - m_cbBlock);
    std::memcpy(m_block + m_cbBlock, pData, cbTake);
    m_cbBlock += cbTake;
    pData += cbTake;
    cbData -= cbTake;
    if (m_cbBlock < sizeof m_block) return;
    Compress(m_state, m_block, 1, m_bInstructions);
    m_cbBlock = 0;
  }
  Compress(m_state, pData, cbData / 64, m_bInstructions);
  m_cbBlock = cbData % 64;
  if (m_cbBlock > 0) std::memcpy(m_block, pData + cbData - m_cbBlock, m_cbBlock);
}

Sha256Digest CSha256::Finish() {
  // The rest, a 1 bit, zeros and the length in bits: one or two more blocks.
  std::uint8_t tail[128] = {};
  if (m_cbBlock > 0) std::memcpy(tail, m_block, m_cbBlock);
  tail[m_cbBlock] = 0x80;
  const std::size_t cbTail = m_cbBlock < 56 ? 64 : 128;
  const std::uint64_t nBits = m_cbTotal * 8;
  for (int i = 0; i < 8; ++i) tail[cbTail - 1 - i] = static_cast<std::uint8_t>(nBits >> (8 * i));
  Compress(m_state, tail, cbTail / 64, m_bInstructions);
  Sha256Digest digest{};
  for (int i = 0; i < 32; ++i) digest[i] = static_cast<std::uint8_t>(m_state[i / 4] >> (24 - 8 * (i % 4)));
  return digest;
}

Sha256Digest Sha256(std::string_view bytes) {
  CSha256 hash;
  hash.Add(bytes);
  return hash.Finish();
}

Sha256Digest Sha256WithoutInstructions(std::string_view bytes) {
  CSha256 hash;
  hash.m_bInstructions = false;
  hash.Add(bytes);
  return hash.Finish();
}
