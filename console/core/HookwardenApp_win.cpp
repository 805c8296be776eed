#include "console/core/HookwardenApp_win.h"

#include <shellapi.h>
#include <winsock2.h>

#include <cstring>
#include <new>
#include <vector>

#include "console/ConsoleResources.h"
#include "console/core/BlowfishCipher.h"
#include "console/screens/MainDlg_win.h"
#include "console/screens/MsgBoxDlg_win.h"
#include "console/settings/Languages_win.h"
#include "engine/LSPGlobals.h"

namespace {

// The start-up failure messages.
constexpr const char* kShippedFileMissingText = "Error Initializing the Application (Err 1001).";
constexpr const char* kDefinitionsRefusedText = "Error Initializing the Application (Err 1002).";
constexpr const char* kWriteFailedText = "The file could not be encrypted because of this error: ";
constexpr const char* kOwnPathTooLongText =
    "Hookwarden cannot run from a folder whose path is longer than 260 characters. "
    "Please move it to a folder with a shorter path.";

// The shipped definitions file: encrypted in electronic-codebook mode with this pass
// phrase and an all-zero chain start; its first 16 bytes are the plain header line,
// which decrypts to noise of which the last two bytes become a line end.
constexpr char kDefinitionsPassPhrase[] = "63185207";
constexpr std::size_t kHeaderLineBytes = 16;
// Larger shipped files are refused rather than read whole into memory.
constexpr LONGLONG kMaxShippedBytes = 0x7FFFFFF8;

// The console's own path; empty when it does not fit 260 characters.
std::string OwnModulePath() {
  char szPath[261] = {};
  const DWORD cch = ::GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
  if (cch == 0 || cch >= sizeof(szPath)) return std::string();
  return szPath;
}

// The path up to, not including, the last backslash.
std::string FolderOf(const std::string& strPath) {
  const std::size_t nLast = strPath.rfind('\\');
  return nLast == std::string::npos ? std::string() : strPath.substr(0, nLast);
}

bool ReadWhole(HANDLE hFile, std::vector<unsigned char>& bytes) {
  std::size_t nDone = 0;
  while (nDone < bytes.size()) {
    DWORD cbRead = 0;
    const DWORD cbAsk = static_cast<DWORD>(bytes.size() - nDone);
    if (!::ReadFile(hFile, bytes.data() + nDone, cbAsk, &cbRead, nullptr) || cbRead == 0) return false;
    nDone += cbRead;
  }
  return true;
}

}  // namespace

CHookwardenApp::CHookwardenApp() : CHookwardenApp(OwnModulePath()) {}

CHookwardenApp::CHookwardenApp(const std::string& strModulePath)
    : m_bOwnPathFits(!strModulePath.empty()), m_settings(FolderOf(strModulePath).c_str(), strModulePath.c_str()) {
  const UINT cchSystem = ::GetSystemDirectoryA(m_szSystemPath, sizeof(m_szSystemPath));
  if (cchSystem == 0 || cchSystem >= sizeof(m_szSystemPath)) m_szSystemPath[0] = 0;
  m_presenceMutex.Reset(::CreateMutexA(nullptr, FALSE, kPresenceMutexName));
  m_mainDlgParts.pTrayIcon = &m_trayIcon;
  m_mainDlgParts.pScreen = &m_mainScreen;
  m_mainDlgParts.pListWorkers = &m_mainScreen;
}

CHookwardenApp::~CHookwardenApp() {
  if (m_bSocketsStarted) ::WSACleanup();
}

void CHookwardenApp::Run(const char* szCommandLine) {
  if (!m_bOwnPathFits) {
    // Without an application folder there is neither the message box's player nor
    // its movie, and every file would be looked for at the drive's root.
    ::MessageBoxA(nullptr, kOwnPathTooLongText, LoadBuiltInString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONSTOP);
    ExitProcedure();
    return;
  }
  if (StartUp()) {
    CMainDlg mainDlg(m_settings, *this, m_mainDlgParts);
    m_pMainDlg = &mainDlg;
    // The Run value passes " -min"; any text starts the console hidden.
    mainDlg.Run(szCommandLine && szCommandLine[0] != 0);
    m_pMainDlg = nullptr;
  }
  ExitProcedure();
}

bool CHookwardenApp::StartUp() {
  // 1. Windows Sockets 1.1; without them the console ends without a word.
  WSADATA wsaData;
  if (::WSAStartup(MAKEWORD(1, 1), &wsaData) != 0) return false;
  m_bSocketsStarted = true;
  // 2. Hosting controls needs nothing here: the movie player is a plain library.
  // 3. One instance only; the running one is left as it is.
  m_instanceMutex.Reset(::CreateMutexA(nullptr, TRUE, GetAppTitle().c_str()));
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    m_bSecondInstance = true;
    ShowStartupMessage(LoadLocalString(m_settings, IDS_PREVIOUS_INSTANCE));
    return false;
  }
  m_bFirstInstance = true;
  // 4. to 9. The working definitions file.
  if (!WriteWorkingDefinitions()) return false;
  // 10. The socket-layer provider.
  StartProviderInstallerIfMissing();
  return true;
}

