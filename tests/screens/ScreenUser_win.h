// A person at the screens, for tests: from a second thread it finds the screen
// that takes input, types into its player's fields and presses its buttons, the
// way the user would, while the test's thread runs the screen modally.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "shared/OwnedResources_win.h"

class CScreenUser {
 public:
  // Made on the thread that runs the screens.
  CScreenUser();
  // For the screens of a thread in another process; Flush is not available there.
  explicit CScreenUser(DWORD dwScreenThreadId) : m_dwThreadId(dwScreenThreadId) {}

  // The visible, enabled top-level window of the screen thread; null when none.
  HWND FindScreen() const;
  // Waits until the screen that takes input shows control nId; null on timeout.
  HWND WaitForControl(int nId, DWORD dwTimeoutMs = 10000) const;
  // Control nId as the screen that takes input shows it once that screen is up;
  // null when it does not show. A screen is complete before it shows itself.
  HWND ShownControl(int nId);
  // Waits until no screen is open any more.
  bool WaitForNoScreen(DWORD dwTimeoutMs = 10000) const;
  // Waits until the modal run has ended or a screen shows; true when the run
  // ended without one.
  bool EndsWithoutScreen() const;
  // Waits until the screen thread has handled everything posted to it so far.
  bool Flush();

  bool Press(int nId);
  bool Type(int nId, const char* szText);
  // Posts a key-down to control nId, or to the screen itself for nId 0.
  bool Key(int nId, WPARAM vk);
  std::string Text(int nId);

  // Ends every screen of the thread (after a failed step, so that the test ends).
  void CloseAll() const;

  bool bFailed = false;
  std::string strFailure;
  std::atomic<bool> bRunEnded{false};  // set when the modal run has returned

 private:
  HWND Control(int nId);
  HWND CurrentControl(int nId) const;
  DWORD m_dwThreadId;
  CDestroyWindow m_barrier;  // a window of the screen thread that counts what reached it
  std::atomic<long> m_nBarriersHandled{0};
  long m_nBarriersPosted = 0;
};

// The window that has the keyboard focus on hWnd's thread; null when none.
HWND FocusOf(HWND hWnd);
std::string ClassOf(HWND hWnd);

struct SUserRun {
  int nResult = -1;        // what the modal run returned
  std::string strFailure;  // empty when every step of the script found its control
};

// Runs runModal on this thread while script acts on its screens from another. A
// script that fails, or leaves screens open, has them closed.
SUserRun RunWithUser(const std::function<int()>& runModal, const std::function<void(CScreenUser&)>& script);
