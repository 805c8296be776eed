// Localised strings, the tray menu translation, the language list and the seeded
// folders, against real language files and folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "console/ConsoleResources.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/LanguageText.h"
#include "console/settings/Languages_win.h"
#include "console/settings/PseudoRandom.h"
#include "console/settings/SeededFolder_win.h"
#include "support/TempFolder_win.h"

namespace {

const UINT kBuiltInStrings[] = {101,  7001, 7002, 7003, 7004, 7005, 7006, 7007, 7008, 7009, 7010, 7011, 7014,
                                7015, 7016, 7017, 7018, 7019, 7020, 7021, 7022, 7023, 7024, 7028, 7029};

std::string LanguageFile(const CTempFolder& folder, const char* szLanguage) {
  return GetSeededFolder(folder.c_str(), kLanguageFolderSeed) + "\\" + LanguageFileName(szLanguage);
}

TEST(SeededFolders, GeneratorMatchesTheRuntimesRand) {
  for (unsigned nSeed : {kLanguageFolderSeed, kHelpFolderSeed, kScreenFolderSeed, kTrayMenuSeed, 1u, 0u}) {
    CPseudoRandom random(nSeed);
    std::srand(nSeed);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(std::rand(), random.Next()) << "seed " << nSeed << " draw " << i;
  }
}

TEST(SeededFolders, BothFoldersExistAfterThePathIsBuilt) {
  CTempFolder folder;
  const std::string strPath = GetSeededFolder(folder.c_str(), kLanguageFolderSeed);
  EXPECT_EQ(folder.Path() + "\\64\\28170", strPath);
  EXPECT_TRUE(IsFolder(strPath));
  // Building it again, with the folders there, gives the same path.
  EXPECT_EQ(strPath, GetSeededFolder(folder.c_str(), kLanguageFolderSeed));

  CConsoleSettings app(folder.c_str());
  EXPECT_EQ(folder.Path() + "\\74\\27648", GetScreenFolder(app.GetAppPath()));
  EXPECT_EQ(folder.Path() + "\\71\\16899", GetHelpFolder(app.GetAppPath()));
  EXPECT_TRUE(IsFolder(folder.Path() + "\\74\\27648"));
  EXPECT_TRUE(IsFolder(folder.Path() + "\\71\\16899"));
}

TEST(LocalString, BuiltInTextsWithoutALanguageFile) {
  CTempFolder folder;
  CConsoleSettings app(folder.c_str());
  EXPECT_EQ("English", app.m_strLanguage);
  EXPECT_EQ("Allow", LoadLocalString(app, IDS_ACTION_ALLOW));
  EXPECT_EQ("Hookwarden", LoadLocalString(app, IDS_APP_TITLE));
  EXPECT_EQ("&About Tessaline...", LoadLocalString(app, IDS_ABOUTBOX));
  EXPECT_EQ("Lurewipe_lsp", LoadBuiltInString(IDS_PROVIDER_NAME));
  EXPECT_EQ(
      "You are trying to connect to a phishing host whose\nIP is '%s'\nIt is strongly recommended \nthat you block it "
      "now.",
      LoadLocalString(app, IDS_ALERT_HOST_IP));
  // Numbers the table lacks give the empty text.
  EXPECT_EQ("", LoadLocalString(app, 7012));
  EXPECT_EQ("", LoadBuiltInString(7999));
  for (UINT nId : kBuiltInStrings) EXPECT_FALSE(LoadBuiltInString(nId).empty()) << nId;
}

TEST(LocalString, LanguageFileValuesReplaceTheBuiltInTexts) {
  CTempFolder folder;
  CConsoleSettings app(folder.c_str());
  app.m_strLanguage = "Testish";
  WriteFileBytes(LanguageFile(folder, "Testish"),
                 "[strelAndwkooH]\r\n"
                 "1796096=*wolla-ti\r\n"              // 7016, written backwards
                 "1796352=Line one\\nLine\\ttwo\r\n"  // 7017
                 "1796608=\r\n"                       // 7018, empty: built-in text
                 "1817088=Not built in\r\n"           // 7098, not in the table
                 "[uneMyarTndwkooH]\r\n"
                 "1795584=wrong section\r\n");  // 7014 under the menu section only
  EXPECT_EQ(app.GetAppPath() + std::string("\\64\\28170\\") + "84698384738372.hwl", GetLanguageFilePath(app));
  EXPECT_EQ("it-allow", LoadLocalString(app, IDS_ACTION_ALLOW));
  EXPECT_EQ("Line one\nLine\ttwo", LoadLocalString(app, IDS_ACTION_BLOCK));
  EXPECT_EQ("Ask", LoadLocalString(app, IDS_ACTION_ASK));
  EXPECT_EQ("", LoadLocalString(app, 7098));
  EXPECT_EQ("High", LoadLocalString(app, IDS_RATING_HIGH));

  // Nothing is cached: a change of language shows at the next lookup.
  app.m_strLanguage = "English";
  EXPECT_EQ("Allow", LoadLocalString(app, IDS_ACTION_ALLOW));
  app.m_strLanguage = "TESTISH";
  EXPECT_EQ("it-allow", LoadLocalString(app, IDS_ACTION_ALLOW));
}

TEST(LocalString, ShippedGermanFileTranslatesEveryString) {
  CConsoleSettings app(BuiltAppFolder().c_str());
  app.m_strLanguage = "GERMAN";
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(GetLanguageFilePath(app).c_str()))
      << GetLanguageFilePath(app);
  EXPECT_EQ("Zulassen", LoadLocalString(app, IDS_ACTION_ALLOW));
  EXPECT_EQ("Hoch", LoadLocalString(app, IDS_RATING_HIGH));
  EXPECT_EQ("Anmeldefehler", LoadLocalString(app, IDS_LOGIN_ERROR));
  EXPECT_EQ(
      "Das eingegebene Kennwort ist nicht korrekt.\nSie haben nicht das Recht, Einstellungen zu \xE4ndern.\n"
      "Bitte versuchen Sie es erneut.",
      LoadLocalString(app, IDS_WRONG_PASSWORD));
  for (UINT nId : kBuiltInStrings) {
    if (nId == IDS_APP_TITLE || nId == IDS_PROVIDER_NAME) {
      EXPECT_EQ(LoadBuiltInString(nId), LoadLocalString(app, nId)) << nId;
    } else {
      EXPECT_NE(LoadBuiltInString(nId), LoadLocalString(app, nId)) << nId;
    }
  }
  // The alert texts keep their place for the text they name.
  EXPECT_NE(std::string::npos, LoadLocalString(app, IDS_ALERT_HOST_IP).find("'%s'"));
  EXPECT_NE(std::string::npos, LoadLocalString(app, IDS_ALERT_URL).find("'%s'"));
}

