// The settings backup against its real client: a file written by the console's
// exporter, imported with the system's registry editor, gives back the product key
// it was made from.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/RegistryStoreKey_win.h"
#include "console/settings/RegistryValues_win.h"
#include "console/settings/SettingsBackup_win.h"
#include "console/settings/SettingsStore_win.h"
#include "support/ChildProcess_win.h"
#include "support/TempFolder_win.h"

namespace {

// Every value below a key by its path and name: type and bytes. The registry
// editor ends every imported text with a zero byte, which no reader sees; a text
// is compared without it.
using TreeDump = std::map<std::string, std::string>;

void DumpKey(IStoreKey& key, const std::string& strPath, TreeDump& dump) {
  for (const std::string& strName : key.ValueNames()) {
    std::uint32_t dwType = 0;
    std::string strData;
    ASSERT_TRUE(key.ReadTypedValue(strName.c_str(), &dwType, &strData)) << strPath << " " << strName;
    if (dwType == REG_SZ && !strData.empty() && strData.back() == 0) strData.pop_back();
    dump[strPath + " | " + strName] = std::to_string(dwType) + ":" + strData;
  }
  for (const std::string& strName : key.SubKeyNames()) {
    std::unique_ptr<IStoreKey> pSubKey = key.OpenSubKey(strName.c_str());
    ASSERT_TRUE(pSubKey) << strName;
    dump[strPath + "\\" + strName] = "key";
    DumpKey(*pSubKey, strPath + "\\" + strName, dump);
  }
}

TreeDump DumpProductKey() {
  TreeDump dump;
  CRegCloseKey product;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, kProductKeyPath, product)) return dump;
  CRegistryStoreKey key(std::move(product));
  DumpKey(key, "", dump);
  return dump;
}

int ImportWithRegistryEditor(const std::string& strFile) {
  char szWindows[MAX_PATH] = {};
  ::GetWindowsDirectoryA(szWindows, sizeof(szWindows));
  return RunChildPumping(std::string(szWindows) + "\\regedit.exe", "/s \"" + strFile + "\"");
}

std::string FileText(const std::string& strPath) {
  std::ifstream file(strPath, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class RegistryBackup : public ::testing::Test {
 protected:
  void SetUp() override { DeleteProductKey(); }
  void TearDown() override {
    DeleteProductKey();
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kCompanyKeyPath);  // only when empty
  }
  CTempFolder m_folder;
};

}  // namespace

TEST_F(RegistryBackup, RegistryEditorImportsTheBackupIdentically) {
  CConsoleSettings app(m_folder.c_str());
  app.m_strLanguage = "GERMAN";
  app.m_overview.m_nNoOfBlockedInstructions = -7;
  app.m_overview.m_strPassword = "8083";
  const std::string strLongText(2000, 'w');
  std::string strLongLink = "Called: 'http://login.example.com/";
  strLongLink += std::string(1500, 'q') + "'\nVisible: 'http://bank.example.com/\xe4\xf6\xfc'";
  CMailSafeItem mail;
  mail.strStrictedData = strLongLink;
  mail.strType = "Link";
  mail.strProgram = "C:\\Program Files\\Mail\\mail.exe";
  mail.strSubject = "Your \"account\" is \\ locked \xa7 \xe9t\xe9";
  mail.strFrom = "\"Bank\" <bank@example.com>";
  mail.nPort = 993;
  app.m_mailSafeList.AppendEntry(mail);
  mail.strStrictedData = strLongText;
  mail.strType = "Message";
  mail.nPort = 25;
  app.m_mailSafeList.AppendEntry(mail);
  CWebSiteItem site;
  site.strType = "URL";
  site.strScamSite = "login.example.com/" + std::string(400, 'p') + "?a=\"1\"&b=\\2";
  site.strStrictedData = site.strScamSite;
  site.nPort = 8080;
  app.m_webSiteBlockingList.AppendEntry(site);
  CLogEntryDetails entry;
  entry.strStrictedData = strLongLink;
  entry.strHostIP = "192.0.2.10";
  entry.nCount = 3;
  app.m_alertLog.AppendEntry(entry);
  WriteStartupValues(app);
  ASSERT_TRUE(SaveAllSettings(app));

  const TreeDump saved = DumpProductKey();
  ASSERT_GT(saved.size(), 60u);
  const std::string strFile = m_folder.Path() + "\\backup.reg";
  ASSERT_EQ(EBackupResult::Written, ExportProductKey(strFile));
  DeleteProductKey();
  ASSERT_TRUE(DumpProductKey().empty());

  ASSERT_EQ(0, ImportWithRegistryEditor(strFile));
  const TreeDump imported = DumpProductKey();
  EXPECT_EQ(saved.size(), imported.size());
  for (const auto& value : saved) {
    const auto found = imported.find(value.first);
    if (found == imported.end()) {
      ADD_FAILURE() << "missing after the import: " << value.first;
      continue;
    }
    EXPECT_EQ(value.second, found->second) << value.first;
  }
}

TEST_F(RegistryBackup, BackupOfAFreshInstallationAndAFileThatCannotBeMade) {
  CConsoleSettings app(m_folder.c_str());
  WriteStartupValues(app);
  ASSERT_TRUE(SaveAllSettings(app));
  const std::string strFile = m_folder.Path() + "\\fresh.reg";
  ASSERT_EQ(EBackupResult::Written, ExportProductKey(strFile));

  const std::string strText = FileText(strFile);
  const std::string strRoot = "[HKEY_CURRENT_USER\\Software\\Corvinth\\Hookwarden]";
  EXPECT_EQ(0u, strText.find("REGEDIT4\r\nREGEDIT4\r\n\r\n" + strRoot + "\r\n")) << strText;
  std::string strFolder;  // backslashes doubled
  for (const char c : m_folder.Path()) strFolder += c == '\\' ? std::string("\\\\") : std::string(1, c);
  const std::string strSub = "[HKEY_CURRENT_USER\\Software\\Corvinth\\Hookwarden\\";
  const std::vector<std::string> lines = {"\"7665787185657169\"=\"69787176738372\"",
                                          "\"App Path\"=\"" + strFolder + "\"",
                                          strSub + "Overview]",
                                          "\"NoOfBlockedInstructions\"=hex:00,00,00,00",
                                          strSub + "AlertandLog]",
                                          strSub + "AlertandLog\\EventAlert0]",
                                          strSub + "MailSafe]",
                                          strSub + "WebSiteBlocking]"};
  for (const std::string& strLine : lines) {
    EXPECT_NE(std::string::npos, strText.find("\r\n" + strLine + "\r\n")) << strLine;
  }
  EXPECT_EQ("\r\n", strText.substr(strText.size() - 2));

  DWORD dwError = 0;
  EXPECT_EQ(EBackupResult::CannotOpen, ExportProductKey(m_folder.Path() + "\\missing\\x.reg", &dwError));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), dwError);
}
