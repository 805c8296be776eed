// The real console under Wine, started from a copy of the application folder (its
// path holds a blank): start-up, its failure messages, a second instance, hiding,
// and the exit through the tray's Exit command. Screens are read and answered with
// CScreenUser on the console's thread, from this process.
#include "core/ConsoleProcess_win.h"

#include "console/screens/ConsoleMessages_win.h"
#include "console/screens/DialogTemplate_win.h"

namespace {

TEST_F(ConsoleTest, FirstStartPublishesAndDecryptsThenExitCleansUp) {
  CConsole console(m_strApp, "");
  const HWND hMain = console.WaitForMainWindow();
  ASSERT_NE(nullptr, hMain);
  EXPECT_TRUE(::IsWindowVisible(hMain));
  EXPECT_EQ(m_strApp, RegistryText("Software\\Corvinth\\Hookwarden", "App Path"));
  EXPECT_EQ(GetUserDataFolder(), RegistryText("Software\\Corvinth\\Hookwarden", "Data Path"));
  EXPECT_FALSE(FileExists(m_strApp + "\\hkwdn2.hwd"));
  EXPECT_EQ("12/01/2026", RegistryText("Software\\Corvinth\\Hookwarden", "DefnsVersion"));
  // The path holds a blank: the Run command quotes it.
  EXPECT_EQ("\"" + m_strApp + "\\Hookwdn.exe\" -min",
            RegistryText("Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Hookwarden"));
  const std::string strWorking = ReadFileBytes(m_strWorking);
  ASSERT_EQ(ReadFileBytes(m_strApp + "\\hkwdn1.hwd").size(), strWorking.size());
  EXPECT_EQ("\r\n", strWorking.substr(14, 2));

  EXPECT_EQ(259, console.ExitThroughTray());
  EXPECT_FALSE(FileExists(m_strWorking));
  // The full save at exit: the language and the overview with the login flag cleared.
  EXPECT_EQ("69787176738372", RegistryText("Software\\Corvinth\\Hookwarden", "7665787185657169"));
  DWORD dwIsLogin = 7, cbIsLogin = sizeof(dwIsLogin);
  EXPECT_EQ(ERROR_SUCCESS, ::SHGetValueA(HKEY_CURRENT_USER, "Software\\Corvinth\\Hookwarden\\Overview", "IsLogin",
                                         nullptr, &dwIsLogin, &cbIsLogin));
  EXPECT_EQ(0u, dwIsLogin);
}

TEST_F(ConsoleTest, SecondStartShowsThePreviousInstanceMessageAndLeavesTheWorkingFile) {
  CConsole first(m_strApp, "");
  ASSERT_NE(nullptr, first.WaitForMainWindow());
  CConsole second(m_strApp, "");
  CScreenUser user = second.User();
  EXPECT_EQ("Can't open application because there is a previous instance running.", user.Text(ID_MSG_TEXT));
  user.Press(ID_MSG_OK);
  EXPECT_EQ(259, second.WaitForExit());
  EXPECT_TRUE(FileExists(m_strWorking));
  EXPECT_TRUE(first.IsRunning());
  EXPECT_EQ(259, first.ExitThroughTray());
}

TEST_F(ConsoleTest, MissingShippedFileEndsWithErr1001) {
  ::DeleteFileA((m_strApp + "\\hkwdn1.hwd").c_str());
  ExpectStartupMessage("Error Initializing the Application (Err 1001).");
}

TEST_F(ConsoleTest, ShippedFilesThatCannotBeDecryptedEndWithErr1002) {
  const std::string strBody(16, '\x5A');
  for (const std::string& strShipped :
       {"2026/12/01    \r\n" + strBody, std::string(264, 'A'), "12/01/2026    \r\n" + strBody + "123"}) {
    SCOPED_TRACE(strShipped.substr(0, 16) + ", " + std::to_string(strShipped.size()) + " bytes");
    WriteFileBytes(m_strApp + "\\hkwdn1.hwd", strShipped);
    ExpectStartupMessage(kErr1002);
  }
}

TEST_F(ConsoleTest, UnusableDefinitionsOfTheUsersOwnGiveWayToTheApplicationFolders) {
  // Newer by its version line, but not whole cipher blocks.
  const std::string strOwn = GetUserDataFolder() + "\\hkwdn1.hwd";
  WriteFileBytes(strOwn, "12/31/2026    \r\n" + std::string(17, '\x5A'));
  CConsole console(m_strApp, "");
  ASSERT_NE(nullptr, console.WaitForMainWindow());
  EXPECT_EQ("12/01/2026", RegistryText("Software\\Corvinth\\Hookwarden", "DefnsVersion"));
  EXPECT_EQ(ReadFileBytes(m_strApp + "\\hkwdn1.hwd").size(), ReadFileBytes(m_strWorking).size());
  EXPECT_EQ(259, console.ExitThroughTray());
  ::DeleteFileA(strOwn.c_str());
}

TEST_F(ConsoleTest, CommandLineStartsHiddenAndTheCloseBoxOnlyHides) {
  {
    CConsole hidden(m_strApp, "-min");
    const HWND hMain = hidden.WaitForMainWindow();
    ASSERT_NE(nullptr, hMain);
    EXPECT_FALSE(::IsWindowVisible(hMain));
    EXPECT_EQ(259, hidden.ExitThroughTray());
  }
  CConsole console(m_strApp, "");
  const HWND hMain = console.WaitForMainWindow();
  ::PostMessageA(hMain, WM_SYSCOMMAND, SC_CLOSE, 0);
  WaitUntil([&] { return !::IsWindowVisible(hMain); }, kWaitMs);
  EXPECT_FALSE(::IsWindowVisible(hMain));
  EXPECT_TRUE(console.IsRunning());
  EXPECT_TRUE(FileExists(m_strWorking));
  EXPECT_EQ(259, console.ExitThroughTray());
}

TEST_F(ConsoleTest, TrayDoubleClickRestoresAHiddenConsoleAndThenExits) {
  CConsole console(m_strApp, "-min");
  const HWND hMain = console.WaitForMainWindow();
  ASSERT_NE(nullptr, hMain);
  // The tray icon's callback message, as the shell sends it for icon 1031.
  const auto doubleClick = [hMain] { PostConsoleMessage(hMain, EAppMessage::TrayNotify, IDR_TRAYMENU, WM_LBUTTONDBLCLK); };
  doubleClick();
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(hMain) != FALSE; }, kWaitMs));
  // Shown, the default item is "&Exit".
  doubleClick();
  EXPECT_EQ(259, console.WaitForExit());
}

