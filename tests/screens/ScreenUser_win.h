// A person at the screens, for tests: from a second thread it finds the screen
// that takes input, types into its player's fields and presses its buttons, the
// way the user would, while the test's thread runs the screen modally.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class CScreenUser {
 public:
  explicit CScreenUser(DWORD dwScreenThreadId) : m_dwThreadId(dwScreenThreadId) {}

  // The visible, enabled top-level window of the screen thread; null when none.
  HWND FindScreen() const;
  // Waits until the screen that takes input shows control nId; null on timeout.
  HWND WaitForControl(int nId, DWORD dwTimeoutMs = 10000) const;
  // Waits until no screen is open any more.
  bool WaitForNoScreen(DWORD dwTimeoutMs = 10000) const;

  bool Press(int nId);
  bool Type(int nId, const char* szText);
  // Posts a key-down to control nId, or to the screen itself for nId 0.
  bool Key(int nId, WPARAM vk);
  std::string Text(int nId);

  // Ends every screen of the thread (after a failed step, so that the test ends).
  void CloseAll() const;

  bool bFailed = false;
  std::string strFailure;

 private:
  HWND Control(int nId);
  DWORD m_dwThreadId;
};

struct SUserRun {
  int nResult = -1;        // what the modal run returned
  std::string strFailure;  // empty when every step of the script found its control
};

// Runs runModal on this thread while script acts on its screens from another. A
// script that fails, or leaves screens open, has them closed.
SUserRun RunWithUser(const std::function<int()>& runModal, const std::function<void(CScreenUser&)>& script);
