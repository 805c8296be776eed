#include "console/screens/DialogTemplate_win.h"

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