// The stand-in splash control's window; its title names the movie it was given.
std::string SplashTitle() {
  char szTitle[600] = {};
  const HWND hSplash = ::FindWindowA("HookwardenSplash", nullptr);
  if (!hSplash || !::IsWindowVisible(hSplash)) return std::string();
  ::GetWindowTextA(hSplash, szTitle, sizeof(szTitle));
  return szTitle;
}

TEST_F(ConsoleTest, SplashPlaysItsMovieOnceWhenTheFlagIsOn) {
  {
    CConsole console(m_strApp, "");
    WaitUntil([] { return !SplashTitle().empty(); }, kWaitMs);
    // "HWSplsh" coded, in the screen folder; the console does not wait for it.
    EXPECT_EQ("Splash " + m_strApp + "\\74\\27648\\72878380768372.hws from frame 0", SplashTitle());
    EXPECT_NE(nullptr, console.WaitForMainWindow());
    EXPECT_TRUE(WaitUntil([] { return SplashTitle().empty(); }, kWaitMs));
    EXPECT_EQ(259, console.ExitThroughTray());
  }
  const DWORD dwOff = 0;
  ::SHSetValueA(HKEY_CURRENT_USER, "Software\\Corvinth\\Hookwarden\\Overview", "LoadSplashScreen", REG_BINARY, &dwOff,
                sizeof(dwOff));
  CConsole console(m_strApp, "");
  ASSERT_NE(nullptr, console.WaitForMainWindow());
  EXPECT_EQ(nullptr, ::FindWindowA("HookwardenSplash", nullptr));
  EXPECT_EQ(259, console.ExitThroughTray());
}

