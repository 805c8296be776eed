// The Win32 controls a movie's stage is made of: creating one for a control of
// the movie at the display's scale, keeping its text, choice and visibility in
// line, and handing a virtual list view the cells it paints. The player decides
// what they show.
#pragma once

#include <windows.h>

#include <string>

#include "shared/OwnedResources_win.h"
#include <functional>
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
// The first shown field to type into, else the first shown default button (the
// safe answer); null when there is neither.
HWND FirstToFocus(const std::vector<SMovieControl>& controls, const std::vector<SShownControl>& shown,
                  const std::function<bool(const SMovieControl&)>& isShown);
// Tab reaches every group of radio buttons, also when none of them is chosen.
void KeepRadiosReachable(const std::vector<SMovieControl>& controls, const std::vector<SShownControl>& shown);

// Brings control c (not a list) in line with the variables that lookup gives.
void ShowControlValue(SShownControl& shown, const SMovieControl& c,
                      const std::function<std::string(const std::string&)>& lookup);
// "px:N", N stage pixels, as display pixels at nDpi; any other argument as it is.
std::string ScalePixelArgument(const std::string& strArgument, int nDpi);

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
