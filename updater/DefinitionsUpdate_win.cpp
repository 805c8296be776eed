#include "updater/DefinitionsUpdate_win.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "definitions/DefinitionsVersion.h"
#include "shared/OwnedResources_win.h"
#include "shared/ReadWholeFile_win.h"
#include "shared/RenameOver_win.h"
#include "definitions/ShippedDefinitionsText.h"
#include "definitions/DefinitionsDifference.h"
#include "updater/InstalledDefinitions_win.h"
#include "updater/UpdateCrypto_win.h"
#include "updater/UpdateFetch_win.h"
#include "updater/UpdateManifest.h"
#include "updater/UpdatePublicKey.h"
#include "updater/UpdateSchedule.h"

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

// The difference applied to the installed file: the new shipped file, or false
// with the reason it does not fit.
bool ApplyDifference(const std::string& strInstalled, const std::string& strDifferenceText,
                     const std::string& strVersion, std::string& strShipped, std::string& strWhy) {
  SDefinitionsDifference difference;
  if (!ParseDefinitionsDifference(strDifferenceText, difference, strWhy)) return false;
  std::vector<unsigned char> text;
  if (!DecryptShippedDefinitions(reinterpret_cast<const unsigned char*>(strInstalled.data()), strInstalled.size(),
                                 text)) {
    strWhy = "the installed file is not whole blocks";
    return false;
  }
  const std::string_view working(reinterpret_cast<const char*>(text.data()) + kShippedHeaderBytes,
                                 text.size() - kShippedHeaderBytes);
  std::string strNewWorking;
  if (!ApplyDefinitionsDifference(working, difference, strNewWorking, strWhy)) return false;
  // Checked here, where the result is still plain: no second decryption afterwards.
  const CResult checked =
      IsDefinitionsBody(reinterpret_cast<const unsigned char*>(strNewWorking.data()), strNewWorking.size());
  if (!checked.IsOk()) {
    strWhy = "the result is not definitions: " + checked.Text();
    return false;
  }
  const CResult encrypted = EncryptShippedDefinitions(strNewWorking, strVersion, strShipped);
  if (!encrypted.IsOk()) {
    strWhy = encrypted.Text();
    return false;
  }
  return true;
}

// The file's header and decrypted sections are those of definitions.
bool IsDefinitionsFile(const std::string& strFile, std::string& strWhy) {
  std::vector<unsigned char> text;
  if (!DecryptShippedDefinitions(reinterpret_cast<const unsigned char*>(strFile.data()), strFile.size(), text)) {
    strWhy = "it is not whole blocks";
    return false;
  }
  const CResult checked = IsDefinitionsText(text.data(), text.size());
  strWhy = checked.Text();
  return checked.IsOk();
}

}  // namespace

