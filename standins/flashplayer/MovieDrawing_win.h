// What the player draws itself: its buttons, the protection and alert icons, an
// address with its host in bold and the text of an empty list, in one palette
// whose texts keep a contrast of at least 4.5:1 on what they are drawn on.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <string>

#include "shared/OwnedResources_win.h"
#include "standins/flashplayer/MovieFile.h"

// The palette, as 0xRRGGBB; texts are drawn on the stage's dark background.
enum : DWORD {
  STAGE_TEXT = 0xFFFFFF,
  STAGE_MUTED_TEXT = 0xC5D1E0,  // labels and the less important parts
  BUTTON_FACE = 0x24416A,
  BUTTON_DEFAULT_FACE = 0x1F5FBF,
  BUTTON_BORDER = 0x8CA3C2,
  BUTTON_DISABLED_TEXT = 0x8A97A8,
  FOCUS_RING = 0xFFD54F,
  ICON_GOOD = 0x2E9E4F,
  ICON_BAD = 0xD13438,
  ICON_WARN = 0xF2B01E,
  LIST_EMPTY_TEXT = 0x5F6B7A,  // on the list's white
};

COLORREF PaletteColour(DWORD dwRgb);

// The display's pixels per logical inch; 96 at 100 %.
int DisplayDpi();
// n stage pixels (designed at 96 dpi) in display pixels.
int ScaleToDpi(int n, int nDpi);

// The fonts of the type scale, made for one dpi.
struct SStageFonts {
  HFONT hText;      // body text, 9 pt
  HFONT hBold;      // emphasised runs, 9 pt bold
  HFONT hTitle;     // titles, 11 pt bold
  HFONT hHeadline;  // the screen's headline, 15 pt bold
};

// The fonts of the type scale for one dpi, in one face.
class CStageFontSet {
 public:
  explicit CStageFontSet(int nDpi);
  SStageFonts Get() const;

 private:
  CDeleteObject m_fonts[4];  // text, bold, title, headline
};

// The stage's background and the colour of the texts on it, which the console
// chooses; the texts are white on a dark stage and black on a light one.
class CStagePaint {
 public:
  void SetBackground(DWORD dwRgb);
  COLORREF Background() const { return m_crBackground; }
  // WM_ERASEBKGND, WM_CTLCOLORSTATIC and WM_CTLCOLORBTN of stage hStage.
  LRESULT Paint(HWND hStage, UINT uMsg, WPARAM wParam) const;

 private:
  CDeleteObject m_brush;
  COLORREF m_crBackground = 0;
  COLORREF m_crText = 0;
};

// The font a control of kind is drawn with.
HFONT FontFor(EMovieControlKind kind, const SStageFonts& fonts);

// An owner-drawn control of the movie: a button, a tab, an icon or an address.
void DrawMovieItem(const DRAWITEMSTRUCT& item, const SMovieControl& c, const SStageFonts& fonts, COLORREF crStage);
// A list view's custom drawing: the text of an empty list after the view painted.
LRESULT DrawListParts(const NMCUSTOMDRAW& draw, const std::string& strEmptyText, HFONT hFont);

// A thin edge around the stage, so that a screen stands out from the window it
// opens over, which has the same dark colour.
void DrawStageEdge(HDC hdc, HWND hStage);

// A list view draws no focus while no row has it: the stage draws a ring around
// the list that has the focus, as buttons show theirs. The ring's rectangle on
// the stage (list hList; empty for none), and the painting of it.
RECT ListFocusRing(HWND hList);
void DrawListFocusRing(HDC hdc, HWND hList);

void DrawMovieButton(const DRAWITEMSTRUCT& item, EButtonLook look, const SStageFonts& fonts, COLORREF crStage);
void DrawTab(const DRAWITEMSTRUCT& item, const std::string& strCaption, const SStageFonts& fonts);
// Icons by the name the movie gives: protected, unprotected, partial, alert.
void DrawMovieIcon(const DRAWITEMSTRUCT& item, const std::string& strName, COLORREF crStage);
// The window text of the item, its host in bold, cut with an ellipsis at the end.
void DrawAddress(const DRAWITEMSTRUCT& item, const SStageFonts& fonts, COLORREF crStage);