struct SMenuItem {
  std::string strText;
  UINT nCommand;
  bool bSubMenu;
};

std::vector<SMenuItem> ItemsOf(HMENU hMenu) {
  std::vector<SMenuItem> items;
  for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
    char szText[300] = {};
    ::GetMenuStringA(hMenu, i, szText, sizeof(szText), MF_BYPOSITION);
    items.push_back({szText, ::GetMenuItemID(hMenu, i), ::GetSubMenu(hMenu, i) != nullptr});
  }
  return items;
}

CDestroyMenu LoadTrayMenu() {
  return CDestroyMenu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYMENU)));
}

TEST(TranslateMenu, WithoutALanguageFileTheTrayMenuStaysEnglish) {
  CTempFolder folder;
  CConsoleSettings app(folder.c_str());
  CDestroyMenu menu = LoadTrayMenu();
  ASSERT_TRUE(menu);
  TranslateMenu(app, menu.Get(), kTrayMenuSectionName);
  ASSERT_EQ(1, ::GetMenuItemCount(menu.Get()));
  EXPECT_EQ("Tray", ItemsOf(menu.Get())[0].strText);
  const auto items = ItemsOf(::GetSubMenu(menu.Get(), 0));
  ASSERT_EQ(4u, items.size());
  EXPECT_EQ("&Restore", items[0].strText);
  EXPECT_EQ(static_cast<UINT>(ID_TRAY_RESTORE), items[0].nCommand);
  EXPECT_EQ("&Help", items[1].strText);
  EXPECT_EQ(static_cast<UINT>(ID_TRAY_HELP), items[1].nCommand);
  EXPECT_EQ(0u, items[2].nCommand);
  EXPECT_EQ("&Exit", items[3].strText);
  EXPECT_EQ(static_cast<UINT>(ID_TRAY_EXIT), items[3].nCommand);
}