bool CHookwardenApp::WriteWorkingDefinitions() {
  CCloseFile shipped(::CreateFileA(AppFile(kShippedDefinitionsFile).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!shipped) {
    ShowStartupMessage(kShippedFileMissingText);
    return false;
  }
  if (m_settings.m_overview.m_strDefnsVersion.empty()) {
    ShowStartupMessage(kDefinitionsRefusedText);
    return false;
  }
  // The cipher takes only whole blocks, and the header line must be there to be
  // overwritten: a file it refuses, or one that cannot be read, counts as invalid.
  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(shipped.Get(), &size) || size.QuadPart < static_cast<LONGLONG>(kHeaderLineBytes) ||
      size.QuadPart % 8 != 0 || size.QuadPart > kMaxShippedBytes) {
    ShowStartupMessage(kDefinitionsRefusedText);
    return false;
  }
  std::vector<unsigned char> encrypted;
  std::vector<unsigned char> decrypted;
  try {
    encrypted.resize(static_cast<std::size_t>(size.QuadPart));
    decrypted.resize(encrypted.size());
  } catch (const std::bad_alloc&) {
    ShowStartupMessage(kDefinitionsRefusedText);
    return false;
  }
  if (!ReadWhole(shipped.Get(), encrypted)) {
    ShowStartupMessage(kDefinitionsRefusedText);
    return false;
  }
  try {
    BlowfishCipher cipher;
    const unsigned char chainStart[8] = {};
    cipher.SetKey(reinterpret_cast<const unsigned char*>(kDefinitionsPassPhrase), 8, chainStart);
    cipher.Decrypt(encrypted.data(), decrypted.data(), decrypted.size(), BlowfishCipher::MODE_ECB);
  } catch (const CBlowfishError&) {
    ShowStartupMessage(kDefinitionsRefusedText);
    return false;
  }

  CCloseFile working(::CreateFileA(AppFile(kWorkingDefinitionsFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!working) {
    ShowStartupMessage(kDefinitionsRefusedText);
    return false;
  }
  decrypted[kHeaderLineBytes - 2] = '\r';
  decrypted[kHeaderLineBytes - 1] = '\n';
  DWORD cbWritten = 0;
  bool bWritten =
      ::WriteFile(working.Get(), decrypted.data(), static_cast<DWORD>(decrypted.size()), &cbWritten, nullptr) != FALSE;
  DWORD dwError = ::GetLastError();
  if (bWritten && cbWritten != decrypted.size()) {
    bWritten = false;
    dwError = ERROR_HANDLE_DISK_FULL;
  }
  // Errors of the delayed write show when the data is flushed before closing.
  if (bWritten && !::FlushFileBuffers(working.Get())) {
    bWritten = false;
    dwError = ::GetLastError();
  }
  working.Reset();
  if (!bWritten) ShowStartupMessage(kWriteFailedText + SystemErrorText(dwError));
  return true;
}

void CHookwardenApp::StartProviderInstallerIfMissing() {
  // The provider's name is never translated.
  const std::string strProvider = LoadBuiltInString(IDS_PROVIDER_NAME);
  if (CLSPGlobals::IsLSPInstalled(strProvider.c_str())) return;
  const std::string strParameters = "-i -w -n " + strProvider;
  ::ShellExecuteA(nullptr, "open", AppFile(kProviderInstaller).c_str(), strParameters.c_str(), nullptr, SW_HIDE);
}

void CHookwardenApp::ShowStartupMessage(const std::string& strText) {
  ShowConsoleMessage(m_settings, strText, GetAppTitle());
}

std::string CHookwardenApp::GetAppTitle() {
  return LoadLocalString(m_settings, IDS_APP_TITLE);
}

std::string CHookwardenApp::AppFile(const char* szName) const {
  return std::string(m_settings.GetAppPath()) + szName;
}

bool CHookwardenApp::CreateRequestWindow(HWND hMainWnd) {
  m_pRequestWindow = std::make_unique<CRequestWindow>(m_requestHandlers, [this] {
    if (m_pMainDlg) m_pMainDlg->EndSession();
  });
  return m_pRequestWindow->Create(hMainWnd);
}

void CHookwardenApp::OnMainWindowDestroyed() {
  ExitProcedure();
}

void CHookwardenApp::OnSettingsLoaded() {
  // The guard reads the working definitions file, written by now, and follows
  // the stored switch.
  m_webGuard.Start();
}

void CHookwardenApp::ShowWebGuardStatus(const std::string& strStatus) {
  const std::string strTitle = GetAppTitle();
  m_trayIcon.SetTooltip(strStatus.empty() ? strTitle : strTitle + " - " + strStatus);
}

void CHookwardenApp::ShutDownConsole() {
  m_webGuard.Stop();
}

void CHookwardenApp::ExitProcedure() {
  ShutDownConsole();
  if (m_bFirstInstance) {
    const std::string strWorking = AppFile(kWorkingDefinitionsFile);
    // Installed per machine, the users may write the file but not delete it (that
    // would need the right to add files beside the programs): it is emptied, so
    // that no definitions outlive the run.
    if (!::DeleteFileA(strWorking.c_str())) {
      CCloseFile emptied(::CreateFileA(strWorking.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    }
  }
  // At once, without further clean-up.
  ::TerminateProcess(::GetCurrentProcess(), kConsoleExitCode);
}