TEST_F(ConsoleTest, ExitWithAPasswordSetRunsOnlyAfterTheRightPassword) {
  StorePassword("secret1");
  CConsole console(m_strApp, "");
  const HWND hMain = console.WaitForMainWindow();
  CScreenUser user = console.User();
  ::PostMessageA(hMain, WM_COMMAND, ID_TRAY_EXIT, 0);
  user.Type(ID_LOGIN_PASSWORD, "wrong77");
  user.Press(ID_PASS_OK);
  user.Press(ID_MSG_OK);  // the wrong-password message
  user.Press(ID_PASS_CANCEL);
  WaitUntil([&] { return ::IsWindowEnabled(hMain); }, kWaitMs);
  EXPECT_TRUE(::IsWindowEnabled(hMain));
  // The cancelled login screen may still be on its way out: typing must reach the next one.
  EXPECT_TRUE(WaitUntil([&] { return !user.WaitForControl(ID_LOGIN_PASSWORD, 0); }, kWaitMs));
  EXPECT_TRUE(console.IsRunning());
  EXPECT_TRUE(FileExists(m_strWorking));

  ::PostMessageA(hMain, WM_COMMAND, ID_TRAY_EXIT, 0);
  user.Type(ID_LOGIN_PASSWORD, "SECRET1");
  user.Press(ID_PASS_OK);
  EXPECT_EQ(259, console.WaitForExit());
  EXPECT_EQ("", user.strFailure);
}

TEST_F(ConsoleTest, MissingProviderStartsItsInstaller) {
  CConsole console(m_strApp, "");
  ASSERT_NE(nullptr, console.WaitForMainWindow());
  const std::string strLog = m_strApp + "\\chainset.log";
  WaitUntil([&] { return FileExists(strLog); }, kWaitMs);
  EXPECT_EQ("chainset -i -w -n Lurewipe_lsp", ReadFileBytes(strLog).substr(0, 30));
  EXPECT_EQ(259, console.ExitThroughTray());
}

TEST_F(ConsoleTest, RefusedSaveAtExitIsShownAndTheConsoleStillEnds) {
  CConsole console(m_strApp, "");
  const HWND hMain = console.WaitForMainWindow();
  ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvinth");
  ::PostMessageA(hMain, WM_COMMAND, ID_TRAY_EXIT, 0);
  CScreenUser user = console.User();
  const std::string strText = user.Text(ID_MSG_TEXT);
  const std::string strLead = "The settings could not be saved because of this error: ";
  EXPECT_EQ(strLead, strText.substr(0, strLead.size()));
  EXPECT_GT(strText.size(), strLead.size() + 3) << "the system's reason is missing";
  user.Press(ID_MSG_OK);
  EXPECT_EQ(259, console.WaitForExit());
  EXPECT_FALSE(FileExists(m_strWorking));
}

}  // namespace

TEST_F(ConsoleTest, ListedRequestAsksAndARememberedBlockAnswersTheNextOneAlone) {
  CConsole console(m_strApp, "");
  ASSERT_NE(nullptr, console.WaitForMainWindow());
  CScreenUser user = console.User();
  CCloseHandle first = StartChild("provider-standin.exe", kListedHostRequest);
  EXPECT_EQ("Phishing Website: 192.0.2.10", user.Text(ID_ALERT_WEB_DATA));
  user.Press(ID_ALERT_WEB_REMEMBER);
  user.Press(ID_ALERT_BLOCK);
  EXPECT_EQ(0, ExitCodeWithin(first, kWaitMs));

  // Answered from the list entry: a stand-in that met an alert would wait.
  CCloseHandle second = StartChild("provider-standin.exe", kListedHostRequest);
  EXPECT_EQ(0, ExitCodeWithin(second, kWaitMs));
  EXPECT_EQ(nullptr, user.WaitForControl(ID_ALERT_BLOCK, 0));
  EXPECT_EQ(259, console.ExitThroughTray());

  DWORD dwCount = 0, cbCount = sizeof(dwCount);
  EXPECT_EQ(ERROR_SUCCESS,
            ::SHGetValueA(HKEY_CURRENT_USER, "Software\\Corvinth\\Hookwarden\\AlertandLog\\LogEntryDetails0", "Count",
                          nullptr, &dwCount, &cbCount));
  EXPECT_EQ(2u, dwCount);
  EXPECT_EQ("Block", RegistryText("Software\\Corvinth\\Hookwarden\\AlertandLog\\LogEntryDetails0", "ActionTaken"));
  EXPECT_EQ("", user.strFailure);
}