TEST(TranslateMenu, ShippedGermanFileTranslatesTheTrayMenu) {
  CConsoleSettings app(BuiltAppFolder().c_str());
  app.m_strLanguage = "German";
  CDestroyMenu menu = LoadTrayMenu();
  ASSERT_TRUE(menu);
  // Translating twice gives the same texts: the generator is seeded each time.
  TranslateMenu(app, menu.Get(), kTrayMenuSectionName);
  CDestroyMenu again = LoadTrayMenu();
  TranslateMenu(app, again.Get(), kTrayMenuSectionName);
  TranslateMenu(app, again.Get(), kTrayMenuSectionName);
  for (HMENU hMenu : {menu.Get(), again.Get()}) {
    const auto top = ItemsOf(hMenu);
    ASSERT_EQ(1u, top.size());
    EXPECT_EQ("Infobereich", top[0].strText);
    EXPECT_TRUE(top[0].bSubMenu);
    const auto items = ItemsOf(::GetSubMenu(hMenu, 0));
    ASSERT_EQ(4u, items.size());
    EXPECT_EQ("&Wiederherstellen", items[0].strText);
    EXPECT_EQ(static_cast<UINT>(ID_TRAY_RESTORE), items[0].nCommand);
    EXPECT_EQ("&Hilfe", items[1].strText);
    EXPECT_EQ(static_cast<UINT>(ID_TRAY_HELP), items[1].nCommand);
    EXPECT_EQ(0u, items[2].nCommand);
    EXPECT_EQ("&Beenden", items[3].strText);
    EXPECT_EQ(static_cast<UINT>(ID_TRAY_EXIT), items[3].nCommand);
  }
}

TEST(TranslateMenu, ReadsKeysOfTheNamedSectionWithTheValueRules) {
  CTempFolder folder;
  CConsoleSettings app(folder.c_str());
  app.m_strLanguage = "Testish";
  WriteFileBytes(LanguageFile(folder, "Testish"),
                 "[uneMyarTndwkooH]\r\n"
                 "081yarT=*poT\r\n"         // the top-level item, backwards
                 "8389376=Come\\tback\r\n"  // &Restore
                 "8390144=\r\n"             // &Help: empty, stays
                 "[uneMrehtO]\r\n"
                 "8389632=Other section\r\n");
  CDestroyMenu menu = LoadTrayMenu();
  TranslateMenu(app, menu.Get(), kTrayMenuSectionName);
  EXPECT_EQ("Top", ItemsOf(menu.Get())[0].strText);
  auto items = ItemsOf(::GetSubMenu(menu.Get(), 0));
  EXPECT_EQ("Come\tback", items[0].strText);
  EXPECT_EQ("&Help", items[1].strText);
  EXPECT_EQ("&Exit", items[3].strText);

  CDestroyMenu other = LoadTrayMenu();
  TranslateMenu(app, other.Get(), "OtherMenu");
  EXPECT_EQ("Tray", ItemsOf(other.Get())[0].strText);
  EXPECT_EQ("Other section", ItemsOf(::GetSubMenu(other.Get(), 0))[3].strText);
}

TEST(InstalledLanguages, ListsDecodedNamesOfLanguageFilesOnly) {
  CTempFolder folder;
  CConsoleSettings app(folder.c_str());
  EXPECT_EQ("", GetInstalledLanguages(app));
  const std::string strFolder = GetLanguageFolder(app.GetAppPath());
  WriteFileBytes(strFolder + "\\69787176738372.hwl", "");
  EXPECT_EQ("ENGLISH", GetInstalledLanguages(app));
  WriteFileBytes(strFolder + "\\716982776578.hwl", "");
  WriteFileBytes(strFolder + "\\6566.txt", "");
  ::CreateDirectoryA((strFolder + "\\6768.hwl").c_str(), nullptr);
  const std::string strList = GetInstalledLanguages(app);
  EXPECT_TRUE(strList == "ENGLISH|GERMAN" || strList == "GERMAN|ENGLISH") << strList;
}

TEST(InstalledLanguages, BuiltApplicationFolderShipsEnglishAndGerman) {
  CConsoleSettings app(BuiltAppFolder().c_str());
  const std::string strList = GetInstalledLanguages(app);
  EXPECT_TRUE(strList == "ENGLISH|GERMAN" || strList == "GERMAN|ENGLISH") << strList;
}

}  // namespace
