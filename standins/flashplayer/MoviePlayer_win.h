// The player behind one stage window: the window procedure of MoviePlayer.dll
// hands it the window's messages and the host's calls.
#pragma once

#include <windows.h>

#include "console/screens/MoviePlayerApi_win.h"

class IStagePlayer {
 public:
  virtual ~IStagePlayer() = default;
  // Destroys the controls while they still exist, before the window's children go.
  virtual void OnDestroy() = 0;
  // A member of the control by its dispatch id; see HwPlayerInvokeProc.
  virtual long Invoke(long nDispId, const char* szFirst, const char* szSecond, long nValue, char* szResult,
                      long cbResult) = 0;
  virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) = 0;
};

// The player of stage window hWnd, called while the window is being made.
IStagePlayer* NewStagePlayer(HWND hWnd, HwPlayerEventProc pfnEvent, void* pContext);