TEST_F(ConsoleTest, RequestThatArrivesWhileTheAlertIsOpenIsAnsweredInsideIt) {
  CConsole console(m_strApp, "");
  ASSERT_NE(nullptr, console.WaitForMainWindow());
  CScreenUser user = console.User();
  CCloseHandle outer = StartChild("provider-standin.exe", kListedHostRequest);
  ASSERT_NE(nullptr, user.WaitForControl(ID_ALERT_BLOCK));
  CCloseHandle inner = StartChild("provider-standin.exe", "--kind I --ip 192.0.2.77 --port 80 --always");
  // The second alert opens over the first, which waits below it.
  WaitUntil([&] { return user.Text(ID_ALERT_WEB_DATA) == "Phishing Website: 192.0.2.77"; }, kWaitMs);
  EXPECT_EQ("Phishing Website: 192.0.2.77", user.Text(ID_ALERT_WEB_DATA));
  user.Press(ID_ALERT_BLOCK);
  EXPECT_EQ(0, ExitCodeWithin(inner, kWaitMs));
  EXPECT_EQ(-1, ExitCodeWithin(outer, 0));
  EXPECT_EQ("Phishing Website: 192.0.2.10", user.Text(ID_ALERT_WEB_DATA));
  user.Press(ID_ALERT_ALLOW);
  EXPECT_EQ(1, ExitCodeWithin(outer, kWaitMs));
  EXPECT_EQ(259, console.ExitThroughTray());
  EXPECT_EQ("", user.strFailure);
}

TEST_F(ConsoleTest, LoadWhileAlertsAreOpenAnswersEverySenderAndCountsEveryRequest) {
  constexpr int kSenders = 4, kPerSender = 75;  // 60 valid and 15 malformed each
  constexpr int kValidWeb = kSenders * 60;
  // Web alerts off: web requests are counted as asked and blocked unasked.
  const DWORD dwOff = 0;
  ::SHSetValueA(HKEY_CURRENT_USER, "Software\\Corvinth\\Hookwarden\\AlertandLog\\EventAlert1", "ShowAlert", REG_BINARY,
                &dwOff, sizeof(dwOff));
  CConsole console(m_strApp, "");
  ASSERT_NE(nullptr, console.WaitForMainWindow());
  CScreenUser user = console.User();
  std::vector<CCloseHandle> mails;
  mails.push_back(StartChild("RequestSender.exe", "1127 F 1681"));
  ASSERT_NE(nullptr, user.WaitForControl(ID_ALERT_BLOCK));

  const DWORD dwStart = ::GetTickCount();
  std::vector<CCloseHandle> loads;
  for (int i = 0; i < kSenders; ++i) {
    loads.push_back(StartChild("LoadSender.exe", std::to_string(i) + " " + std::to_string(kPerSender)));
    if (i == 1) mails.push_back(StartChild("RequestSender.exe", "1127 S 1681"));  // opens over the first alert
  }
  for (const CCloseHandle& load : loads) EXPECT_EQ(0, ExitCodeWithin(load, 60000));
  const DWORD dwLoadMs = ::GetTickCount() - dwStart;
  // The alerts are answered last, the newest first.
  for (std::size_t i = mails.size(); i-- > 0;) {
    WaitUntil([&] { return user.Text(ID_ALERT_BLOCK) == "&Block"; }, kWaitMs);
    user.Press(ID_ALERT_BLOCK);
    EXPECT_EQ(0, ExitCodeWithin(mails[i], kWaitMs)) << "mail request " << i;
  }
  std::printf("load: %d requests from %d senders, %d of them malformed, answered in %lu ms\n", kSenders * kPerSender,
              kSenders, kSenders * 15, static_cast<unsigned long>(dwLoadMs));
  EXPECT_TRUE(console.IsRunning());
  EXPECT_EQ(259, console.ExitThroughTray());

  // Eight hosts per sender (the malformed records take the other two), two mails;
  // every valid request counted once.
  EXPECT_EQ(kSenders * 8, StoredNumber("WebSiteBlocking", "WebSiteBlockingItems No"));
  EXPECT_EQ(2, StoredNumber("MailSafe", "MailSafeItems No"));
  const long nLogEntries = StoredNumber("AlertandLog", "AlertLogEntryDetailsListNo");
  EXPECT_EQ(kSenders * 8 + 2, nLogEntries);
  long nCounted = 0;
  for (long i = 0; i < nLogEntries; ++i)
    nCounted += StoredNumber("AlertandLog\\LogEntryDetails" + std::to_string(i), "Count");
  EXPECT_EQ(kValidWeb + 2, nCounted);
  EXPECT_EQ(kValidWeb, StoredNumber("Overview", "NoOfWebProtection"));
  EXPECT_EQ(2, StoredNumber("Overview", "NoOfEmailProtection"));
  EXPECT_EQ(kValidWeb + 2, StoredNumber("Overview", "NoOfBlockedInstructions"));
  // Each web event came 7 or 8 times: none reached "High".
  EXPECT_EQ(0, StoredNumber("Overview", "NoOfBlockedInstructionsHaveHighRating"));
  EXPECT_EQ("", user.strFailure);
}

