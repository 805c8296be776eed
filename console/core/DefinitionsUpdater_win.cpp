#include "console/core/DefinitionsUpdater_win.h"

#include "console/ConsoleResources.h"
#include "console/core/WorkingDefinitions_win.h"
#include "console/screens/MsgBoxDlg_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "definitions/DefinitionsVersion.h"
#include "console/settings/FileVersion_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/NameCode.h"
#include "console/settings/store/RegistryValues_win.h"
#include "console/settings/store/SettingsStore_win.h"
#include "updater/UpdateProgram.h"
#include "updater/UpdateSchedule.h"
#include "shared/Policies_win.h"
#include "shared/ProductKeyValue_win.h"
#include "updater/UpdateValues_win.h"

namespace {

constexpr const char* kUpdaterMissingText = "The update program cannot be started: ";

}  // namespace

CDefinitionsUpdater::CDefinitionsUpdater(CConsoleSettings& settings, std::function<void(const std::string&)> onStatus,
                                         IMainScreen& screen)
    : m_settings(settings),
      m_onStatus(std::move(onStatus)),
      m_screen(screen),
      m_installed(settings.GetAppPath(), settings.GetDataPath()) {}

CDefinitionsUpdater::~CDefinitionsUpdater() {
  End();
}

void CDefinitionsUpdater::Start(HWND hMainWnd) {
  m_hMainWnd = hMainWnd;
  m_uUpdatedMessage = ::RegisterWindowMessageA(kDefinitionsUpdatedMessageName);
  // Start-up has just decrypted this file, or refused it and taken the application
  // folder's: the refused one is not tried again until it changes.
  StampOfShipped(m_shippedStamp);
  m_strVersionInUse =
      ReadDefinitionsVersion(m_strRefused.empty() ? m_shippedStamp.strFolder.c_str() : m_settings.GetAppPath());
  m_checks.nStartedAt = UtcNow();
  ParseUtcTime(m_settings.m_strLastUpdateCheck, m_checks.nLastSuccess);
  ::SetTimer(hMainWnd, kDefinitionsTimerId, kDefinitionsTimerMs, nullptr);
  // A second late, so that the check is due when the timer comes.
  ::SetTimer(hMainWnd, kFirstCheckTimerId, static_cast<UINT>((kFirstCheckDelaySeconds + 1) * 1000), nullptr);
  ShowStatus();
}

void CDefinitionsUpdater::NoteRefusedDefinitions(const std::string& strVersion, const std::string& strWhy) {
  m_strRefused = "The definitions of " + strVersion + " were refused (" + strWhy + "); the older ones stay in use";
}

void CDefinitionsUpdater::OnTick() {
  RefreshIfShippedChanged();
  // The product key is the truth while the console runs; the full save keeps it.
  m_settings.m_strUpdateAddress = StoredProductValue(kUpdateAddressValue);
  m_settings.m_strUpdateInterval = StoredProductValue(kUpdateIntervalValue);
  // The administrators' too; they decide over the user's values without replacing them.
  m_settings.m_policies = ReadPolicies();
  const long long nNow = UtcNow();
  if (!m_process && !m_settings.EffectiveUpdateAddress().empty() &&
      nNow >= NextUpdateCheck(m_checks, nNow, UpdateIntervalMinutes(m_settings.EffectiveUpdateInterval())) &&
      !StartUpdater(false)) {
    ++m_checks.nFailures;  // the updater did not start: tried again after a pause too
    m_checks.nLastFailure = nNow;
  }
  ShowStatus();
}

void CDefinitionsUpdater::ShowStatus() {
  if (m_process) return;  // the updater's lines have the tooltip meanwhile
  std::string strStatus = m_strRefused;
  if (strStatus.empty() && AreDefinitionsOld(m_strVersionInUse, UtcNow())) {
    strStatus = "The definitions of " + m_strVersionInUse + " are older than a day";
  }
  if (!m_strLastFailure.empty()) strStatus += (strStatus.empty() ? "" : ". ") + m_strLastFailure;
  m_onStatus(strStatus);
}