SUpdateResult RunDefinitionsUpdate(const std::string& strAppFolder, const std::string& strDataFolder,
                                   const std::string& strAddress, long long nNow, const UpdateProgress& progress) {
  if (strAddress.empty()) {
    return {kUpdateNoAddress, "No update address is set, so the definitions are not updated.", {}};
  }
  // The definitions in use: the user's own file when it came with its signed
  // manifest and is newer than the machine's. A file without one sets no floor.
  const SInstalledDefinitions installed = FindInstalledDefinitions(strAppFolder, strDataFolder);
  std::string strCurrent;
  const bool bHaveCurrent =
      ReadWholeFile(installed.strFolder + kShippedDefinitionsFile, kMaxUpdateFileBytes, &strCurrent);
  const std::string& strCurrentVersion = installed.strVersion;
  const std::string strShippedPath = strDataFolder + kShippedDefinitionsFile;
  const std::string strKept = strCurrentVersion.empty()
                                  ? std::string(" The old definitions stay in place.")
                                  : " The definitions of " + strCurrentVersion + " stay in place.";
  auto failed = [&strKept](const std::string& strWhy) {
    return SUpdateResult{kUpdateFailed, "The update failed: " + strWhy + "." + strKept, {}};
  };

  progress("Fetching the update manifest");
  std::string strManifestText, strError;
  if (!FetchAddress(strAddress, kMaxManifestBytes, strManifestText, strError)) return failed(strError);
  SUpdateManifest manifest;
  if (!ParseUpdateManifest(strManifestText, manifest, strError)) return failed(strError);
  progress("Checking the manifest's signature");
  if (!VerifyEcdsaP256(kUpdatePublicKey, manifest.strSignedPart, manifest.signature, strError)) return failed(strError);
  // An old manifest, however validly signed, must not hold the definitions back for ever.
  if (nNow > manifest.nExpires) {
    return failed("the manifest expired at " + FormatUtcTime(manifest.nExpires) +
                  "; the update server may be holding back newer definitions");
  }

  const long long nCurrent = DefinitionsVersionNumber(strCurrentVersion);
  const long long nOffered = DefinitionsVersionNumber(manifest.strVersion);
  if (nOffered < nCurrent) {
    return failed("the update's definitions of " + manifest.strVersion + " are older than the installed ones");
  }
  unsigned char currentHash[32] = {};
  const bool bCurrentHash = bHaveCurrent && ComputeSha256(strCurrent.data(), strCurrent.size(), currentHash);
  if (nOffered == nCurrent) {
    if (bCurrentHash && std::memcmp(currentHash, manifest.sha256, 32) == 0) {
      return {kUpdateUpToDate, "The definitions of " + strCurrentVersion + " are up to date.", {}};
    }
    // Another file of the installed version: a replay of an earlier one or a mistake.
    if (nCurrent != 0) {
      return failed("the update's definitions of " + manifest.strVersion +
                    " have the installed version but other contents");
    }
  }

  std::string strFile;
  bool bFromDifference = false;
  if (!manifest.strDifference.empty() && bCurrentHash && std::memcmp(currentHash, manifest.differenceFrom, 32) == 0) {
    const std::string strDifferenceAddress = ResolveUpdateFileAddress(strAddress, manifest.strDifference);
    progress("Fetching the difference to the definitions of " + manifest.strVersion);
    std::string strDifference, strWhy;
    unsigned char hash[32];
    bool bFits = !strDifferenceAddress.empty() &&
                 FetchAddress(strDifferenceAddress, manifest.cbDifference, strDifference, strWhy);
    if (bFits && (strDifference.size() != manifest.cbDifference ||
                  !ComputeSha256(strDifference.data(), strDifference.size(), hash) ||
                  std::memcmp(hash, manifest.differenceSha256, 32) != 0)) {
      bFits = false;
      strWhy = "its size or SHA-256 does not match the manifest";
    }
    if (bFits) {
      progress("Applying the difference");
      bFits = ApplyDifference(strCurrent, strDifference, manifest.strVersion, strFile, strWhy);
    }
    if (bFits &&
        (!ComputeSha256(strFile.data(), strFile.size(), hash) || std::memcmp(hash, manifest.sha256, 32) != 0)) {
      bFits = false;
      strWhy = "the result's SHA-256 does not match the manifest";
    }
    if (!bFits) {
      progress("The difference does not fit (" + strWhy + "): fetching the whole file");
      strFile.clear();
    }
    bFromDifference = bFits;
  }

  if (strFile.empty()) {
    const std::string strFileAddress = ResolveUpdateFileAddress(strAddress, manifest.strFile);
    if (strFileAddress.empty()) return failed("the update address is not an http or https address");
    progress("Fetching the definitions of " + manifest.strVersion);
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
  }
  if (DefinitionsVersionOfHeader(strFile.data(), strFile.size()) != manifest.strVersion) {
    return failed("the file's version line does not match the manifest's version " + manifest.strVersion);
  }
  std::string strWhy;
  if (!bFromDifference && !IsDefinitionsFile(strFile, strWhy)) {
    return failed("the file is not a definitions file: " + strWhy);
  }
  progress("Installing the definitions of " + manifest.strVersion);
  // The file, then the manifest that vouches for it: until both are in place the
  // user's file does not count and the application folder's is used.
  if (!ReplaceFile(strShippedPath, strFile, strError) ||
      !ReplaceFile(strDataFolder + kKeptManifestFile, strManifestText, strError)) {
    return failed(strError);
  }
  return {kUpdateInstalled, "The definitions of " + manifest.strVersion + " are installed.", manifest.strVersion};
}