// The main window's movie "HWMain": its player inside the main window, the lists
// of the web site view and the alert log, and its buttons.
enum : int { ID_MAIN_PLAYER = 2003, ID_MAIN_CLOSE = 1106, ID_MAIN_SITE_ROWS = 1400, ID_MAIN_LOG_ROWS = 1500 };
enum : int { ID_MAIN_MINIMIZE = 1105, ID_MAIN_RESET = 1622, ID_MSG_YES = 110 };

int RowCount(HWND hMain, int nList) {
  const HWND hList = ::GetDlgItem(::GetDlgItem(hMain, ID_MAIN_PLAYER), nList);
  return hList ? static_cast<int>(::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0)) : -1;
}

void PressMainButton(HWND hMain, int nId) {
  const HWND hPlayer = ::GetDlgItem(hMain, ID_MAIN_PLAYER);
  ::PostMessageA(hPlayer, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(hPlayer, nId)));
}

TEST_F(ConsoleTest, MainWindowShowsEveryRowOnceAcrossRestartsUntilReset) {
  {
    // The request arrives while the views start being fed.
    CConsole console(m_strApp, "");
    const HWND hMain = console.WaitForMainWindow();
    ASSERT_NE(nullptr, hMain);
    CScreenUser user = console.User();
    CCloseHandle request = StartChild("provider-standin.exe", kListedHostRequest);
    user.Press(ID_ALERT_WEB_REMEMBER);
    user.Press(ID_ALERT_BLOCK);
    EXPECT_EQ(0, ExitCodeWithin(request, kWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return RowCount(hMain, ID_MAIN_SITE_ROWS) == 1; }, kWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return RowCount(hMain, ID_MAIN_LOG_ROWS) == 1; }, kWaitMs));
    // Neither close box nor minimise ends the console.
    PressMainButton(hMain, ID_MAIN_MINIMIZE);
    PressMainButton(hMain, ID_MAIN_CLOSE);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(hMain); }, kWaitMs));
    EXPECT_TRUE(console.IsRunning());
    EXPECT_EQ(1, RowCount(hMain, ID_MAIN_SITE_ROWS));
    EXPECT_EQ(259, console.ExitThroughTray());
    EXPECT_EQ("", user.strFailure);
  }
  {
    // Stored entries are fed; the same request again only refreshes its rows.
    CConsole console(m_strApp, "");
    const HWND hMain = console.WaitForMainWindow();
    ASSERT_NE(nullptr, hMain);
    CCloseHandle request = StartChild("provider-standin.exe", kListedHostRequest);
    EXPECT_EQ(0, ExitCodeWithin(request, kWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return RowCount(hMain, ID_MAIN_SITE_ROWS) == 1; }, kWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return RowCount(hMain, ID_MAIN_LOG_ROWS) == 1; }, kWaitMs));
    // Reset asks, then deletes the stored settings and ends the console.
    CScreenUser user = console.User();
    PressMainButton(hMain, ID_MAIN_RESET);
    user.Press(ID_MSG_YES);
    EXPECT_EQ(259, console.WaitForExit());
    EXPECT_EQ("<none>", RegistryText("Software\\Corvinth\\Hookwarden", "App Path"));
    EXPECT_EQ("", user.strFailure);
  }
  CConsole console(m_strApp, "");
  const HWND hMain = console.WaitForMainWindow();
  ASSERT_NE(nullptr, hMain);
  EXPECT_EQ(0, RowCount(hMain, ID_MAIN_SITE_ROWS));
  EXPECT_EQ(259, console.ExitThroughTray());
}

