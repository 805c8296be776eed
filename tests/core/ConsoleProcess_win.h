// The real console in a process of its own under Wine, started from a copy of the
// application folder (its path holds a blank), and what the console tests read of
// it: its windows, its exit, the registry it stores into.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <shlwapi.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "console/ConsoleResources.h"
#include "console/settings/NameCode.h"
#include "screens/ScreenUser_win.h"
#include "shared/UserDataFolder_win.h"
#include "support/ChildProcess_win.h"
#include "support/TempFolder_win.h"
#include "support/WaitUntil_win.h"

enum : int { ID_MSG_TEXT = 101, ID_MSG_OK = 112, ID_LOGIN_PASSWORD = 210, ID_PASS_OK = 250, ID_PASS_CANCEL = 251 };
// The web alert's controls in the movie "HWAlerts".
enum : int { ID_ALERT_WEB_DATA = 301, ID_ALERT_WEB_REMEMBER = 305, ID_ALERT_ALLOW = 340, ID_ALERT_BLOCK = 341 };
constexpr const char* kErr1002 = "Error Initializing the Application (Err 1002).";
constexpr DWORD kWaitMs = 15000;
// 192.0.2.10 is listed in the sample definitions.
constexpr const char* kListedHostRequest = "--kind I --ip 192.0.2.10 --port 80 --name iexplore.exe";

inline void CopyTree(const std::string& strFrom, const std::string& strTo) {
  ::CreateDirectoryA(strTo.c_str(), nullptr);
  WIN32_FIND_DATAA found = {};
  CFindClose search(::FindFirstFileA((strFrom + "\\*").c_str(), &found));
  if (!search) return;
  do {
    const std::string strName = found.cFileName;
    if (strName == "." || strName == ".." || strName == "chainset.log" || strName == "hkwdn2.hwd") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CopyTree(strFrom + "\\" + strName, strTo + "\\" + strName);
    } else {
      ::CopyFileA((strFrom + "\\" + strName).c_str(), (strTo + "\\" + strName).c_str(), FALSE);
    }
  } while (::FindNextFileA(search.Get(), &found));
}

