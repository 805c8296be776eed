#include "updater/InstalledDefinitions_win.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "definitions/DefinitionsVersion.h"
#include "shared/ReadWholeFile_win.h"
#include "updater/UpdateCrypto_win.h"
#include "updater/UpdateManifest.h"
#include "updater/UpdatePublicKey.h"

CResultOf<SFileDigest> DigestOfFile(const std::string& strPath, std::uint64_t cbMost) {
  SFileDigest digest;
  CSha256 hash;
  CResult result = ReadFileInPieces(strPath, cbMost, [&](std::string_view piece) {
    hash.Add(piece);
    digest.cbFile += piece.size();
    if (digest.strStart.size() < kFileStartBytes) {
      digest.strStart.append(piece.substr(0, kFileStartBytes - digest.strStart.size()));
    }
    return CResult();
  });
  if (!result.IsOk()) return result;
  digest.sha256 = hash.Finish();
  return digest;
}

CResultOf<std::string> ReadKeptUpdate(const std::string& strDataFolder) {
  std::string strManifestText;
  if (!ReadWholeFile(strDataFolder + kKeptManifestFile, kMaxManifestBytes, &strManifestText)) {
    return CResult(ERROR_FILE_NOT_FOUND, "no manifest is kept beside it");
  }
  const CResultOf<SUpdateManifest> parsed = ParseUpdateManifest(strManifestText);
  const CResult counts = parsed.IsOk()
                             ? VerifyEcdsaP256(kUpdatePublicKey, parsed.Value().strSignedPart, parsed.Value().signature)
                             : parsed.Result();
  if (!counts.IsOk()) return CResult(counts.Code(), "its kept manifest does not count: " + counts.Text());
  const SUpdateManifest& manifest = parsed.Value();
  // No larger than the manifest says: a planted file is not read whole.
  const CResultOf<SFileDigest> file = DigestOfFile(strDataFolder + kShippedDefinitionsFile, manifest.cbFile);
  if (!file.IsOk() || file.Value().cbFile != manifest.cbFile ||
      std::memcmp(file.Value().sha256.data(), manifest.sha256, sizeof manifest.sha256) != 0) {
    return CResult(ERROR_INVALID_DATA, "it is not the file its kept manifest names");
  }
  std::string strVersion = DefinitionsVersionOfHeader(file.Value().strStart.data(), file.Value().strStart.size());
  if (strVersion != manifest.strVersion) {
    return CResult(ERROR_INVALID_DATA, "its version line is not its kept manifest's");
  }
  return strVersion;
}

SInstalledDefinitions FindInstalledDefinitions(const std::string& strAppFolder, const std::string& strDataFolder) {
  std::string strHeader;
  ReadFileStart(strAppFolder + kShippedDefinitionsFile, 256, &strHeader);
  SInstalledDefinitions installed{strAppFolder, DefinitionsVersionOfHeader(strHeader.data(), strHeader.size())};
  if (::lstrcmpiA(strDataFolder.c_str(), strAppFolder.c_str()) == 0) return installed;
  const CResultOf<std::string> userVersion = ReadKeptUpdate(strDataFolder);
  if (userVersion.IsOk() &&
      DefinitionsVersionNumber(userVersion.Value()) > DefinitionsVersionNumber(installed.strVersion)) {
    installed = {strDataFolder, userVersion.Value()};
  }
  return installed;
}

CInstalledDefinitionsWatch::CInstalledDefinitionsWatch(std::string strAppFolder, std::string strDataFolder)
    : m_strAppFolder(std::move(strAppFolder)), m_strDataFolder(std::move(strDataFolder)) {}

const SInstalledDefinitions& CInstalledDefinitionsWatch::Current() {
  const SFileStamp stamps[3] = {StampOfFile(m_strAppFolder + kShippedDefinitionsFile),
                                StampOfFile(m_strDataFolder + kShippedDefinitionsFile),
                                StampOfFile(m_strDataFolder + kKeptManifestFile)};
  if (!m_bFound || !(stamps[0] == m_stamps[0] && stamps[1] == m_stamps[1] && stamps[2] == m_stamps[2])) {
    m_current = FindInstalledDefinitions(m_strAppFolder, m_strDataFolder);
    std::copy(stamps, stamps + 3, m_stamps);
    m_bFound = true;
  }
  return m_current;
}
