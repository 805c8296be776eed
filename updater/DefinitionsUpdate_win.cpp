#include "updater/DefinitionsUpdate_win.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <utility>

#include "definitions/DefinitionsVersion.h"
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

std::string Hex(const unsigned char* p, std::size_t cb) {
  static const char kDigits[] = "0123456789abcdef";
  std::string str;
  for (std::size_t i = 0; i < cb; ++i) (str += kDigits[p[i] >> 4]) += kDigits[p[i] & 15];
  return str;
}

bool SameDigest(const Sha256Digest& digest, const unsigned char (&expected)[32]) {
  return std::memcmp(digest.data(), expected, sizeof expected) == 0;
}

CResult Refused(std::string strWhy) {
  return CResult(RESULT_INVALID_DATA, std::move(strWhy));
}

// A failure of the writer beside, with the text the user sees.
CResult NamedWriteFailure(const CResult& result, const std::string& strPath) {
  if (result.IsOk()) return result;
  return CResult(result.Code(), "the new file cannot be put in place of " + strPath + " (system error " +
                                    std::to_string(result.Code()) + ")");
}

// The new shipped file as it is written beside the old one: its SHA-256 and its
// start (the version line) taken on the way.
class CNewShippedFile {
 public:
  explicit CNewShippedFile(std::string strPath) : m_strPath(std::move(strPath)) {
    m_failure = Named(m_file.Create(m_strPath));
  }

  CResult Write(std::string_view piece) {
    m_hash.Add(piece);
    m_cbFile += piece.size();
    if (m_strStart.size() < kFileStartBytes) m_strStart.append(piece.substr(0, kFileStartBytes - m_strStart.size()));
    if (m_failure.IsOk()) m_failure = Named(m_file.Write(piece.data(), piece.size()));
    return m_failure;
  }
  // The size, SHA-256 and version line the manifest names.
  CResult CheckAgainst(const SUpdateManifest& manifest, bool bFetched) {
    if (bFetched && m_cbFile != manifest.cbFile) {
      return Refused("the download ended after " + std::to_string(m_cbFile) + " of " + std::to_string(manifest.cbFile) +
                     " bytes");
    }
    const Sha256Digest digest = m_hash.Finish();
    if (!SameDigest(digest, manifest.sha256)) {
      return Refused(bFetched
                         ? "the file's SHA-256 " + Hex(digest.data(), digest.size()) + " does not match the manifest"
                         : "the result's SHA-256 does not match the manifest");
    }
    if (DefinitionsVersionOfHeader(m_strStart.data(), m_strStart.size()) != manifest.strVersion) {
      return Refused("the file's version line does not match the manifest's version " + manifest.strVersion);
    }
    return CResult();
  }
  CResult PutInPlace() { return m_failure.IsOk() ? Named(m_file.Commit()) : m_failure; }

 private:
  CResult Named(const CResult& result) const { return NamedWriteFailure(result, m_strPath); }

  std::string m_strPath;
  CReplacingFile m_file;
  CResult m_failure;
  CSha256 m_hash;
  std::uint64_t m_cbFile = 0;
  std::string m_strStart;
};

