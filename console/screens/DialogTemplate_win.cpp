#include "console/screens/DialogTemplate_win.h"

#include "console/screens/FlashScreenDlg_win.h"
#include "shared/OwnedResources_win.h"

CDialogTemplate::CDialogTemplate(DWORD dwStyle, DWORD dwExStyle, short x, short y, short cx, short cy,
                                 const char* szTitle, const char* szFont) {
  AppendDword(dwStyle);
  AppendDword(dwExStyle);
  m_nControlCountAt = m_words.size();
  AppendWord(0);  // number of controls, counted up by AddControl
  AppendWord(static_cast<WORD>(x));
  AppendWord(static_cast<WORD>(y));
  AppendWord(static_cast<WORD>(cx));
  AppendWord(static_cast<WORD>(cy));
  AppendWord(0);  // no menu
  AppendWord(0);  // predefined dialog class
  AppendText(szTitle);
  if (dwStyle & DS_SETFONT) {
    AppendWord(8);
    AppendText(szFont ? szFont : "MS Shell Dlg");
  }
}

void CDialogTemplate::AddControl(const char* szClass, const char* szText, WORD wId, DWORD dwStyle, short x, short y,
                                 short cx, short cy) {
  AlignToDword();
  AppendDword(dwStyle | WS_CHILD);
  AppendDword(0);
  AppendWord(static_cast<WORD>(x));
  AppendWord(static_cast<WORD>(y));
  AppendWord(static_cast<WORD>(cx));
  AppendWord(static_cast<WORD>(cy));
  AppendWord(wId);
  AppendText(szClass);
  AppendText(szText);
  AppendWord(0);  // no creation data
  ++m_words[m_nControlCountAt];
}

const DLGTEMPLATE* CDialogTemplate::Get() {
  return reinterpret_cast<const DLGTEMPLATE*>(m_words.data());
}

void CDialogTemplate::AppendWord(WORD w) {
  m_words.push_back(w);
}

void CDialogTemplate::AppendDword(DWORD dw) {
  AppendWord(LOWORD(dw));
  AppendWord(HIWORD(dw));
}

void CDialogTemplate::AppendText(const char* sz) {
  const int nChars = ::MultiByteToWideChar(CP_ACP, 0, sz ? sz : "", -1, nullptr, 0);
  std::wstring wsz(nChars > 0 ? nChars : 1, L'\0');
  if (nChars > 0) ::MultiByteToWideChar(CP_ACP, 0, sz ? sz : "", -1, &wsz[0], nChars);
  for (wchar_t c : wsz) AppendWord(static_cast<WORD>(c));  // terminator included
}

void CDialogTemplate::AlignToDword() {
  if (m_words.size() % 2) AppendWord(0);
}

HWND CreateDialogFromTemplate(CDialogTemplate& dialogTemplate, HWND hOwner, DLGPROC pfnProc, LPARAM lParam) {
  return ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), dialogTemplate.Get(), hOwner, pfnProc, lParam);
}

void GrowToDisplayScale(HWND hWnd, short cxDlu, short cyDlu) {
  // The dialog base units of the template's font at 96 dpi (8 pt is 11 pixels),
  // measured as the dialog manager measures them.
  CDeleteObject font(::CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif"));
  CDeleteDC dc(::CreateCompatibleDC(nullptr));
  if (!font || !dc) return;
  ::SelectObject(dc.Get(), font.Get());
  SIZE size = {};
  TEXTMETRICA metrics = {};
  if (!::GetTextExtentPoint32A(dc.Get(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size) ||
      !::GetTextMetricsA(dc.Get(), &metrics)) {
    return;
  }
  const int cx = ScaleToDisplay(::MulDiv(cxDlu, (size.cx / 26 + 1) / 2, 4));
  const int cy = ScaleToDisplay(::MulDiv(cyDlu, metrics.tmHeight, 8));
  RECT rc = {};
  ::GetWindowRect(hWnd, &rc);
  if (rc.right - rc.left >= cx && rc.bottom - rc.top >= cy) return;
  const int cxNew = rc.right - rc.left > cx ? rc.right - rc.left : cx;
  const int cyNew = rc.bottom - rc.top > cy ? rc.bottom - rc.top : cy;
  ::SetWindowPos(hWnd, nullptr, 0, 0, cxNew, cyNew, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
