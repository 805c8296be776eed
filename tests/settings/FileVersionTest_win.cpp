// The version reader against real executables and libraries.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/FileVersion_win.h"
#include "shared/HookwardenVersion.h"
#include "support/TempFolder_win.h"

namespace {

std::string BinFile(const char* szName) {
  char szModule[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, szModule, sizeof(szModule));
  std::string strPath = szModule;
  return strPath.substr(0, strPath.rfind('\\') + 1) + szName;
}

TEST(FileVersion, ConsoleCarriesEveryKeyInItsTranslation) {
  CFileVersionInfo info;
  ASSERT_TRUE(info.Load((BuiltAppFolder() + "\\Hookwdn.exe").c_str()));
  EXPECT_EQ(0x409, info.GetLanguage());
  EXPECT_EQ(1252, info.GetCodePage());
  EXPECT_EQ(0xFEEF04BDu, info.GetFixedInfo().dwSignature);
  for (const char* szKey : CFileVersionInfo::kKeyNames) EXPECT_FALSE(info.GetText(szKey).empty()) << szKey;
  EXPECT_EQ("", info.GetText("NoSuchKey"));
  EXPECT_EQ("", info.GetText(nullptr));
}

TEST(FileVersion, EngineLibraryAndConsoleVersionTexts) {
  CConsoleSettings app(BuiltAppFolder().c_str());
  EXPECT_EQ(HW_VERSION_TEXT, GetEngineVersion(app.GetAppPath()));
  // The test program carries the console's resources, version included.
  EXPECT_EQ(HW_VERSION_TEXT, app.m_overview.m_strConsoleVersion);
  EXPECT_NE(std::string::npos, std::string(HW_VERSION_TEXT).find('.'));
}

// Every program and library of the application folder, and the two the packages
// add for the uninstaller, carries the product's version information.
TEST(FileVersion, EveryShippedBinaryCarriesTheProductVersion) {
  std::vector<std::filesystem::path> paths = {BinFile("tray-command.exe"), BinFile("HookwdnUninstall.dll")};
  for (const auto& entry : std::filesystem::recursive_directory_iterator(BuiltAppFolder())) {
    const auto ext = entry.path().extension();
    if (ext == ".exe" || ext == ".dll") paths.push_back(entry.path());
  }
  // The console, its guard, the engine, the browser host, Update.exe, the players.
  EXPECT_GE(paths.size(), 10u);
  const WORD kNumbers[4] = {HW_VERSION_NUMBERS};
  for (const auto& path : paths) {
    const std::string strPath = path.string();
    CFileVersionInfo info;
    if (!info.Load(strPath.c_str())) {
      ADD_FAILURE() << strPath << " carries no version information";
      continue;
    }
    EXPECT_EQ(HW_PRODUCT_NAME, info.GetText("ProductName")) << strPath;
    EXPECT_EQ(HW_COMPANY_NAME, info.GetText("CompanyName")) << strPath;
    EXPECT_EQ(HW_VERSION_TEXT, info.GetText("FileVersion")) << strPath;
    EXPECT_EQ(HW_VERSION_TEXT, info.GetText("ProductVersion")) << strPath;
    EXPECT_EQ(path.filename().string(), info.GetText("OriginalFilename")) << strPath;
    EXPECT_NE("", info.GetText("FileDescription")) << strPath;
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(kNumbers[1], kNumbers[0])), info.GetFixedInfo().dwFileVersionMS) << strPath;
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(kNumbers[3], kNumbers[2])), info.GetFixedInfo().dwFileVersionLS) << strPath;
  }
}

TEST(FileVersion, WithoutTranslationTableLanguageZeroAndCodePage1252) {
  CFileVersionInfo info;
  ASSERT_TRUE(info.Load(BinFile("VersionHelper.exe").c_str()));
  EXPECT_EQ(0, info.GetLanguage());
  EXPECT_EQ(1252, info.GetCodePage());
  EXPECT_EQ("7.6.5.4", info.GetText("FileVersion"));
  EXPECT_EQ("No translation", info.GetText("ProductName"));
  EXPECT_EQ(0x00070006u, info.GetFixedInfo().dwFileVersionMS);
  EXPECT_EQ(0x00050004u, info.GetFixedInfo().dwFileVersionLS);
}

TEST(FileVersion, FilesWithoutVersionInformationGiveEmptyTexts) {
  CTempFolder folder;
  const std::string strText = folder.Path() + "\\plain.txt";
  WriteFileBytes(strText, "not a program");
  CFileVersionInfo info;
  EXPECT_FALSE(info.Load(strText.c_str()));
  EXPECT_EQ("", info.GetText("FileVersion"));
  EXPECT_FALSE(info.Load((folder.Path() + "\\missing.dll").c_str()));
  EXPECT_EQ("", GetFileVersionText((folder.Path() + "\\missing.dll").c_str()));
  // A program built without a version resource.
  EXPECT_FALSE(info.Load(BinFile("RequestSender.exe").c_str()));
  EXPECT_EQ("", info.GetText("FileVersion"));

  // An application folder without the engine library.
  CConsoleSettings app(folder.c_str());
  EXPECT_EQ("", GetEngineVersion(app.GetAppPath()));
}

}  // namespace
