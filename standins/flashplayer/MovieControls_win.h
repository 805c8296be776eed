// The Win32 controls a movie's stage is made of: creating one for a control of
// the movie at the display's scale, keeping its text, choice and visibility in
// line, and handing a virtual list view the cells it paints. The player decides
// what they show.
#pragma once

#include <windows.h>

#include <string>

#include "shared/OwnedResources_win.h"
#include <vector>

#include "standins/flashplayer/MovieDrawing_win.h"
#include "standins/flashplayer/MovieFile.h"
#include "standins/flashplayer/MovieRows.h"

struct SShownControl {
  CDestroyWindow wnd;
  CDestroyWindow arrows;             // stepper only
  double dCountShownMs = -1e9;       // list only: when its row count was last given
  std::vector<std::string> options;  // choice only: what its list holds
};

// Creates the window of control c, which follows pPrevious (null for the first),
// on hStage, its rectangle scaled from 96 dpi to nDpi; hidden until the player
// shows it.
void CreateMovieControl(const SMovieControl& c, const SMovieControl* pPrevious, HWND hStage, HINSTANCE hInstance,
                        const SStageFonts& fonts, int nDpi, SShownControl* pShown);
// Tab reaches every group of radio buttons, also when none of them is chosen.
void KeepRadiosReachable(const std::vector<SMovieControl>& controls, const std::vector<SShownControl>& shown);

// Tabs: the tab whose value strValue is. Choice: the options (strOptions joined
// with "|"; strValue is always one of them) with strValue chosen.
void ShowTabFor(HWND hTabs, const SMovieControl& c, const std::string& strValue);
void ShowChoice(SShownControl& shown, const std::string& strOptions, const std::string& strValue);
// The value the user chose on tabs or a choice; empty when none.
std::string ChosenValue(const SShownControl& shown, const SMovieControl& c);

std::string ControlText(HWND hWnd);
void SetControlTextIfDifferent(HWND hWnd, const std::string& strText);
void ShowControlIfDifferent(HWND hWnd, bool bShown);

// A list view's LVN_GETDISPINFOA or LVN_GETDISPINFOW: the cell's text from pRows
// (none: empty), cut to the view's buffer.
void FillListCell(const NMHDR* pHeader, const CMovieRows* pRows);

// A steady clock in milliseconds, finer than the system's tick.
double StageNowMs();