bool CDefinitionsUpdater::OnMessage(UINT uMsg, WPARAM wParam, LPARAM) {
  if (uMsg == WM_TIMER && (wParam == kDefinitionsTimerId || wParam == kFirstCheckTimerId)) {
    if (wParam == kFirstCheckTimerId) ::KillTimer(m_hMainWnd, kFirstCheckTimerId);
    OnTick();
    return true;
  }
  if (m_uUpdatedMessage != 0 && uMsg == m_uUpdatedMessage) {
    RefreshIfShippedChanged();
    return true;
  }
  if (uMsg == WM_UPDATER_PROGRESS) {
    std::deque<std::string> lines;
    {
      std::lock_guard<std::mutex> lock(m_linesLock);
      lines.swap(m_lines);
    }
    for (auto& strLine : lines) m_strLastLine = std::move(strLine);
    if (m_process) m_onStatus(m_strLastLine);
    return true;
  }
  if (uMsg == WM_UPDATER_DONE) {
    OnUpdaterDone(static_cast<DWORD>(wParam));
    return true;
  }
  return false;
}

void CDefinitionsUpdater::RunNow() {
  if (m_process) {
    m_bAsked = true;  // the running check's result is shown when it ends
    return;
  }
  StartUpdater(true);
}

void CDefinitionsUpdater::End() {
  // The updater writes beside its shipped file and renames it over: stopping it at
  // any point leaves a whole file.
  if (m_process) ::TerminateProcess(m_process.Get(), kUpdateFailed);
  if (m_worker.joinable()) m_worker.join();
  m_process.Reset();
}

bool CDefinitionsUpdater::StampOfShipped(SShippedStamp& stamp) {
  stamp.strFolder = InstalledDefinitions().strFolder;
  stamp.file = StampOfFile(stamp.strFolder + kShippedDefinitionsFile);
  stamp.working = StampOfFile(std::string(m_settings.GetDataPath()) + kWorkingDefinitionsFile);
  return stamp.file.bFound;
}

bool CDefinitionsUpdater::RefreshIfShippedChanged() {
  SShippedStamp stamp;
  if (!StampOfShipped(stamp) || stamp == m_shippedStamp) return false;
  const std::string strVersion = ReadDefinitionsVersion(stamp.strFolder.c_str());
  // A file that is not a definitions file is left alone: the old working file stays.
  if (strVersion.empty()) return false;
  // Nor does the console go back to older definitions while it runs: the user's
  // file and its manifest are replaced one after the other, and between the two
  // (or when the user's file was taken away) the application folder's is chosen.
  if (DefinitionsVersionNumber(strVersion) < DefinitionsVersionNumber(m_strVersionInUse)) return false;
  std::string strWhy;
  const EWorkingDefinitions result = WriteWorkingDefinitionsFile(
      stamp.strFolder + kShippedDefinitionsFile, std::string(m_settings.GetDataPath()) + kWorkingDefinitionsFile,
      EWorkingWrite::BesideThenRename, nullptr, &strWhy);
  if (result == EWorkingDefinitions::NotDefinitions) {
    // Not tried again until the file changes.
    m_shippedStamp = stamp;
    NoteRefusedDefinitions(strVersion, strWhy);
    ShowStatus();
    return false;
  }
  if (result != EWorkingDefinitions::Written) return false;  // tried again at the next look
  stamp.working = StampOfFile(std::string(m_settings.GetDataPath()) + kWorkingDefinitionsFile);
  m_shippedStamp = stamp;
  m_strRefused.clear();
  m_strVersionInUse = strVersion;
  m_settings.m_overview.m_strDefnsVersion = DefinitionsVersionDate(strVersion);
  WriteStartupValues(m_settings);
  m_screen.PushOverview();
  return true;
}

