// What the console expects of its splash player library, SplashPlayer.dll: the
// console loads it by name and finds these two functions with GetProcAddress;
// the splash control's methods are reached through HwSplashInvoke with their
// dispatch ids. A player implements these; this header is the contract between
// the two and so carries no layer guard.
#pragma once

#include <windows.h>

// Dispatch ids of the three methods the console calls, in this order.
enum : long {
  HWSPLASH_DISPID_MOVIE = 22,  // szText: the splash movie's path
  HWSPLASH_DISPID_FRAME = 19,  // nValue: the frame to start from
  HWSPLASH_DISPID_LOOP = 15,   // nValue as a boolean: play it again and again; false plays it once
};

// Creates the control as a child window of hParent with the given id and pixel
// rectangle; it is destroyed with its parent.
typedef HWND(WINAPI* HwSplashCreateProc)(HWND hParent, int nId, int x, int y, int cx, int cy);

// Calls method nDispId with a text or a number. 0 on success, negative otherwise.
typedef long(WINAPI* HwSplashInvokeProc)(HWND hSplash, long nDispId, const char* szText, long nValue);

#define HWSPLASH_LIBRARY "SplashPlayer.dll"
#define HWSPLASH_CREATE "HwSplashCreate"
#define HWSPLASH_INVOKE "HwSplashInvoke"
