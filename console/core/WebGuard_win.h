// The console's web guard: keeps HookwdnGuard.exe running on the loopback address
// while the setting "Check web traffic through the local guard" is on, and points
// the user's system proxy setting at it meanwhile. The user's own values are kept
// first and put back when the guard ends, when the console shuts down and at the
// next start after a run that could not put them back. A user's own proxy stays
// in use: the guard forwards to it.
#pragma once

#include "console/core/CoreLayer.h"

#include <windows.h>

#include <functional>
#include <string>

#include "console/screens/ConsoleWindow_win.h"
#include "guard/SystemProxySetting.h"
#include "shared/OwnedResources_win.h"

class CConsoleSettings;

// How often the console looks after its guard, and how soon a guard that died is
// started again at the earliest.
constexpr UINT kWebGuardCheckMs = 1000;
constexpr ULONGLONG kWebGuardRestartMs = 60 * 1000;
// How long an asked guard may take to end before it is made to.
constexpr DWORD kWebGuardStopWaitMs = 5000;
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
  // The checks' timer.
  LRESULT HandleWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void Check();
  bool Launch();
  bool WaitUntilListening();
  void EndGuard();
  bool PointSettingAtGuard(const SProxySettingValues& current);
  void PutBackUserSetting();
  void ShowStatus(unsigned nStringId);

  const CConsoleSettings& m_settings;
  std::function<void(const std::string&)> m_onStatus;
  CCloseHandle m_process;
  DWORD m_dwProcessId = 0;
  unsigned m_nPort = 0;
  // The user's values while the setting points at the guard.
  bool m_bPointed = false;
  SProxySettingValues m_userSetting;
  // After a guard died or could not start: no new start before this tick.
  ULONGLONG m_ullNextStart = 0;
  bool m_bFailed = false;
};
