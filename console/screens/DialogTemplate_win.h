// Dialog templates built in memory, for dialogs that need no resource script.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>

#include <string>
#include <vector>

class CDialogTemplate {
 public:
  // Dialog units for position and size; szTitle in the ANSI code page. With
  // DS_SETFONT the dialog uses szFont at 8 points.
  CDialogTemplate(DWORD dwStyle, DWORD dwExStyle, short x, short y, short cx, short cy, const char* szTitle,
                  const char* szFont = "MS Shell Dlg");

  // Adds a control of a predefined class ("BUTTON", "STATIC", "EDIT", ...).
  void AddControl(const char* szClass, const char* szText, WORD wId, DWORD dwStyle, short x, short y, short cx,
                  short cy);

  // The finished template, valid while this object lives and is not changed.
  const DLGTEMPLATE* Get();

 private:
  void AppendWord(WORD w);
  void AppendDword(DWORD dw);
  void AppendText(const char* sz);
  void AlignToDword();

  std::vector<WORD> m_words;
  std::size_t m_nControlCountAt;
};

// Creates a modeless dialog from a template built in memory.
HWND CreateDialogFromTemplate(CDialogTemplate& dialogTemplate, HWND hOwner, DLGPROC pfnProc, LPARAM lParam);

// Makes dialog hWnd, whose template is cxDlu x cyDlu dialog units in "MS Sans
// Serif" 8 pt, at least as large as that template at 96 dpi scaled to the
// display: dialog units do not grow in step with the display's scale, and the
// movies are laid out at 96 dpi and scaled. Never makes it smaller.
void GrowToDisplayScale(HWND hWnd, short cxDlu, short cyDlu);
