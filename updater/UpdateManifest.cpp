#include "updater/UpdateManifest.h"

#include <cstring>
#include <utility>

#include "shared/AsciiCase.h"
#include "updater/UpdateSchedule.h"

namespace {

constexpr char kFirstLine[] = "Hookwarden definitions update 1";

bool DecodeHex(const std::string& strHex, unsigned char* pOut, std::size_t cbOut) {
  if (strHex.size() != 2 * cbOut) return false;
  for (std::size_t i = 0; i < cbOut; ++i) {
    const int nHigh = HexDigitValue(strHex[2 * i]), nLow = HexDigitValue(strHex[2 * i + 1]);
    if (nHigh < 0 || nLow < 0) return false;
    pOut[i] = static_cast<unsigned char>(nHigh * 16 + nLow);
  }
  return true;
}

bool StartsWithHttp(const std::string& str) {
  return str.compare(0, 7, "http://") == 0 || str.compare(0, 8, "https://") == 0;
}

CResult Fail(std::string strWhy) {
  return CResult(RESULT_INVALID_DATA, std::move(strWhy));
}

bool IsPlainFileName(const std::string& strValue) {
  return !strValue.empty() && strValue.find_first_of("/\\:?#%") == std::string::npos && strValue != "." &&
         strValue != "..";
}

// Decimal digits, at most 12 of them.
bool ParseByteCount(const std::string& strValue, std::uint64_t& cb) {
  if (strValue.empty() || strValue.size() > 12 || strValue.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  cb = std::stoull(strValue);
  return true;
}

// One INTEGER of the signature, as 32 bytes: leading zero bytes dropped, the rest
// right-aligned. Moves p past it.
bool ReadDerInteger(const unsigned char*& p, const unsigned char* pEnd, unsigned char out[32]) {
  if (pEnd - p < 2 || p[0] != 0x02) return false;
  std::size_t cb = p[1];
  p += 2;
  if (cb == 0 || cb > 33 || static_cast<std::size_t>(pEnd - p) < cb) return false;
  const unsigned char* pValue = p;
  p += cb;
  while (cb > 0 && *pValue == 0) ++pValue, --cb;
  if (cb > 32) return false;
  std::memset(out, 0, 32);
  std::memcpy(out + 32 - cb, pValue, cb);
  return true;
}

}  // namespace

bool DecodeDerSignature(const unsigned char* pDer, std::size_t cbDer, unsigned char rs[64]) {
  if (cbDer < 2 || pDer[0] != 0x30 || pDer[1] != cbDer - 2) return false;  // short form only: at most 72 bytes
  const unsigned char* p = pDer + 2;
  const unsigned char* pEnd = pDer + cbDer;
  return ReadDerInteger(p, pEnd, rs) && ReadDerInteger(p, pEnd, rs + 32) && p == pEnd;
}

CResultOf<SUpdateManifest> ParseUpdateManifest(const std::string& strText) {
  SUpdateManifest manifest;
  if (strText.size() > kMaxManifestBytes) return Fail("the manifest is longer than 16 KB");
  const std::size_t nSignature = strText.find("\nsignature=");
  if (nSignature == std::string::npos) return Fail("the manifest has no signature");
  manifest.strSignedPart = strText.substr(0, nSignature + 1);

  bool bVersion = false, bFile = false, bSize = false, bHash = false, bExpires = false;
  bool bDifference = false, bDifferenceFrom = false, bDifferenceSize = false, bDifferenceHash = false;
  std::size_t nLineStart = 0, nLine = 0;
  while (nLineStart < manifest.strSignedPart.size()) {
    const std::size_t nEnd = manifest.strSignedPart.find('\n', nLineStart);
    std::string strLine = manifest.strSignedPart.substr(nLineStart, nEnd - nLineStart);
    nLineStart = nEnd + 1;
    if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
    if (++nLine == 1) {
      if (strLine != kFirstLine) return Fail("the text is not a Hookwarden definitions update");
      continue;
    }
    if (strLine.empty()) continue;
    const std::size_t nEquals = strLine.find('=');
    if (nEquals == std::string::npos) return Fail("line " + std::to_string(nLine) + " has no \"=\"");
    const std::string strKey = strLine.substr(0, nEquals), strValue = strLine.substr(nEquals + 1);
    bool* pSeen = nullptr;
    if (strKey == "version") {
      pSeen = &bVersion;
      if (DefinitionsVersionNumber(strValue) == 0) {
        return Fail("the version is neither a date MM/DD/YYYY nor MM/DD/YYYY.N");
      }
      manifest.strVersion = strValue;
    } else if (strKey == "file") {
      pSeen = &bFile;
      if (!IsPlainFileName(strValue) && !StartsWithHttp(strValue)) {
        return Fail("the file is neither a plain file name nor an http(s) address");
      }
      manifest.strFile = strValue;
    } else if (strKey == "size") {
      pSeen = &bSize;
      if (!ParseByteCount(strValue, manifest.cbFile)) return Fail("the size is not a number");
      if (manifest.cbFile < 16 || manifest.cbFile % 8 != 0 || manifest.cbFile > kMaxUpdateFileBytes) {
        return Fail("the size is not that of a definitions file");
      }
    } else if (strKey == "sha256") {
      pSeen = &bHash;
      if (!DecodeHex(strValue, manifest.sha256, sizeof manifest.sha256)) {
        return Fail("the SHA-256 is not 64 hex digits");
      }
    } else if (strKey == "expires") {
      pSeen = &bExpires;
      if (!ParseUtcTime(strValue, manifest.nExpires)) {
        return Fail("the expiry is not a time YYYY-MM-DDTHH:MM:SSZ");
      }
    } else if (strKey == "difference") {
      pSeen = &bDifference;
      if (!IsPlainFileName(strValue) && !StartsWithHttp(strValue)) {
        return Fail("the difference is neither a plain file name nor an http(s) address");
      }
      manifest.strDifference = strValue;
    } else if (strKey == "difference-from") {
      pSeen = &bDifferenceFrom;
      if (!DecodeHex(strValue, manifest.differenceFrom, 32)) {
        return Fail("the difference's base SHA-256 is not 64 hex digits");
      }
    } else if (strKey == "difference-size") {
      pSeen = &bDifferenceSize;
      if (!ParseByteCount(strValue, manifest.cbDifference) || manifest.cbDifference == 0 ||
          manifest.cbDifference > kMaxUpdateFileBytes) {
        return Fail("the difference's size is not a number of bytes");
      }
    } else if (strKey == "difference-sha256") {
      pSeen = &bDifferenceHash;
      if (!DecodeHex(strValue, manifest.differenceSha256, 32)) {
        return Fail("the difference's SHA-256 is not 64 hex digits");
      }
    }
    if (pSeen && *pSeen) return Fail("\"" + strKey + "\" is given twice");
    if (pSeen) *pSeen = true;
  }
  if (!bVersion || !bFile || !bSize || !bHash) return Fail("the manifest lacks version, file, size or sha256");
  if (!bExpires) return Fail("the manifest has no expiry, so it would be valid for ever");
  if (bDifference != bDifferenceFrom || bDifference != bDifferenceSize || bDifference != bDifferenceHash) {
    return Fail("the manifest names a difference without all of its lines");
  }

  std::string strSignature = strText.substr(nSignature + std::strlen("\nsignature="));
  while (!strSignature.empty() && (strSignature.back() == '\n' || strSignature.back() == '\r')) strSignature.pop_back();
  unsigned char der[80];
  if (strSignature.size() % 2 != 0 || strSignature.size() / 2 > sizeof der ||
      !DecodeHex(strSignature, der, strSignature.size() / 2) ||
      !DecodeDerSignature(der, strSignature.size() / 2, manifest.signature)) {
    return Fail("the signature is not a DER ECDSA signature in hex");
  }
  return manifest;
}

std::string ResolveUpdateFileAddress(const std::string& strManifestAddress, const std::string& strFile) {
  if (StartsWithHttp(strFile)) return strFile;
  if (!StartsWithHttp(strManifestAddress)) return std::string();
  const std::size_t nHostStart = strManifestAddress.find("://") + 3;
  const std::size_t nPathStart = strManifestAddress.find('/', nHostStart);
  if (nPathStart == std::string::npos) return strManifestAddress + "/" + strFile;
  std::string strFolder = strManifestAddress.substr(0, strManifestAddress.find_first_of("?#", nPathStart));
  return strFolder.substr(0, strFolder.rfind('/') + 1) + strFile;
}