inline std::string ReadFileBytes(const std::string& strPath) {
  std::ifstream file(strPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The provider stand-in's exit code is the verdict; -1 while it still waits.
inline long ExitCodeWithin(const CCloseHandle& process, DWORD dwTimeoutMs) {
  DWORD dwCode = 0;
  if (::WaitForSingleObject(process.Get(), dwTimeoutMs) != WAIT_OBJECT_0) return -1;
  ::GetExitCodeProcess(process.Get(), &dwCode);
  return static_cast<long>(dwCode);
}

inline bool FileExists(const std::string& strPath) {
  return ::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string RegistryText(const char* szKey, const char* szValue) {
  char szData[600] = {};
  DWORD cbData = sizeof(szData) - 1;
  if (::SHGetValueA(HKEY_CURRENT_USER, szKey, szValue, nullptr, szData, &cbData) != ERROR_SUCCESS) return "<none>";
  return szData;
}

// The password a console started afterwards asks for, stored as its name code.
inline void StorePassword(const char* szPassword) {
  const std::string strCode = EncodeNameCode(szPassword);
  ::SHSetValueA(HKEY_CURRENT_USER, "Software\\Corvinth\\Hookwarden\\Overview", "Password", REG_SZ, strCode.c_str(),
                static_cast<DWORD>(strCode.size()));
}

inline void RemoveConsoleKeys() {
  ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvinth");
  ::SHDeleteValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Hookwarden");
}

// The main window: the console's dialog with a system menu and no owner (the
// request window has both, the screens neither).
inline BOOL CALLBACK FindMainDialog(HWND hWnd, LPARAM lParam) {
  char szClass[16] = {};
  ::GetClassNameA(hWnd, szClass, sizeof(szClass));
  if (std::string(szClass) != "#32770" || (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_SYSMENU) != WS_SYSMENU ||
      ::GetWindow(hWnd, GW_OWNER))
    return TRUE;
  *reinterpret_cast<HWND*>(lParam) = hWnd;
  return FALSE;
}

// Hidden in the tray, the main window is a child of the tray's hidden window.
inline BOOL CALLBACK FindMainWindow(HWND hWnd, LPARAM lParam) {
  if (!FindMainDialog(hWnd, lParam)) return FALSE;
  ::EnumChildWindows(hWnd, &FindMainDialog, lParam);
  return *reinterpret_cast<HWND*>(lParam) == nullptr;
}

// One started console process; ended by the test if it still runs at the end.
class CConsole {
 public:
  CConsole(const std::string& strFolder, const std::string& strArguments) {
    std::string strCommand = "\"" + strFolder + "\\Hookwdn.exe\" " + strArguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (::CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, strFolder.c_str(), &startup,
                         &info)) {
      m_process.Reset(info.hProcess);
      CCloseHandle thread(info.hThread);
      m_dwThreadId = info.dwThreadId;
      m_dwProcessId = info.dwProcessId;
    }
  }
  ~CConsole() {
    if (IsRunning()) ::TerminateProcess(m_process.Get(), 1);
  }
  CScreenUser User() const { return CScreenUser(m_dwThreadId); }
  DWORD ThreadId() const { return m_dwThreadId; }
  bool IsRunning() const { return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT; }
  // The main window once its start-up is done: it then answers 1225 with 1.
  HWND WaitForMainWindow() const {
    HWND hMain = nullptr;
    WaitUntil(
        [&] {
          hMain = nullptr;
          ::EnumThreadWindows(m_dwThreadId, &FindMainWindow, reinterpret_cast<LPARAM>(&hMain));
          DWORD_PTR dwAnswer = 0;
          return hMain && ::SendMessageTimeoutA(hMain, WM_USER + 201, 0, 0, SMTO_NORMAL, kWaitMs, &dwAnswer) &&
                 dwAnswer == 1;
        },
        kWaitMs);
    return hMain;
  }
  // The exit code; -1 when it still runs after the deadline.
  long WaitForExit() const {
    DWORD dwCode = 0;
    if (::WaitForSingleObject(m_process.Get(), kWaitMs) != WAIT_OBJECT_0) return -1;
    ::GetExitCodeProcess(m_process.Get(), &dwCode);
    return static_cast<long>(dwCode);
  }
  // Ends the process as a crash or the task manager would.
  void Kill() const {
    ::TerminateProcess(m_process.Get(), 9);
    ::WaitForSingleObject(m_process.Get(), kWaitMs);
  }
  long ExitThroughTray() const {
    ::PostMessageA(WaitForMainWindow(), WM_COMMAND, ID_TRAY_EXIT, 0);
    return WaitForExit();
  }
  // As the system ends the session: every top-level window of the process is
  // asked, then told that the session ends. False when one of them refused.
  bool EndSession() const {
    std::pair<DWORD, std::vector<HWND>> found{m_dwProcessId, {}};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
          auto& pair = *reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(lParam);
          DWORD dwProcessId = 0;
          ::GetWindowThreadProcessId(hWnd, &dwProcessId);
          if (dwProcessId == pair.first) pair.second.push_back(hWnd);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    for (const HWND hWnd : found.second) {
      DWORD_PTR dwAnswer = 0;
      if (!::SendMessageTimeoutA(hWnd, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kWaitMs, &dwAnswer) || !dwAnswer)
        return false;
    }
    // The console ends inside the first notice it acts on; the others find no window.
    for (const HWND hWnd : found.second)
      ::SendMessageTimeoutA(hWnd, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, kWaitMs, nullptr);
    return !found.second.empty();
  }

 private:
  CCloseHandle m_process;
  DWORD m_dwThreadId = 0;
  DWORD m_dwProcessId = 0;
};

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveConsoleKeys();
    CopyTree(BuiltAppFolder(), m_strApp);
    // Definitions an update left in the user's folder would win over the copy's.
    ::DeleteFileA((GetUserDataFolder() + "\\hkwdn1.hwd").c_str());
  }
  void TearDown() override { RemoveConsoleKeys(); }

  // Starts a console whose start-up ends with a message; expects its text, answers
  // OK and expects the exit code 259 with no working file left.
  void ExpectStartupMessage(const std::string& strText) {
    CConsole console(m_strApp, "");
    CScreenUser user = console.User();
    EXPECT_EQ(strText, user.Text(ID_MSG_TEXT));
    user.Press(ID_MSG_OK);
    EXPECT_EQ(259, console.WaitForExit());
    EXPECT_FALSE(FileExists(m_strWorking));
    EXPECT_EQ("", user.strFailure);
  }

  CTempFolder m_folder;
  const std::string m_strApp = m_folder.Path() + "\\Hookwarden app";
  // Each user's console writes its working file into the user's own folder.
  const std::string m_strWorking = GetUserDataFolder() + "\\hkwdn2.hwd";
};

// A number of four bytes stored under the product key; -1 when it is missing.
inline long StoredNumber(const std::string& strSubkey, const char* szValue) {
  DWORD dwValue = 0, cbValue = sizeof(dwValue);
  const std::string strKey = "Software\\Corvinth\\Hookwarden\\" + strSubkey;
  if (::SHGetValueA(HKEY_CURRENT_USER, strKey.c_str(), szValue, nullptr, &dwValue, &cbValue) != ERROR_SUCCESS)
    return -1;
  return static_cast<long>(dwValue);
}
