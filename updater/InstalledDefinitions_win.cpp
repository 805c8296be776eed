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

bool ReadKeptUpdate(const std::string& strDataFolder, std::string& strVersion, std::string& strWhy) {
  std::string strManifestText;
  if (!ReadWholeFile(strDataFolder + kKeptManifestFile, kMaxManifestBytes, &strManifestText)) {
    strWhy = "no manifest is kept beside it";
    return false;
  }
  SUpdateManifest manifest;
  if (!ParseUpdateManifest(strManifestText, manifest, strWhy) ||
      !VerifyEcdsaP256(kUpdatePublicKey, manifest.strSignedPart, manifest.signature, strWhy)) {
    strWhy = "its kept manifest does not count: " + strWhy;
    return false;
  }
  // No larger than the manifest says: a planted file is not read whole.
  const CResultOf<SFileDigest> file = DigestOfFile(strDataFolder + kShippedDefinitionsFile, manifest.cbFile);
  if (!file.IsOk() || file.Value().cbFile != manifest.cbFile ||
      std::memcmp(file.Value().sha256.data(), manifest.sha256, sizeof manifest.sha256) != 0) {
    strWhy = "it is not the file its kept manifest names";
    return false;
  }
  strVersion = DefinitionsVersionOfHeader(file.Value().strStart.data(), file.Value().strStart.size());
  if (strVersion != manifest.strVersion) {
    strWhy = "its version line is not its kept manifest's";
    return false;
  }
  return true;
}

SInstalledDefinitions FindInstalledDefinitions(const std::string& strAppFolder, const std::string& strDataFolder) {
  std::string strHeader;
  ReadFileStart(strAppFolder + kShippedDefinitionsFile, 256, &strHeader);
  SInstalledDefinitions installed{strAppFolder, DefinitionsVersionOfHeader(strHeader.data(), strHeader.size())};
  std::string strUserVersion, strWhy;
  if (::lstrcmpiA(strDataFolder.c_str(), strAppFolder.c_str()) != 0 &&
      ReadKeptUpdate(strDataFolder, strUserVersion, strWhy) &&
      DefinitionsVersionNumber(strUserVersion) > DefinitionsVersionNumber(installed.strVersion)) {
    installed = {strDataFolder, strUserVersion};
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