// The system menu's about item: the box plays "AB" and its OK ends it; the console runs on.
TEST_F(ConsoleTest, AboutBoxOpensFromTheSystemMenuAndEndsWithItsOk) {
  CConsole console(m_strApp, "");
  const HWND hMain = console.WaitForMainWindow();
  ASSERT_NE(nullptr, hMain);
  CScreenUser user = console.User();
  ::PostMessageA(hMain, WM_SYSCOMMAND, 16, 0);
  EXPECT_EQ("Hookwarden", user.Text(1));
  user.Press(5);
  EXPECT_TRUE(user.WaitForNoScreen());
  EXPECT_EQ(259, console.ExitThroughTray());
  EXPECT_EQ("", user.strFailure);
}

// The changes of a request are saved within seconds: a console killed 3 s after
// it keeps its counters, its list entry and its log entry.
TEST_F(ConsoleTest, KilledSecondsAfterARequestKeepsWhatTheRequestChanged) {
  const DWORD dwOff = 0;  // web alerts off: the request is blocked without asking
  ::SHSetValueA(HKEY_CURRENT_USER, "Software\\Corvinth\\Hookwarden\\AlertandLog\\EventAlert1", "ShowAlert", REG_BINARY,
                &dwOff, sizeof(dwOff));
  CConsole console(m_strApp, "-min");
  ASSERT_NE(nullptr, console.WaitForMainWindow());
  CCloseHandle request = StartChild("provider-standin.exe", kListedHostRequest);
  EXPECT_EQ(0, ExitCodeWithin(request, kWaitMs));
  // Saved when the journal of the save is gone again.
  WaitUntil(
      [] {
        return StoredNumber("AlertandLog", "AlertLogEntryDetailsListNo") == 1 &&
               RegistryText("Software\\Corvinth\\Hookwarden.Journal", "Parts") == "<none>";
      },
      3000);
  console.Kill();

  EXPECT_EQ(1, StoredNumber("Overview", "NoOfWebProtection"));
  EXPECT_EQ(1, StoredNumber("Overview", "NoOfBlockedInstructions"));
  EXPECT_EQ(1, StoredNumber("WebSiteBlocking", "WebSiteBlockingItems No"));
  EXPECT_EQ("192.0.2.10",
            RegistryText("Software\\Corvinth\\Hookwarden\\WebSiteBlocking\\WebSiteBlockingItem0", "StrictedData"));
  EXPECT_EQ(1, StoredNumber("AlertandLog", "AlertLogEntryDetailsListNo"));
  EXPECT_EQ(1, StoredNumber("AlertandLog\\LogEntryDetails0", "Count"));
  EXPECT_EQ("Block", RegistryText("Software\\Corvinth\\Hookwarden\\AlertandLog\\LogEntryDetails0", "ActionTaken"));
  EXPECT_EQ("<none>", RegistryText("Software\\Corvinth\\Hookwarden.Journal", "Parts"));
}

