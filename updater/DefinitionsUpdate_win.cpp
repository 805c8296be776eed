#include "updater/DefinitionsUpdate_win.h"

#include <windows.h>

#include <cstring>

#include "console/settings/DefinitionsVersion.h"
#include "shared/OwnedResources_win.h"
#include "shared/ReadWholeFile_win.h"
#include "shared/RenameOver_win.h"
#include "updater/UpdateCrypto_win.h"
#include "updater/UpdateFetch_win.h"
#include "updater/UpdateManifest.h"
#include "updater/UpdatePublicKey.h"

namespace {

// Beside the old file first, flushed, then renamed over it in one step.
bool ReplaceFile(const std::string& strPath, const std::string& strData, std::string& strError) {
  const std::string strNew = strPath + kBesideFileSuffix;
  bool bWritten = false;
  {
    CCloseFile file(
        ::CreateFileA(strNew.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD cbWritten = 0;
    bWritten = file &&
               ::WriteFile(file.Get(), strData.data(), static_cast<DWORD>(strData.size()), &cbWritten, nullptr) &&
               cbWritten == strData.size() && ::FlushFileBuffers(file.Get());
  }
  if (bWritten && RenameOver(strNew, strPath)) return true;
  strError =
      "the new file cannot be put in place of " + strPath + " (system error " + std::to_string(::GetLastError()) + ")";
  ::DeleteFileA(strNew.c_str());
  return false;
}

std::string Hex(const unsigned char* p, std::size_t cb) {
  static const char kDigits[] = "0123456789abcdef";
  std::string str;
  for (std::size_t i = 0; i < cb; ++i) (str += kDigits[p[i] >> 4]) += kDigits[p[i] & 15];
  return str;
}

}  // namespace

SUpdateResult RunDefinitionsUpdate(const std::string& strAppFolder, const std::string& strDataFolder,
                                   const std::string& strAddress, const UpdateProgress& progress) {
  if (strAddress.empty()) {
    return {kUpdateNoAddress, "No update address is set, so the definitions are not updated."};
  }
  // The definitions in use: the user's own file when it is newer than the machine's.
  std::string strCurrent;
  bool bHaveCurrent = ReadWholeFile(strAppFolder + kShippedDefinitionsFile, kMaxUpdateFileBytes, &strCurrent);
  std::string strCurrentVersion =
      bHaveCurrent ? DefinitionsVersionOfHeader(strCurrent.data(), strCurrent.size()) : std::string();
  const std::string strShippedPath = strDataFolder + kShippedDefinitionsFile;
  std::string strOwn;
  if (strDataFolder != strAppFolder && ReadWholeFile(strShippedPath, kMaxUpdateFileBytes, &strOwn)) {
    const std::string strOwnVersion = DefinitionsVersionOfHeader(strOwn.data(), strOwn.size());
    if (VersionDateNumber(strOwnVersion) > VersionDateNumber(strCurrentVersion)) {
      strCurrent.swap(strOwn);
      strCurrentVersion = strOwnVersion;
      bHaveCurrent = true;
    }
  }
  const std::string strKept = strCurrentVersion.empty()
                                  ? std::string(" The old definitions stay in place.")
                                  : " The definitions of " + strCurrentVersion + " stay in place.";
  auto failed = [&strKept](const std::string& strWhy) {
    return SUpdateResult{kUpdateFailed, "The update failed: " + strWhy + "." + strKept};
  };

  progress("Fetching the update manifest");
  std::string strManifestText, strError;
  if (!FetchAddress(strAddress, kMaxManifestBytes, strManifestText, strError)) return failed(strError);
  SUpdateManifest manifest;
  if (!ParseUpdateManifest(strManifestText, manifest, strError)) return failed(strError);
  progress("Checking the manifest's signature");
  if (!VerifyEcdsaP256(kUpdatePublicKey, manifest.strSignedPart, manifest.signature, strError)) return failed(strError);

  const long nCurrent = VersionDateNumber(strCurrentVersion), nOffered = VersionDateNumber(manifest.strVersion);
  if (nOffered < nCurrent) {
    return failed("the update's definitions of " + manifest.strVersion + " are older than the installed ones");
  }
  unsigned char currentHash[32];
  if (bHaveCurrent && nOffered == nCurrent && ComputeSha256(strCurrent.data(), strCurrent.size(), currentHash) &&
      std::memcmp(currentHash, manifest.sha256, 32) == 0) {
    return {kUpdateUpToDate, "The definitions of " + strCurrentVersion + " are up to date."};
  }

  const std::string strFileAddress = ResolveUpdateFileAddress(strAddress, manifest.strFile);
  if (strFileAddress.empty()) return failed("the update address is not an http or https address");
  progress("Fetching the definitions of " + manifest.strVersion);
  std::string strFile;
  if (!FetchAddress(strFileAddress, manifest.cbFile, strFile, strError)) return failed(strError);
  if (strFile.size() != manifest.cbFile) {
    return failed("the download ended after " + std::to_string(strFile.size()) + " of " +
                  std::to_string(manifest.cbFile) + " bytes");
  }
  progress("Checking the definitions file");
  unsigned char hash[32];
  if (!ComputeSha256(strFile.data(), strFile.size(), hash)) return failed("the system cannot compute SHA-256");
  if (std::memcmp(hash, manifest.sha256, 32) != 0) {
    return failed("the file's SHA-256 " + Hex(hash, 32) + " does not match the manifest");
  }
  if (DefinitionsVersionOfHeader(strFile.data(), strFile.size()) != manifest.strVersion) {
    return failed("the file's version line does not match the manifest's version " + manifest.strVersion);
  }
  progress("Installing the definitions of " + manifest.strVersion);
  if (!ReplaceFile(strShippedPath, strFile, strError)) return failed(strError);
  return {kUpdateInstalled, "The definitions of " + manifest.strVersion + " are installed."};
}
