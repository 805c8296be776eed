// The settings backup against its real client: a file written by the console's
// exporter, imported with the system's registry editor, gives back the product key
// it was made from.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/store/RegistryStoreKey_win.h"
#include "console/settings/store/RegistryValues_win.h"
#include "console/settings/SettingsBackup_win.h"
#include "console/settings/store/SettingsStore_win.h"
#include "support/ChildProcess_win.h"
#include "support/TempFolder_win.h"

namespace {

// Every key and value below a key by its path: type and bytes. The registry editor
// ends every imported text with a zero byte, which no reader sees; a text is
// compared without it.
void DumpKey(IStoreKey& key, const std::string& strPath, std::map<std::string, std::string>& dump) {
  for (const std::string& strName : key.ValueNames()) {
    std::uint32_t dwType = 0;
    std::string strData;
    key.ReadTypedValue(strName.c_str(), &dwType, &strData);
    if (dwType == REG_SZ && !strData.empty() && strData.back() == 0) strData.pop_back();
    dump[strPath + " | " + strName] = std::to_string(dwType) + ":" + strData;
  }
  for (const std::string& strName : key.SubKeyNames()) {
    dump[strPath + "\\" + strName] = "key";
    DumpKey(*key.OpenSubKey(strName.c_str()), strPath + "\\" + strName, dump);
  }
}

std::map<std::string, std::string> DumpProductKey() {
  std::map<std::string, std::string> dump;
  CRegCloseKey product;
  if (!OpenRegistryKey(HKEY_CURRENT_USER, kProductKeyPath, product).IsOk()) return dump;
  CRegistryStoreKey key(std::move(product));
  DumpKey(key, "", dump);
  return dump;
}

class RegistryBackup : public ::testing::Test {
 protected:
  void SetUp() override { static_cast<void>(DeleteProductKey()); }
  void TearDown() override {
    static_cast<void>(DeleteProductKey());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kCompanyKeyPath);  // only when empty
  }
  CTempFolder m_folder;
  CConsoleSettings m_app{m_folder.c_str()};
  const std::string m_strFile = m_folder.Path() + "\\backup.reg";
};

}  // namespace

TEST_F(RegistryBackup, RegistryEditorImportsTheBackupIdentically) {
  m_app.m_strLanguage = "GERMAN";
  m_app.m_overview.m_nNoOfBlockedInstructions = -7;
  const std::string strLink = "Called: 'http://login.example.com/" + std::string(1500, 'q') +
                              "'\nVisible: 'http://bank.example.com/\xe4\xf6\xfc'";
  CMailSafeItem mail;
  mail.strStrictedData = strLink;
  mail.strProgram = "C:\\Program Files\\Mail\\mail.exe";
  mail.strSubject = "Your \"account\" is \\ locked \xa7 \xe9t\xe9";
  mail.nPort = 993;
  m_app.m_mailSafeList.AppendEntry(mail);
  mail.strStrictedData = std::string(2000, 'w');
  mail.nPort = 25;
  m_app.m_mailSafeList.AppendEntry(mail);
  CWebSiteItem site;
  site.strScamSite = "login.example.com/" + std::string(400, 'p') + "?a=\"1\"&b=\\2";
  site.nPort = 8080;
  m_app.m_webSiteBlockingList.AppendEntry(site);
  CLogEntryDetails entry;
  entry.strStrictedData = strLink;
  m_app.m_alertLog.AppendEntry(entry);
  WriteStartupValues(m_app);
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(m_app).Code());

  const auto saved = DumpProductKey();
  ASSERT_GT(saved.size(), 60u);
  ASSERT_EQ(RESULT_SUCCESS, ExportProductKey(m_strFile).Code());
  static_cast<void>(DeleteProductKey());
  char szWindows[MAX_PATH] = {};
  ::GetWindowsDirectoryA(szWindows, sizeof(szWindows));
  ASSERT_EQ(0, RunChildPumping(std::string(szWindows) + "\\regedit.exe", "/s \"" + m_strFile + "\""));
  const auto imported = DumpProductKey();
  for (const auto& value : saved) {
    const auto found = imported.find(value.first);
    EXPECT_EQ(value.second, found == imported.end() ? std::string("<missing>") : found->second) << value.first;
  }
  EXPECT_EQ(saved.size(), imported.size());
}

TEST_F(RegistryBackup, BackupOfAFreshInstallationAndAFileThatCannotBeMade) {
  WriteStartupValues(m_app);
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(m_app).Code());
  ASSERT_EQ(RESULT_SUCCESS, ExportProductKey(m_strFile).Code());
  std::ostringstream text;
  text << std::ifstream(m_strFile, std::ios::binary).rdbuf();
  const std::string strText = text.str();
  const std::string strRoot = "[HKEY_CURRENT_USER\\Software\\Corvinth\\Hookwarden";
  EXPECT_EQ(0u, strText.find("REGEDIT4\r\nREGEDIT4\r\n\r\n" + strRoot + "]\r\n")) << strText;
  for (const std::string& strLine :
       {std::string("\"7665787185657169\"=\"69787176738372\""), strRoot + "\\Overview]", strRoot + "\\AlertandLog]",
        strRoot + "\\AlertandLog\\EventAlert0]", strRoot + "\\MailSafe]", strRoot + "\\WebSiteBlocking]"}) {
    EXPECT_NE(std::string::npos, strText.find("\r\n" + strLine + "\r\n")) << strLine;
  }

  const CResult cannotOpen = ExportProductKey(m_folder.Path() + "\\missing\\x.reg");
  EXPECT_EQ(kBackupOpenFailedText, cannotOpen.Text());
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), cannotOpen.Code());

  // Without the product key the file stays empty, and that is no backup.
  ASSERT_EQ(RESULT_SUCCESS, DeleteProductKey().Code());
  const CResult noKey = ExportProductKey(m_strFile);
  EXPECT_EQ(RESULT_FILE_NOT_FOUND, noKey.Code());
  EXPECT_EQ(0u, noKey.Text().find(kBackupKeyUnreadableText)) << noKey.Text();
  EXPECT_EQ(EOF, std::ifstream(m_strFile, std::ios::binary).peek());
}
