// The checks of an update through the system's cryptography (CNG): SHA-256 and
// ECDSA over the P-256 curve.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "shared/Result.h"

using SSha256 = std::array<unsigned char, 32>;

// The digest, or the system's reason it cannot compute one.
CResultOf<SSha256> ComputeSha256(const void* pData, std::size_t cbData);

// Success when rs (r and s, 32 bytes each) signs strMessage's SHA-256 under the
// public key (x and y, 32 bytes each); ERROR_INVALID_DATA when it does not, the
// system's reason when it cannot tell.
CResult VerifyEcdsaP256(const unsigned char publicKey[64], const std::string& strMessage, const unsigned char rs[64]);
