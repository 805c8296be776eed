// The console's wrapper of the Flash control: a child window of a screen, reached
// through the control's dispatch ids. The player library is loaded by name from
// the application folder; without it every member does nothing, GetVariable
// answers the empty text and the screen stays empty.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>

#include <string>

#include "console/screens/FlashPlayer.h"

// Receives the movie's FSCommand events.
class IFlashEvents {
 public:
  virtual ~IFlashEvents() = default;
  virtual void OnFSCommand(const char* szCommand, const char* szArgs) = 0;
};

class CShockwaveFlash : public IFlashPlayer {
 public:
  CShockwaveFlash() = default;
  CShockwaveFlash(const CShockwaveFlash&) = delete;
  CShockwaveFlash& operator=(const CShockwaveFlash&) = delete;

  // Creates the control as item nId of hParent at the pixel rectangle rc; the
  // player library is looked for in szLibraryFolder. False when there is none.
  bool Create(HWND hParent, int nId, const RECT& rc, const char* szLibraryFolder, IFlashEvents* pEvents);
  HWND GetWindow() const { return m_hWnd; }

  void PutMovie(const std::string& strPath) override;
  void PutScale(const std::string& strScale) override;
  void PutAlignMode(long nAlignMode) override;
  void PutBackgroundColor(long nColor) override;
  void SetVariable(const std::string& strName, const std::string& strValue) override;
  std::string GetVariable(const std::string& strName) override;
  void TGotoLabel(const std::string& strTarget, const std::string& strLabel) override;

 private:
  static void CALLBACK OnEvent(void* pContext, long nDispId, const char* szCommand, const char* szArgs);
  long Invoke(long nDispId, const char* szFirst, const char* szSecond, long nValue, char* szResult, long cbResult);

  HWND m_hWnd = nullptr;  // destroyed with its parent
  IFlashEvents* m_pEvents = nullptr;
};