// The difference applied to the installed file as it is read: decrypted, changed,
// checked and encrypted again piece by piece into the new file. A difference that
// does not fit stops the reading where it shows.
CResult ApplyDifference(const std::string& strInstalledPath, const std::string& strDifferenceText,
                        const SUpdateManifest& manifest, CNewShippedFile& file) {
  const CResultOf<SDefinitionsDifference> parsed = ParseDefinitionsDifference(strDifferenceText);
  if (!parsed.IsOk()) return Refused(parsed.Result().Text());
  const SDefinitionsDifference& difference = parsed.Value();
  CShippedEncryptor encryptor([&file](std::string_view piece) { return file.Write(piece); });
  CResult result = encryptor.Start(manifest.strVersion);
  if (!result.IsOk()) return result;
  CDefinitionsTextCheck check;
  CDifferenceApplier applier(difference, [&](std::string_view piece) {
    // Checked here, where the result is still plain: no second decryption afterwards.
    CResult checked = check.Add(piece);
    if (!checked.IsOk()) return Refused("the result is not definitions: " + checked.Text());
    return encryptor.Add(piece);
  });
  CShippedDecryptor decryptor([&applier](std::string_view piece) { return applier.Add(piece); });
  result = ReadFileInPieces(strInstalledPath, kMaxUpdateFileBytes,
                            [&decryptor](std::string_view piece) { return decryptor.Add(piece); });
  if (result.IsOk() && !decryptor.Finish().IsOk()) result = Refused("the installed file is not whole blocks");
  if (result.IsOk()) result = applier.Finish();
  if (result.IsOk()) {
    result = check.Finish();
    if (!result.IsOk()) result = Refused("the result is not definitions: " + result.Text());
  }
  if (result.IsOk()) result = encryptor.Finish();
  return result.IsOk() ? file.CheckAgainst(manifest, false) : result;
}

// The whole file fetched into the new file, hashed and its decrypted text checked
// as it arrives.
CResult FetchWholeFile(const std::string& strFileAddress, const SUpdateManifest& manifest, CNewShippedFile& file,
                       const UpdateProgress& progress) {
  CDefinitionsTextCheck check;
  // A text that fails the check is still fetched whole: its size and SHA-256 say
  // more about what went wrong, and are checked first.
  CShippedDecryptor decryptor([&check](std::string_view piece) {
    static_cast<void>(check.Add(piece));
    return CResult();
  });
  CResult result = FetchAddressInPieces(strFileAddress, manifest.cbFile, [&](std::string_view piece) {
    static_cast<void>(decryptor.Add(piece));
    return file.Write(piece);
  });
  if (!result.IsOk()) return result;
  progress("Checking the definitions file");
  result = file.CheckAgainst(manifest, true);
  if (!result.IsOk()) return result;
  result = decryptor.Finish();
  if (result.IsOk()) result = check.Finish();
  return result.IsOk() ? result : Refused("the file is not a definitions file: " + result.Text());
}

}  // namespace