TEST_F(ConsoleTest, SessionEndInTheTrayWithAPasswordSavesWithoutAskingAndEnds) {
  StorePassword("secret1");
  CConsole console(m_strApp, "");
  const HWND hMain = console.WaitForMainWindow();
  ASSERT_NE(nullptr, hMain);
  CScreenUser user = console.User();
  // Block without "remember" needs no password.
  CCloseHandle request = StartChild("provider-standin.exe", kListedHostRequest);
  user.Press(ID_ALERT_BLOCK);
  EXPECT_EQ(0, ExitCodeWithin(request, kWaitMs));
  // The close box hides the window in the tray, where it is no longer top-level.
  ::PostMessageA(hMain, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitUntil(
      [&] { return !::IsWindowVisible(hMain) && ::GetAncestor(hMain, GA_PARENT) != ::GetDesktopWindow(); }, kWaitMs));

  EXPECT_TRUE(console.EndSession());
  EXPECT_EQ(259, console.WaitForExit()) << "a login screen holds up the end";
  EXPECT_FALSE(FileExists(m_strWorking));
  EXPECT_EQ(1, StoredNumber("WebSiteBlocking", "WebSiteBlockingItems No"));
  EXPECT_EQ(1, StoredNumber("AlertandLog\\LogEntryDetails0", "Count"));
  EXPECT_EQ(1, StoredNumber("Overview", "NoOfBlockedInstructions"));
  EXPECT_EQ(0, StoredNumber("Overview", "IsLogin"));
  EXPECT_EQ("", user.strFailure);
}

TEST_F(ConsoleTest, WorkingFileThatCannotBeDeletedIsEmptiedAtExit) {
  CConsole console(m_strApp, "");
  ASSERT_NE(nullptr, console.WaitForMainWindow());
  // Held open without delete sharing, it cannot be deleted.
  CCloseFile held(::CreateFileA(m_strWorking.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held.IsValid());
  EXPECT_EQ(259, console.ExitThroughTray());
  LARGE_INTEGER size = {};
  EXPECT_TRUE(::GetFileSizeEx(held.Get(), &size));
  EXPECT_EQ(0, size.QuadPart);
}

// Pixels of a size in dialog units of the main window's font, measured on a dialog
// of this process with the same font.
SIZE DialogUnitsInPixels(short cx, short cy) {
  CDialogTemplate probeTemplate(WS_POPUP | DS_SETFONT, 0, 0, 0, cx, cy, "", "MS Sans Serif");
  CDestroyWindow probe(CreateDialogFromTemplate(
      probeTemplate, nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0));
  RECT rc = {0, 0, cx, cy};
  ::MapDialogRect(probe.Get(), &rc);
  return SIZE{rc.right, rc.bottom};
}

// The main window is a borderless popup of 334 x 278 dialog units, still titled
// for the programs that look for it; a login asked for by a guarded command
// shows on its movie at once.
TEST_F(ConsoleTest, MainWindowHasNoCaptionAndShowsALoginOfAGuardedCommand) {
  enum : int { ID_MAIN_SETTINGS_TAB = 1104, ID_MAIN_SPLASH = 1601, ID_MAIN_LOGGED_IN = 1604 };
  StorePassword("secret1");
  CConsole console(m_strApp, "");
  const HWND hMain = console.WaitForMainWindow();
  ASSERT_NE(nullptr, hMain);
  const LONG_PTR style = ::GetWindowLongPtrA(hMain, GWL_STYLE);
  EXPECT_EQ(0, style & (WS_CAPTION | WS_THICKFRAME)) << std::hex << style;
  char szTitle[32] = {};
  ::GetWindowTextA(hMain, szTitle, sizeof(szTitle));
  EXPECT_STREQ("Hookwarden", szTitle);
  RECT rcClient = {};
  ::GetClientRect(hMain, &rcClient);
  const SIZE expected = DialogUnitsInPixels(334, 278);
  EXPECT_EQ(expected.cx, rcClient.right);
  EXPECT_EQ(expected.cy, rcClient.bottom);

  const HWND hPlayer = ::GetDlgItem(hMain, ID_MAIN_PLAYER);
  PressMainButton(hMain, ID_MAIN_SETTINGS_TAB);
  PressMainButton(hMain, ID_MAIN_SPLASH);
  CScreenUser user = console.User();
  user.Type(ID_LOGIN_PASSWORD, "SECRET1");
  user.Press(ID_PASS_OK);
  EXPECT_TRUE(WaitUntil(
      [&] { return ::SendDlgItemMessageA(hPlayer, ID_MAIN_LOGGED_IN, BM_GETCHECK, 0, 0) == BST_CHECKED; }, kWaitMs))
      << "\"_root.bIsLogin\" is not on after the login";
  EXPECT_EQ(259, console.ExitThroughTray());
  EXPECT_EQ("", user.strFailure);
}
