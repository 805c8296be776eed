#include "console/core/HookwardenApp_win.h"

#include <shellapi.h>
#include <winsock2.h>

#include <cstring>

#include "console/ConsoleResources.h"
#include "console/core/TrayTooltip.h"
#include "console/core/WorkingDefinitions_win.h"
#include "definitions/DefinitionsVersion.h"
#include "console/settings/FileVersion_win.h"
#include "console/screens/MainDlg_win.h"
#include "console/screens/MsgBoxDlg_win.h"
#include "console/settings/Languages_win.h"
#include "engine/LSPGlobals.h"
#include "shared/EventLog_win.h"
#include "shared/UserDataFolder_win.h"

namespace {

// The start-up failure messages.
constexpr const char* kShippedFileMissingText = "Error Initializing the Application (Err 1001).";
constexpr const char* kDefinitionsRefusedText = "Error Initializing the Application (Err 1002).";
constexpr const char* kDefinitionsUnreadableText = "the file is missing, cannot be read or does not decrypt";
constexpr unsigned long kEventLogFlushMs = 1000;
constexpr const char* kWriteFailedText = "The file could not be encrypted because of this error: ";
constexpr const char* kOwnPathTooLongText =
    "Hookwarden cannot run from a folder whose path is longer than 260 characters. "
    "Please move it to a folder with a shorter path.";

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

}  // namespace

CHookwardenApp::CHookwardenApp() : CHookwardenApp(OwnModulePath()) {}

CHookwardenApp::CHookwardenApp(const std::string& strModulePath)
    : m_bOwnPathFits(!strModulePath.empty()),
      m_settings(FolderOf(strModulePath).c_str(), strModulePath.c_str(), GetUserDataFolder().c_str()) {
  const UINT cchSystem = ::GetSystemDirectoryA(m_szSystemPath, sizeof(m_szSystemPath));
  if (cchSystem == 0 || cchSystem >= sizeof(m_szSystemPath)) m_szSystemPath[0] = 0;
  m_presenceMutex.Reset(::CreateMutexA(nullptr, FALSE, kPresenceMutexName));
  m_mainDlgParts.pTrayIcon = &m_trayIcon;
  m_mainDlgParts.pScreen = &m_mainScreen;
  m_mainDlgParts.pListFeed = &m_mainScreen;
  m_mainDlgParts.pUpdate = &m_definitionsUpdater;
  m_mainScreen.SetDefinitionsUpdate(&m_definitionsUpdater);
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
  // The user's own file only with the signed manifest it was installed with.
  const SInstalledDefinitions installed = m_definitionsUpdater.InstalledDefinitions();
  const std::string& strShippedFolder = installed.strFolder;
  const std::string strShipped = strShippedFolder + kShippedDefinitionsFile;
  m_settings.m_overview.m_strDefnsVersion = DefinitionsVersionDate(installed.strVersion);
  if (::GetFileAttributesA(strShipped.c_str()) == INVALID_FILE_ATTRIBUTES) {
    ShowStartupMessage(kShippedFileMissingText);
    return false;
  }
  if (m_settings.m_overview.m_strDefnsVersion.empty()) {
    ShowStartupMessage(kDefinitionsRefusedText);
    return false;
  }
  DWORD dwError = 0;
  std::string strWhy;
  EWorkingDefinitions result = WriteWorkingDefinitionsFile(strShipped, DataFile(kWorkingDefinitionsFile),
                                                           EWorkingWrite::InPlace, &dwError, &strWhy);
  if (result == EWorkingDefinitions::NotDefinitions) {
    m_definitionsUpdater.NoteRefusedDefinitions(m_settings.m_overview.m_strDefnsVersion, strWhy);
  }
  const bool bRefused = result == EWorkingDefinitions::Refused || result == EWorkingDefinitions::ShippedMissing ||
                        result == EWorkingDefinitions::NotDefinitions;
  if (bRefused) {
    if (strWhy.empty()) strWhy = kDefinitionsUnreadableText;
    WriteEventLog(DefinitionsRefusedEvent(m_settings.m_overview.m_strDefnsVersion, strShippedFolder, strWhy));
  }
  // Definitions of the user's own that cannot be used give way to the machine's.
  std::string strUsedFolder = strShippedFolder;
  if (bRefused && strShippedFolder != m_settings.GetAppPath()) {
    strUsedFolder = m_settings.GetAppPath();
    result = WriteWorkingDefinitionsFile(AppFile(kShippedDefinitionsFile), DataFile(kWorkingDefinitionsFile),
                                         EWorkingWrite::InPlace, &dwError);
    m_settings.m_overview.m_strDefnsVersion = DefinitionsVersionDate(ReadDefinitionsVersion(m_settings.GetAppPath()));
  }
  switch (result) {
    case EWorkingDefinitions::Written:
      WriteEventLog(DefinitionsInUseEvent(m_settings.m_overview.m_strDefnsVersion, strUsedFolder));
      return true;
    case EWorkingDefinitions::ShippedMissing:
      ShowStartupMessage(kShippedFileMissingText);
      return false;
    case EWorkingDefinitions::Refused:
    case EWorkingDefinitions::NotDefinitions:
    case EWorkingDefinitions::CreateFailed:
      ShowStartupMessage(kDefinitionsRefusedText);
      return false;
    case EWorkingDefinitions::WriteFailed:
      ShowStartupMessage(kWriteFailedText + SystemErrorText(dwError));
      return true;
  }
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

std::string CHookwardenApp::DataFile(const char* szName) const {
  return std::string(m_settings.GetDataPath()) + szName;
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
  m_settings.MoveLogFileOutOfAppFolder();
  // The guard reads the working definitions file, written by now, and follows
  // the stored switch.
  m_webGuard.Start();
}

void CHookwardenApp::OnSaveOutcome(bool bSaved, const std::string& strReason) {
  const std::string strFailure = bSaved ? std::string() : strReason;
  if (strFailure == m_trayStatus.strSaveFailure) return;
  m_trayStatus.strSaveFailure = strFailure;
  ShowTrayStatus();
}

void CHookwardenApp::ShowTrayStatus() {
  m_trayIcon.SetTooltip(TrayTooltip(GetAppTitle(), m_trayStatus));
}

void CHookwardenApp::ExitProcedure() {
  // Whatever ends the console: the web guard ends and the user's proxy setting is back.
  m_webGuard.Stop();
  if (m_bFirstInstance) {
    const std::string strWorking = DataFile(kWorkingDefinitionsFile);
    // Where the file cannot be deleted (a data folder that lets its users write the
    // file but not remove it) it is emptied, so that no definitions outlive the run.
    if (!::DeleteFileA(strWorking.c_str())) {
      CCloseFile emptied(::CreateFileA(strWorking.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    }
  }
  // The events of the last moments (a reset, a restore) still reach the log.
  FlushEventLog(kEventLogFlushMs);
  // At once, without further clean-up.
  ::TerminateProcess(::GetCurrentProcess(), kConsoleExitCode);
}
