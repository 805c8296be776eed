// What the console expects of its movie player library, MoviePlayer.dll: the
// console loads it by name and finds these two functions with GetProcAddress;
// every member of the control is reached through HwPlayerInvoke with the Flash
// control's dispatch id. A player implements these; this header is the contract
// between the two and so carries no layer guard.
#pragma once

#include <windows.h>

// Dispatch ids of the members the player answers.
enum : long {
  HWPLAYER_DISPID_MOVIE = 102,            // put, szFirst: movie file path
  HWPLAYER_DISPID_ALIGNMODE = 121,        // put, nValue
  HWPLAYER_DISPID_BACKGROUNDCOLOR = 123,  // put, nValue: 0xRRGGBB
  HWPLAYER_DISPID_SCALE = 137,            // put, szFirst
  HWPLAYER_DISPID_TGOTOLABEL = 144,       // szFirst: target, szSecond: frame label
  HWPLAYER_DISPID_FSCOMMAND = 150,        // event: command, argument
  HWPLAYER_DISPID_SETVARIABLE = 151,      // szFirst: name, szSecond: value
  HWPLAYER_DISPID_GETVARIABLE = 152,      // szFirst: name; the value goes to szResult
};

// Receives the movie's events: nDispId HWPLAYER_DISPID_FSCOMMAND with its two texts.
typedef void(CALLBACK* HwPlayerEventProc)(void* pContext, long nDispId, const char* szCommand, const char* szArgs);

// Creates the player as a child window of hParent with the given id and pixel
// rectangle; it is destroyed with its parent.
typedef HWND(WINAPI* HwPlayerCreateProc)(HWND hParent, int nId, int x, int y, int cx, int cy,
                                         HwPlayerEventProc pfnEvent, void* pContext);

// Calls member nDispId. Returns 0 on success, a negative error otherwise; for
// GetVariable the length of the whole value, of which at most cbResult - 1 bytes
// and a terminator are written to szResult.
typedef long(WINAPI* HwPlayerInvokeProc)(HWND hPlayer, long nDispId, const char* szFirst, const char* szSecond,
                                         long nValue, char* szResult, long cbResult);

#define HWPLAYER_LIBRARY "MoviePlayer.dll"
#define HWPLAYER_CREATE "HwPlayerCreate"
#define HWPLAYER_INVOKE "HwPlayerInvoke"
#define HWPLAYER_WINDOW_CLASS "HookwardenMoviePlayer"
