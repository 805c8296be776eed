#include "updater/UpdateCrypto_win.h"

#include <windows.h>

#include <cstring>

#include "shared/OwnedResources_win.h"

namespace {

bool Succeeded(NTSTATUS status) {
  return status >= 0;
}

}  // namespace

bool ComputeSha256(const void* pData, std::size_t cbData, unsigned char digest[32]) {
  CBCryptCloseAlgorithmProvider algorithm;
  if (!Succeeded(::BCryptOpenAlgorithmProvider(algorithm.Receive(), BCRYPT_SHA256_ALGORITHM, nullptr, 0))) return false;
  CBCryptDestroyHash hash;
  if (cbData > 0xFFFFFFFFu ||
      !Succeeded(::BCryptCreateHash(algorithm.Get(), hash.Receive(), nullptr, 0, nullptr, 0, 0)) ||
      !Succeeded(
          ::BCryptHashData(hash.Get(), static_cast<PUCHAR>(const_cast<void*>(pData)), static_cast<ULONG>(cbData), 0))) {
    return false;
  }
  return Succeeded(::BCryptFinishHash(hash.Get(), digest, 32, 0));
}

bool VerifyEcdsaP256(const unsigned char publicKey[64], const std::string& strMessage, const unsigned char rs[64],
                     std::string& strError) {
  unsigned char digest[32];
  if (!ComputeSha256(strMessage.data(), strMessage.size(), digest)) {
    strError = "the system cannot compute SHA-256";
    return false;
  }
  CBCryptCloseAlgorithmProvider algorithm;
  if (!Succeeded(::BCryptOpenAlgorithmProvider(algorithm.Receive(), BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0))) {
    strError = "the system cannot check ECDSA P-256 signatures";
    return false;
  }
  unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + 64];
  BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
  std::memcpy(blob, &header, sizeof header);
  std::memcpy(blob + sizeof header, publicKey, 64);
  CBCryptDestroyKey key;
  if (!Succeeded(::BCryptImportKeyPair(algorithm.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, key.Receive(), blob,
                                       sizeof blob, 0))) {
    strError = "the built-in public key is refused by the system";
    return false;
  }
  unsigned char signature[64];
  std::memcpy(signature, rs, 64);
  if (!Succeeded(::BCryptVerifySignature(key.Get(), nullptr, digest, sizeof digest, signature, sizeof signature, 0))) {
    strError = "the manifest's signature does not match the built-in public key";
    return false;
  }
  return true;
}
