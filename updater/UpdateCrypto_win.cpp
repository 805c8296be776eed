#include "updater/UpdateCrypto_win.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstring>

#include "shared/OwnedResources_win.h"

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

CResultOf<SSha256> ComputeSha256(const void* pData, std::size_t cbData) {
  constexpr const char* kCannotHash = "the system cannot compute SHA-256";
  CBCryptCloseAlgorithmProvider algorithm;
  NTSTATUS status = ::BCryptOpenAlgorithmProvider(algorithm.Receive(), BCRYPT_SHA256_ALGORITHM, nullptr, 0);
  if (!Succeeded(status)) return Refused(status, kCannotHash);
  CBCryptDestroyHash hash;
  status = ::BCryptCreateHash(algorithm.Get(), hash.Receive(), nullptr, 0, nullptr, 0, 0);
  if (!Succeeded(status)) return Refused(status, kCannotHash);
  // In pieces the call's 32-bit count can take.
  const auto* pBytes = static_cast<const unsigned char*>(pData);
  for (std::size_t nDone = 0; nDone < cbData;) {
    const ULONG cbPiece = static_cast<ULONG>(std::min<std::size_t>(cbData - nDone, 1u << 30));
    status = ::BCryptHashData(hash.Get(), const_cast<PUCHAR>(pBytes + nDone), cbPiece, 0);
    if (!Succeeded(status)) return Refused(status, kCannotHash);
    nDone += cbPiece;
  }
  SSha256 digest;
  status = ::BCryptFinishHash(hash.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0);
  if (!Succeeded(status)) return Refused(status, kCannotHash);
  return digest;
}

CResult VerifyEcdsaP256(const unsigned char publicKey[64], const std::string& strMessage, const unsigned char rs[64]) {
  const CResultOf<SSha256> digest = ComputeSha256(strMessage.data(), strMessage.size());
  if (!digest.IsOk()) return digest.Result();
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
  SSha256 hashed = digest.Value();
  if (!Succeeded(::BCryptVerifySignature(key.Get(), nullptr, hashed.data(), static_cast<ULONG>(hashed.size()),
                                         signature, sizeof signature, 0))) {
    return CResult(ERROR_INVALID_DATA, "the manifest's signature does not match the built-in public key");
  }
  return CResult();
}