CResultOf<SUpdateOutcome> RunDefinitionsUpdate(const std::string& strAppFolder, const std::string& strDataFolder,
                                               const std::string& strAddress, long long nNow,
                                               const UpdateProgress& progress) {
  if (strAddress.empty()) {
    return SUpdateOutcome{kUpdateNoAddress, "No update address is set, so the definitions are not updated.", {}};
  }
  // The definitions in use: the user's own file when it came with its signed
  // manifest and is newer than the machine's. A file without one sets no floor.
  const SInstalledDefinitions installed = FindInstalledDefinitions(strAppFolder, strDataFolder);
  const std::string strInstalledPath = installed.strFolder + kShippedDefinitionsFile;
  const CResultOf<SFileDigest> current = DigestOfFile(strInstalledPath, kMaxUpdateFileBytes);
  const std::string& strCurrentVersion = installed.strVersion;
  const std::string strShippedPath = strDataFolder + kShippedDefinitionsFile;
  const std::string strKept = strCurrentVersion.empty()
                                  ? std::string(" The old definitions stay in place.")
                                  : " The definitions of " + strCurrentVersion + " stay in place.";
  auto failed = [&strKept](const CResult& why) {
    return CResult(why.Code(), "The update failed: " + why.Text() + "." + strKept);
  };

  progress("Fetching the update manifest");
  const CResultOf<std::string> manifestText = FetchAddress(strAddress, kMaxManifestBytes);
  if (!manifestText.IsOk()) return failed(manifestText.Result());
  const CResultOf<SUpdateManifest> parsed = ParseUpdateManifest(manifestText.Value());
  if (!parsed.IsOk()) return failed(parsed.Result());
  const SUpdateManifest& manifest = parsed.Value();
  progress("Checking the manifest's signature");
  const CResult signedRight = VerifyEcdsaP256(kUpdatePublicKey, manifest.strSignedPart, manifest.signature);
  if (!signedRight.IsOk()) return failed(signedRight);
  // An old manifest, however validly signed, must not hold the definitions back for ever.
  if (nNow > manifest.nExpires) {
    return failed(Refused("the manifest expired at " + FormatUtcTime(manifest.nExpires) +
                          "; the update server may be holding back newer definitions"));
  }

  const long long nCurrent = DefinitionsVersionNumber(strCurrentVersion);
  const long long nOffered = DefinitionsVersionNumber(manifest.strVersion);
  if (nOffered < nCurrent) {
    return failed(Refused("the update's definitions of " + manifest.strVersion + " are older than the installed ones"));
  }
  if (nOffered == nCurrent) {
    if (current.IsOk() && SameDigest(current.Value().sha256, manifest.sha256)) {
      return SUpdateOutcome{kUpdateUpToDate, "The definitions of " + strCurrentVersion + " are up to date.", {}};
    }
    // Another file of the installed version: a replay of an earlier one or a mistake.
    if (nCurrent != 0) {
      return failed(Refused("the update's definitions of " + manifest.strVersion +
                            " have the installed version but other contents"));
    }
  }

  // Until it is put in place the new file lies beside the old one, which stays as
  // it is; dropped, it is deleted.
  std::unique_ptr<CNewShippedFile> pFile;
  if (!manifest.strDifference.empty() && current.IsOk() &&
      SameDigest(current.Value().sha256, manifest.differenceFrom)) {
    const std::string strDifferenceAddress = ResolveUpdateFileAddress(strAddress, manifest.strDifference);
    progress("Fetching the difference to the definitions of " + manifest.strVersion);
    CResultOf<std::string> difference =
        strDifferenceAddress.empty() ? CResultOf<std::string>(Refused("its address is not an http or https address"))
                                     : FetchAddress(strDifferenceAddress, manifest.cbDifference);
    CResult fits = difference.Result();
    if (fits.IsOk() && (difference.Value().size() != manifest.cbDifference ||
                        !SameDigest(Sha256(difference.Value()), manifest.differenceSha256))) {
      fits = Refused("its size or SHA-256 does not match the manifest");
    }
    if (fits.IsOk()) {
      progress("Applying the difference");
      pFile = std::make_unique<CNewShippedFile>(strShippedPath);
      fits = ApplyDifference(strInstalledPath, difference.Value(), manifest, *pFile);
    }
    if (!fits.IsOk()) {
      progress("The difference does not fit (" + fits.Text() + "): fetching the whole file");
      pFile.reset();
    }
  }

  if (!pFile) {
    const std::string strFileAddress = ResolveUpdateFileAddress(strAddress, manifest.strFile);
    if (strFileAddress.empty()) return failed(Refused("the update address is not an http or https address"));
    progress("Fetching the definitions of " + manifest.strVersion);
    pFile = std::make_unique<CNewShippedFile>(strShippedPath);
    const CResult fetched = FetchWholeFile(strFileAddress, manifest, *pFile, progress);
    if (!fetched.IsOk()) return failed(fetched);
  }
  progress("Installing the definitions of " + manifest.strVersion);
  // The file, then the manifest that vouches for it: until both are in place the
  // user's file does not count and the application folder's is used.
  CResult installedNow = pFile->PutInPlace();
  if (installedNow.IsOk()) {
    const std::string strKeptPath = strDataFolder + kKeptManifestFile;
    installedNow = NamedWriteFailure(ReplaceFileContents(strKeptPath, manifestText.Value()), strKeptPath);
  }
  if (!installedNow.IsOk()) return failed(installedNow);
  return SUpdateOutcome{kUpdateInstalled, "The definitions of " + manifest.strVersion + " are installed.",
                        manifest.strVersion};
}
