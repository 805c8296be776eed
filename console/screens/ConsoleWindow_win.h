// The object behind each of the console's windows. The window procedure finds it
// in the window's user data, put there when the window is created (WM_INITDIALOG
// for dialogs, WM_NCCREATE for plain windows) and cleared at WM_NCDESTROY, its
// last message. A dialog's messages reach the object decoded: a command with its id
// and notification code, a timer with its id, a notify with its header, one of the
// console's own messages (ConsoleMessages_win.h) with its name, and the rest as
// they came; a plain window's own messages come decoded too. No exception of the object's handling leaves the
// procedure: the message then gets its failure answer (a request: 0, block).
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>

#include "console/screens/ConsoleMessages_win.h"
#include "shared/OwnedResources_win.h"

// A WM_COMMAND: the id of the menu item, accelerator or control, the control's
// notification code (0 for a menu, 1 for an accelerator) and the control, if any.
struct SCommand {
  UINT nId;
  UINT nCode;
  HWND hControl;
};

class CConsoleWindow {
 public:
  CConsoleWindow(const CConsoleWindow&) = delete;
  CConsoleWindow& operator=(const CConsoleWindow&) = delete;

 protected:
  CConsoleWindow() = default;
  // A window that outlives its object reaches it no more.
  ~CConsoleWindow();

  // The procedure of a dialog made with this object as its creation parameter.
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  // The procedure of a plain window made with this object as lpCreateParams.
  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

  // What the window is made with: the parameter that attaches it to this object.
  LPARAM CreationParam() { return reinterpret_cast<LPARAM>(this); }

  // A dialog's messages. Each handler returns whether it handled the message; one
  // whose sender reads a result ends with `return SetDialogResult(nResult);`.
  // The dialog manager sets the default focus after OnInitDialog.
  virtual void OnInitDialog() {}
  virtual bool OnCommand(const SCommand& /*command*/) { return false; }
  virtual bool OnTimer(UINT_PTR /*nTimerId*/) { return false; }
  virtual bool OnNotify(const NMHDR& /*header*/) { return false; }
  // The console's own messages, for dialogs and plain windows; a plain window's
  // handled message answers 0.
  virtual bool OnAppMessage(const SAppMessage& /*message*/) { return false; }
  // Every other message.
  virtual bool OnMessage(UINT /*uMsg*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return false; }
  // The result the sender of the message being handled gets; always true.
  bool SetDialogResult(LONG_PTR nResult);

  // A plain window's messages; the default is the system's processing.
  virtual LRESULT HandleWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);

  // The window, from its creation until WM_NCDESTROY; resetting it destroys it.
  CDestroyWindow m_wnd;

 private:
  // Decodes a dialog's message for its handler and answers as a dialog procedure.
  INT_PTR DispatchDialogMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
  static CConsoleWindow* Attached(HWND hWnd, UINT uMsg, LPARAM lParam, bool bDialog);
  static void Release(HWND hWnd, CConsoleWindow* pThis);
};

// What a message answers when its handling failed: a request is blocked (0), a
// creation fails; everything else gets the system's processing.
INT_PTR DialogFailureAnswer(HWND hWnd, UINT uMsg);
LRESULT WindowFailureAnswer(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
