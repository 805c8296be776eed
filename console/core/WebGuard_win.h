// The console's web guard: keeps HookwdnGuard.exe running on the loopback address
// while the setting "Check web traffic through the local guard" is on, and points
// the user's system proxy setting at it meanwhile. The user's own values are kept
// first and put back when the guard ends, when the console shuts down and at the
// next start after a run that could not put them back; a value the user or
// another program changed meanwhile is taken over, never overwritten. A user's
// own proxy stays in use: the guard forwards to it.
//
// Starting the guard, which may take seconds until it listens, runs on a thread
// of its own; the user-interface thread only looks at the outcome.
#pragma once

#include "console/core/CoreLayer.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "console/screens/ConsoleWindow_win.h"
#include "guard/SystemProxySetting.h"
#include "shared/OwnedResources_win.h"

class CConsoleSettings;

// How often the console looks after its guard and the setting.
constexpr UINT kWebGuardCheckMs = 500;
// A guard that dies is started again at once; one that dies again soon after
// its start waits longer each time, up to a minute. One that ran this long
// before it died counts as steady again.
constexpr ULONGLONG kWebGuardRestartDelaysMs[] = {0, 2000, 10000, 30000, 60000};
constexpr ULONGLONG kWebGuardSteadyMs = 60 * 1000;
// How long an asked guard may take to end before it is made to: the console's
// own end must not wait on it.
constexpr DWORD kWebGuardStopWaitMs = 300;
// How long a started guard may take until it accepts connections.
constexpr DWORD kWebGuardReadyWaitMs = 10000;

class CWebGuard : private CConsoleWindow {
 public:
  // onStatus gets the localized text of what happened to the guard (for the tray
  // icon's tooltip), or the empty text when it runs as it should again.
  CWebGuard(const CConsoleSettings& settings, std::function<void(const std::string&)> onStatus);
  ~CWebGuard();
  CWebGuard(const CWebGuard&) = delete;
  CWebGuard& operator=(const CWebGuard&) = delete;

  // After the settings load: puts back what a run that ended without the
  // shutdown left in the system setting, then starts the guard when the setting
  // is on and keeps following the setting and the guard.
  void Start();
  // The console shutdown's part: ends the guard and puts the user's setting back.
  void Stop();

 private:
  // A start in progress: what the starting thread hands over when it is done.
  struct SLaunch {
    std::thread worker;
    std::atomic<bool> bCancel{false};
    std::atomic<bool> bDone{false};
    bool bStarted = false;
    CCloseHandle process;
    DWORD dwProcessId = 0;
    unsigned nPort = 0;
    SProxySettingValues user;
    SProxySettingValues written;
  };

  // The checks' timer, and the end of a start (EAppMessage::WebGuardLaunched).
  LRESULT HandleWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  bool OnAppMessage(const SAppMessage& message) override;
  void Check();
  void BeginLaunch();
  // On the starting thread.
  static void Launch(SLaunch* pLaunch, std::string strFolder, DWORD dwConsoleId, HWND hNotify);
  void FinishLaunch();
  void CancelLaunch();
  void TakeOverSettingChanges();
  void EndGuard();
  void PutBackUserSetting();
  void ShowStatus(unsigned nStringId);

  const CConsoleSettings& m_settings;
  std::function<void(const std::string&)> m_onStatus;
  std::unique_ptr<SLaunch> m_pLaunch;
  CCloseHandle m_process;
  DWORD m_dwProcessId = 0;
  unsigned m_nPort = 0;
  ULONGLONG m_ullStarted = 0;
  // The user's values, and those written in their place, while the setting
  // points at the guard.
  bool m_bPointed = false;
  SProxySettingValues m_userSetting;
  SProxySettingValues m_writtenSetting;
  // After a guard died or could not start: no new start before this tick.
  ULONGLONG m_ullNextStart = 0;
  unsigned m_nQuickDeaths = 0;
  bool m_bFailed = false;
};