bool CDefinitionsUpdater::StartUpdater(bool bAsked) {
  const std::string strProgram =
      std::string(m_settings.GetAppPath()) + "\\" + EncodeNameCode(kUpdateFolderName) + kUpdateProgramFile;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  CCloseHandle readEnd, writeEnd;
  if (!::CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0) ||
      !::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0)) {
    return false;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = startup.hStdError = writeEnd.Get();
  PROCESS_INFORMATION process = {};
  std::string strCommand = "\"" + strProgram + "\"";
  if (!::CreateProcessA(strProgram.c_str(), &strCommand[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        m_settings.GetAppPath(), &startup, &process)) {
    const DWORD dwError = ::GetLastError();
    if (bAsked) {
      ShowConsoleMessage(m_settings, kUpdaterMissingText + strProgram + ": " + SystemErrorText(dwError), AppTitle(),
                         MSGBOX_FLAGS_INFORMATION, m_hMainWnd);
    }
    return false;
  }
  CCloseHandle thread(process.hThread);
  m_process.Reset(process.hProcess);
  writeEnd.Reset();  // the pipe ends when the updater's copy closes
  m_bAsked = bAsked;
  m_strLastLine.clear();
  m_onStatus("Checking for new definitions");
  m_worker = std::thread([this, hOutput = readEnd.Detach()] { ReadUpdaterOutput(hOutput); });
  return true;
}

// On the worker: every output line to the window, then the exit code.
void CDefinitionsUpdater::ReadUpdaterOutput(HANDLE hOutput) {
  CCloseHandle output(hOutput);
  std::string strPending;
  char buffer[512];
  DWORD cbRead = 0;
  while (::ReadFile(output.Get(), buffer, sizeof buffer, &cbRead, nullptr) && cbRead > 0) {
    strPending.append(buffer, cbRead);
    std::size_t nEnd;
    bool bNew = false;
    while ((nEnd = strPending.find('\n')) != std::string::npos) {
      std::string strLine = strPending.substr(0, nEnd);
      strPending.erase(0, nEnd + 1);
      if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
      if (strLine.empty()) continue;
      std::lock_guard<std::mutex> lock(m_linesLock);
      m_lines.push_back(std::move(strLine));
      bNew = true;
    }
    if (bNew) ::PostMessageA(m_hMainWnd, WM_UPDATER_PROGRESS, 0, 0);
  }
  ::WaitForSingleObject(m_process.Get(), INFINITE);
  DWORD dwExitCode = kUpdateFailed;
  ::GetExitCodeProcess(m_process.Get(), &dwExitCode);
  ::PostMessageA(m_hMainWnd, WM_UPDATER_DONE, dwExitCode, 0);
}

void CDefinitionsUpdater::OnUpdaterDone(DWORD dwExitCode) {
  // The last lines may still wait in the queue.
  OnMessage(WM_UPDATER_PROGRESS, 0, 0);
  if (m_worker.joinable()) m_worker.join();
  m_process.Reset();
  const long long nNow = UtcNow();
  if (dwExitCode == kUpdateInstalled || dwExitCode == kUpdateUpToDate) {
    m_checks.nLastSuccess = nNow;
    m_checks.nFailures = 0;
    m_strLastFailure.clear();
    // Stored at once, so that a restart does not check again at once.
    m_settings.m_strLastUpdateCheck = FormatUtcTime(nNow);
    CRegCloseKey product;
    if (OpenRegistryKey(HKEY_CURRENT_USER, kProductKeyPath, product, KEY_SET_VALUE).IsOk()) {
      // A failure here costs one early check after a restart; the next save writes it again.
      static_cast<void>(WriteTextValue(product.Get(), kLastUpdateCheckValue, m_settings.m_strLastUpdateCheck.c_str()));
    }
  } else if (dwExitCode != kUpdateNoAddress) {
    ++m_checks.nFailures;
    m_checks.nLastFailure = nNow;
  }
  const bool bRefreshed = RefreshIfShippedChanged();
  std::string strResult =
      m_strLastLine.empty() ? std::string("The update program ended without a result.") : m_strLastLine;
  if (dwExitCode == kUpdateInstalled && !bRefreshed && m_strRefused.empty() &&
      m_strVersionInUse != InstalledDefinitions().strVersion) {
    strResult += " The running console could not take them yet; it tries again every minute.";
  }
  // A scheduled check speaks up only for new definitions; a failure stays in the tooltip.
  const bool bShow = m_bAsked || dwExitCode == kUpdateInstalled;
  m_bAsked = false;
  m_strLastFailure = dwExitCode == kUpdateFailed ? strResult : std::string();
  ShowStatus();
  if (bShow) ShowConsoleMessage(m_settings, strResult, AppTitle(), MSGBOX_FLAGS_INFORMATION, m_hMainWnd);
}

std::string CDefinitionsUpdater::AppTitle() const {
  return LoadLocalString(m_settings, IDS_APP_TITLE);
}
