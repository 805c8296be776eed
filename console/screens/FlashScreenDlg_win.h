// The window that hosts every console screen: a borderless dialog built in memory,
// filled by the Flash control, with hidden OK and Cancel buttons so that Enter
// and Escape reach the screen's OK and Cancel actions. It runs its own modal loop
// so that the key and mouse filter sees every message before the dialog does.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>

#include <string>

#include "console/screens/ConsoleWindow_win.h"
#include "console/screens/FlashScreenHost.h"
#include "console/screens/ShockwaveFlash_win.h"
#include "shared/OwnedResources_win.h"

class CConsoleSettings;

// What a screen's template holds: its number, size in dialog units and the
// control's item id.
struct SScreenTemplate {
  WORD wTemplateId;
  short cx, cy;
  WORD wControlId;
  DWORD dwExtraStyle;  // for example WS_VISIBLE
  DWORD dwExStyle;     // for example WS_EX_APPWINDOW, WS_EX_TOPMOST
};

// Path of a screen's movie: the screen folder of the application folder (created
// when missing), the name code of the screen name and the extension.
std::string BuildMoviePath(const char* szAppFolder, const char* szScreenName, const char* szExtension);

// nPixels at 96 dpi in pixels of the display, whose scale the screens follow.
int ScaleToDisplay(int nPixels);

// The key and mouse filter for a message of window hScreen (or its children)
// whose player window is hControl: a cleared message becomes a null message.
// Messages of other windows pass untouched.
SFilterDecision FilterScreenMessage(MSG& msg, HWND hScreen, HWND hControl, EScreenFilter eFilter);

// How a screen answers the system's close request (Alt+F4).
enum class ECloseRequest {
  CancelAction,  // the normal dialog path: the Cancel action runs
  Ignore,
  Destroy,  // the window goes at once and the screen ends with Cancel
};

class CFlashScreenDlg : public CConsoleWindow, public IFlashEvents {
 public:
  // The screen finds its player and movie in the settings' application folder and
  // speaks their language; the settings outlive the screen.
  CFlashScreenDlg(const CConsoleSettings& settings, const SScreenTemplate& screenTemplate, EScreenFilter eFilter,
                  ECloseRequest eClose);
  ~CFlashScreenDlg() override;
  CFlashScreenDlg(const CFlashScreenDlg&) = delete;
  CFlashScreenDlg& operator=(const CFlashScreenDlg&) = delete;

  // Runs the screen modally over hOwner (the default owner when null) and returns
  // the result it ended with; -1 when the window could not be made.
  INT_PTR DoModal(HWND hOwner = nullptr);

  // The owner of screens opened without one: the main window once it exists.
  static void SetDefaultOwner(HWND hOwner);
  static HWND GetDefaultOwner();

  HWND GetSafeHwnd() const { return m_wnd.Get(); }
  const CConsoleSettings& Settings() const { return m_settings; }
  CShockwaveFlash& Flash() { return m_flash; }

  // Ends the modal screen with nResult (1 OK, 2 Cancel).
  void EndScreen(int nResult);

 protected:
  // Builds the movie path in the screen folder and performs the load sequence.
  void LoadMovie(const char* szScreenName, const char* szExtension);
  void SetVariable(const std::string& strName, const std::string& strValue) { m_flash.SetVariable(strName, strValue); }
  std::string GetVariable(const std::string& strName) { return m_flash.GetVariable(strName); }
  // The language pair that ends every screen's start-up.
  void SendLanguagePair();
  // Releases the mouse and lets the system move the borderless window.
  virtual void StartDrag();
  // Carries out what a screen decided about one of its commands.
  void Perform(const SScreenReply& reply);
  // Resizes window and control to cx × cy pixels, the top-left corner kept.
  void ResizeScreen(int cx, int cy);

  // The screen's own start-up, after the control exists: size, movie, start
  // variables, the language pair last.
  virtual void OnInitScreen() = 0;
  // One FSCommand; the texts are copies the screen may keep.
  virtual void OnScreenCommand(const char* szCommand, const char* szArgs) = 0;
  virtual void OnOK() { EndScreen(SCREEN_RESULT_OK); }
  virtual void OnCancel() { EndScreen(SCREEN_RESULT_CANCEL); }
  virtual void OnHelpKey() {}
  // A screen that places itself during start-up is not centred over its owner.
  virtual bool PlacesItself() const { return false; }

 private:
  void OnFSCommand(const char* szCommand, const char* szArgs) override;
  void OnInitDialog() override;
  bool OnCommand(const SCommand& command) override;
  bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  bool FilterMessage(MSG& msg);
  void CentreOverOwner(HWND hOwner);

  const CConsoleSettings& m_settings;
  SScreenTemplate m_template;
  EScreenFilter m_eFilter;
  ECloseRequest m_eClose;
  CShockwaveFlash m_flash;
  bool m_bEnded = false;
  int m_nResult = SCREEN_RESULT_CANCEL;
};
