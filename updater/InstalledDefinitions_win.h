// Which shipped definitions file is installed for this user: the application
// folder's, which users cannot write, or the one Update.exe put into the user's own
// data folder. Any program of the user can write that folder, so the user's file
// counts only together with the signed manifest that installed it, kept beside it
// and checked each time: a file planted there with a late version would otherwise be
// decrypted as the definitions and make every real update look older. The console
// decrypts the file chosen here; Update.exe measures "up to date" and "older"
// against it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "shared/Sha256.h"
#include "shared/FileStamp_win.h"
#include "shared/Result.h"

// Beside the user's "\hkwdn1.hwd": the manifest it was installed with, as fetched.
constexpr const char* kKeptManifestFile = "\\hkwdn1-update.txt";

// What the checks of a shipped file take from it, read in pieces: a hundred
// megabytes are never held at once.
struct SFileDigest {
  Sha256Digest sha256{};
  std::uint64_t cbFile = 0;
  std::string strStart;  // the first 256 bytes, which hold the version line
};
constexpr std::size_t kFileStartBytes = 256;
CResultOf<SFileDigest> DigestOfFile(const std::string& strPath, std::uint64_t cbMost);

struct SInstalledDefinitions {
  std::string strFolder;   // the folder of the chosen "\hkwdn1.hwd"
  std::string strVersion;  // its version line; empty when it has none
};

// The file's version when the user's "\hkwdn1.hwd" is the file its kept manifest
// names: signed with the built-in key, and the file's size, SHA-256 and version
// line those of the manifest. The reason otherwise: ERROR_FILE_NOT_FOUND without
// a kept manifest, the manifest's own failure when it does not count,
// ERROR_INVALID_DATA for a file that is not the one it names.
CResultOf<std::string> ReadKeptUpdate(const std::string& strDataFolder);

// Of the application folder's file and the user's kept update, the newer; the
// application folder's when the versions are equal, the user's does not count, or
// the two folders are one.
SInstalledDefinitions FindInstalledDefinitions(const std::string& strAppFolder, const std::string& strDataFolder);

// FindInstalledDefinitions again only when one of the three files it reads changed:
// the check of the user's file reads and hashes all of it.
class CInstalledDefinitionsWatch {
 public:
  CInstalledDefinitionsWatch(std::string strAppFolder, std::string strDataFolder);
  const SInstalledDefinitions& Current();

 private:
  std::string m_strAppFolder, m_strDataFolder;
  bool m_bFound = false;
  SFileStamp m_stamps[3];
  SInstalledDefinitions m_current;
};
