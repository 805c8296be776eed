// The manifest of a definitions update: a short signed text that names the new
// shipped definitions file, its size and its SHA-256.
//
//   Hookwarden definitions update 1
//   version=12/08/2026.3
//   file=hkwdn1.hwd
//   size=720
//   sha256=<64 hex digits>
//   expires=2026-12-09T14:00:00Z
//   difference=hkwdn1.hwdiff
//   difference-from=<64 hex digits: SHA-256 of the shipped file it applies to>
//   difference-size=96
//   difference-sha256=<64 hex digits>
//   signature=<hex of the DER ECDSA P-256 signature over every byte above this line>
//
// Lines end with "\n" or "\r\n"; unknown keys are left for later versions; the
// signature line comes last. "expires" (UTC) is required: a signed manifest without
// it would be valid for ever, so one made before it existed is refused. The four
// "difference" lines are optional and come all four or not at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "definitions/DefinitionsVersion.h"
#include "shared/Result.h"

constexpr std::size_t kMaxManifestBytes = 16 * 1024;
// Far more than any list needs; a larger file is refused before it is fetched.
constexpr std::uint64_t kMaxUpdateFileBytes = 256ull * 1024 * 1024;

struct SUpdateManifest {
  std::string strVersion;  // MM/DD/YYYY or MM/DD/YYYY.N, as in the file's header line
  std::string strFile;     // a file name beside the manifest, or an http(s) address
  std::uint64_t cbFile = 0;
  unsigned char sha256[32] = {};
  long long nExpires = 0;  // seconds since 1970 (UTC)
  // The difference from one installed file to this one; empty strDifference: none.
  std::string strDifference;
  unsigned char differenceFrom[32] = {};
  std::uint64_t cbDifference = 0;
  unsigned char differenceSha256[32] = {};
  std::string strSignedPart;         // the bytes the signature covers
  unsigned char signature[64] = {};  // r and s, 32 bytes each, big-endian
};

// The manifest, or RESULT_INVALID_DATA with the reason for text that is not a
// complete one. Nothing in it can be trusted before the signature over
// strSignedPart has been checked.
CResultOf<SUpdateManifest> ParseUpdateManifest(const std::string& strText);

// The two numbers of a DER ECDSA signature (SEQUENCE of two INTEGERs) as 64 bytes.
bool DecodeDerSignature(const unsigned char* pDer, std::size_t cbDer, unsigned char rs[64]);

// The address of the update's file: an http(s) address as given, or a file name
// put in place of the last part of the manifest's address. Empty when neither.
std::string ResolveUpdateFileAddress(const std::string& strManifestAddress, const std::string& strFile);
