// The signature check of an update through the system's cryptography (CNG): ECDSA
// over the P-256 curve.
#pragma once

#include <string>

#include "shared/Result.h"

// Success when rs (r and s, 32 bytes each) signs strMessage's SHA-256 under the
// public key (x and y, 32 bytes each); ERROR_INVALID_DATA when it does not, the
// system's reason when it cannot tell.
CResult VerifyEcdsaP256(const unsigned char publicKey[64], const std::string& strMessage, const unsigned char rs[64]);
