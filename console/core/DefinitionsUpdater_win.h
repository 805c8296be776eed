// Keeps the running console's definitions current. Once a minute, and when the
// updater broadcasts that it installed a file, it looks at the shipped definitions
// files, the application folder's and the one the updater keeps with its signed
// manifest in the user's data folder (updater/InstalledDefinitions_win.h); when the
// newer of them changed, it is decrypted into the user's working file (written
// beside, renamed over) unless it decrypts to something other than definitions or
// is older than the definitions in use, and "DefnsVersion" and the overview's
// version follow. When an update
// address is set it runs Update.exe on the schedule of updater/UpdateSchedule.h
// (hourly by default, failed checks again after a growing pause), and on the
// Update command, with its output piped back: each line shows in the tray tooltip,
// the result in the console's message box (for a scheduled check only when
// something was installed). The tooltip also says when a shipped file was refused
// and when the definitions are older than a day.
#pragma once

#include "console/core/CoreLayer.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "console/screens/MainDlgParts_win.h"
#include "shared/OwnedResources_win.h"
#include "updater/InstalledDefinitions_win.h"
#include "updater/UpdateSchedule.h"

class CConsoleSettings;

constexpr UINT_PTR kDefinitionsTimerId = 2626001;
constexpr UINT kDefinitionsTimerMs = 60 * 1000;
// The first look for updates, soon after start-up.
constexpr UINT_PTR kFirstCheckTimerId = 2626002;

class CDefinitionsUpdater : public IDefinitionsUpdate {
 public:
  // onStatus gets the updater's line for the tray tooltip (empty: none).
  CDefinitionsUpdater(CConsoleSettings& settings, std::function<void(const std::string&)> onStatus,
                      IMainScreen& screen);
  ~CDefinitionsUpdater() override;
  CDefinitionsUpdater(const CDefinitionsUpdater&) = delete;
  CDefinitionsUpdater& operator=(const CDefinitionsUpdater&) = delete;

  void Start(HWND hMainWnd) override;
  bool OnTimer(UINT_PTR nTimerId) override;
  void OnUpdaterOutput() override;
  void OnUpdaterEnded(DWORD dwExitCode) override;
  bool OnBroadcast(UINT uMsg) override;
  void RunNow() override;
  void End() override;

  // The shipped file the console decrypts: the application folder's, or the user's
  // own that came with its signed manifest when it is newer.
  const SInstalledDefinitions& InstalledDefinitions() { return m_installed.Current(); }
  // Takes a changed shipped file into the working file; true when it did.
  bool RefreshIfShippedChanged();
  // Start-up refused the user's shipped file of this version and took the
  // application folder's instead: the tooltip says why.
  void NoteRefusedDefinitions(const std::string& strVersion, const std::string& strWhy);

 private:
  struct SShippedStamp {
    std::string strFolder;  // which of the two shipped files
    SFileStamp file;
    // The working file as the console last wrote it: another program's change to it
    // (an emptied file turns protection off) is written over at the next look.
    SFileStamp working;
    bool operator==(const SShippedStamp& other) const {
      return strFolder == other.strFolder && file == other.file && working == other.working;
    }
  };
  bool StampOfShipped(SShippedStamp& stamp);
  bool StartUpdater(bool bAsked);
  void ReadUpdaterOutput(HANDLE hOutput);
  void OnTick();
  // The tooltip's line: the running updater's, else what the user should know.
  void ShowStatus();
  std::string AppTitle() const;

  CConsoleSettings& m_settings;
  // The updater's line for the tray tooltip; empty when it has nothing to say.
  std::function<void(const std::string&)> m_onStatus;
  IMainScreen& m_screen;
  HWND m_hMainWnd = nullptr;
  UINT m_uUpdatedMessage = 0;
  CInstalledDefinitionsWatch m_installed;
  SShippedStamp m_shippedStamp;
  // The whole version (with the day's sequence) of the definitions in use.
  std::string m_strVersionInUse;
  SUpdateChecks m_checks;
  std::string m_strRefused;      // why the last changed shipped file was refused
  std::string m_strLastFailure;  // the last scheduled check's failure

  // The running updater: its process, the worker that reads its output, and the
  // lines the worker hands over.
  CCloseHandle m_process;
  std::thread m_worker;
  bool m_bAsked = false;
  std::mutex m_linesLock;
  std::deque<std::string> m_lines;
  std::string m_strLastLine;
};
