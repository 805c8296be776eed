// The Win32 controls a movie's stage is made of: creating one for a control of
// the movie, keeping its text and visibility in line, and handing a virtual list
// view the cells it paints. The player decides what they show.
#pragma once

#include <windows.h>

#include <string>

#include "shared/OwnedResources_win.h"
#include "standins/flashplayer/MovieFile.h"
#include "standins/flashplayer/MovieRows.h"

struct SShownControl {
  CDestroyWindow wnd;
  CDestroyWindow arrows;        // stepper only
  double dCountShownMs = -1e9;  // list only: when its row count was last given
};

// The fonts the stage's controls are drawn with.
struct SStageFonts {
  HFONT hText;
  HFONT hTitle;
};

// Creates the window of control c on hStage; hidden until the player shows it.
void CreateMovieControl(const SMovieControl& c, HWND hStage, HINSTANCE hInstance, const SStageFonts& fonts,
                        SShownControl* pShown);

std::string ControlText(HWND hWnd);
void SetControlTextIfDifferent(HWND hWnd, const std::string& strText);
void ShowControlIfDifferent(HWND hWnd, bool bShown);

// A list view's LVN_GETDISPINFOA or LVN_GETDISPINFOW: the cell's text from pRows
// (none: empty), cut to the view's buffer.
void FillListCell(const NMHDR* pHeader, const CMovieRows* pRows);

// A steady clock in milliseconds, finer than the system's tick.
double StageNowMs();
