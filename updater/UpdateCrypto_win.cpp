#include "updater/UpdateCrypto_win.h"

#include <windows.h>
#include <winternl.h>

#include <cstring>

#include "shared/OwnedResources_win.h"
#include "shared/Sha256.h"

namespace {

bool Succeeded(NTSTATUS status) {
  return status >= 0;
}

// The system's reason as a Win32 code, with the text the user reads.
CResult Refused(NTSTATUS status, const char* szWhy) {
  const ULONG dwCode = ::RtlNtStatusToDosError(status);
  return CResult(dwCode != ERROR_SUCCESS ? dwCode : ERROR_INTERNAL_ERROR, szWhy);
}

}  // namespace

CResult VerifyEcdsaP256(const unsigned char publicKey[64], const std::string& strMessage, const unsigned char rs[64]) {
  CBCryptCloseAlgorithmProvider algorithm;
  NTSTATUS status = ::BCryptOpenAlgorithmProvider(algorithm.Receive(), BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0);
  if (!Succeeded(status)) return Refused(status, "the system cannot check ECDSA P-256 signatures");
  unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + 64];
  BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
  std::memcpy(blob, &header, sizeof header);
  std::memcpy(blob + sizeof header, publicKey, 64);
  CBCryptDestroyKey key;
  status = ::BCryptImportKeyPair(algorithm.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, key.Receive(), blob, sizeof blob, 0);
  if (!Succeeded(status)) return Refused(status, "the built-in public key is refused by the system");
  unsigned char signature[64];
  std::memcpy(signature, rs, 64);
  Sha256Digest hashed = Sha256(strMessage);
  if (!Succeeded(::BCryptVerifySignature(key.Get(), nullptr, hashed.data(), static_cast<ULONG>(hashed.size()),
                                         signature, sizeof signature, 0))) {
    return CResult(ERROR_INVALID_DATA, "the manifest's signature does not match the built-in public key");
  }
  return CResult();
}
