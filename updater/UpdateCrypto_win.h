// The checks of an update through the system's cryptography (CNG): SHA-256 and
// ECDSA over the P-256 curve.
#pragma once

#include <cstddef>
#include <string>

bool ComputeSha256(const void* pData, std::size_t cbData, unsigned char digest[32]);

// True when rs (r and s, 32 bytes each) signs strMessage's SHA-256 under the public
// key (x and y, 32 bytes each). False with the reason otherwise.
bool VerifyEcdsaP256(const unsigned char publicKey[64], const std::string& strMessage, const unsigned char rs[64],
                     std::string& strError);
