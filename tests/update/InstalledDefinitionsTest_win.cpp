// Which shipped definitions file the console decrypts and Update.exe counts as
// installed: the user's own only with the signed manifest it was installed with.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/TempFolder_win.h"
#include "updater/InstalledDefinitions_win.h"
#include "shared/Sha256.h"

namespace {

std::string Shipped(const char* szVersion) {
  return std::string(szVersion) + "    \r\n" + std::string(16, 'x');
}

TEST(InstalledDefinitions, TheUsersFileCountsOnlyWithItsSignedManifest) {
  CTempFolder folder;
  const std::string strApp = folder.Path() + "\\app", strData = folder.Path() + "\\data";
  ::CreateDirectoryA(strApp.c_str(), nullptr);
  ::CreateDirectoryA(strData.c_str(), nullptr);
  // Names the user's file, but is signed by another key: the signature is well
  // formed but not the built-in key's.
  const std::string strUserFile = Shipped("12/31/2099");
  const Sha256Digest digest = Sha256(strUserFile);
  char szSha[65] = "";
  for (int i = 0; i < 32; ++i) std::snprintf(szSha + 2 * i, 3, "%02x", digest[i]);
  const std::string strForeignManifest = "Hookwarden definitions update 1\nversion=12/31/2099\nfile=hkwdn1.hwd\nsize=" +
                                         std::to_string(strUserFile.size()) + "\nsha256=" + szSha +
                                         "\nexpires=2099-12-31T00:00:00Z\nsignature=3006020101020101\n";
  struct SCase {
    const char* szMachine;
    const char* szUser;  // null: no file of the user's
    const char* szManifest;
    DWORD dwWhy;  // why the user's file does not count
  };
  const SCase cases[] = {{"12/01/2026", nullptr, nullptr, ERROR_FILE_NOT_FOUND},
                         {"12/01/2026", "12/31/2099", nullptr, ERROR_FILE_NOT_FOUND},
                         {"12/01/2026", "12/31/2099", strForeignManifest.c_str(), ERROR_INVALID_DATA}};
  for (const SCase& c : cases) {
    SCOPED_TRACE(std::string(c.szMachine) + " / " + (c.szUser ? c.szUser : "none") + (c.szManifest ? " signed" : ""));
    WriteFileBytes(strApp + "\\hkwdn1.hwd", Shipped(c.szMachine));
    ::DeleteFileA((strData + "\\hkwdn1.hwd").c_str());
    ::DeleteFileA((strData + kKeptManifestFile).c_str());
    if (c.szUser) WriteFileBytes(strData + "\\hkwdn1.hwd", Shipped(c.szUser));
    if (c.szManifest) WriteFileBytes(strData + kKeptManifestFile, c.szManifest);
    const SInstalledDefinitions installed = FindInstalledDefinitions(strApp, strData);
    EXPECT_EQ(strApp, installed.strFolder);
    EXPECT_EQ(c.szMachine, installed.strVersion);
    const CResultOf<std::string> kept = ReadKeptUpdate(strData);
    EXPECT_FALSE(kept.IsOk()) << kept.Value();
    EXPECT_EQ(c.dwWhy, kept.Result().Code()) << kept.Result().Text();
  }
}

}  // namespace
