#include "standins/flashplayer/MovieControls_win.h"

// after windows.h, which it needs
#include <commctrl.h>

namespace {

// The stepper's arrows have the id of their edit field plus this.
const int kStepperArrowsIdOffset = 10000;

}  // namespace

void CreateMovieControl(const SMovieControl& c, HWND hStage, HINSTANCE hInstance, const SStageFonts& fonts,
                        SShownControl* pShown) {
  const char* szClass = "STATIC";
  DWORD dwStyle = WS_CHILD;
  DWORD dwExStyle = 0;
  switch (c.kind) {
    case EMovieControlKind::Text:
    case EMovieControlKind::Title:
      dwStyle |= SS_LEFT | SS_NOPREFIX;
      break;
    case EMovieControlKind::Input:
      szClass = "EDIT";
      dwStyle |= WS_TABSTOP | ES_AUTOHSCROLL;
      dwExStyle = WS_EX_CLIENTEDGE;
      break;
    case EMovieControlKind::Password:
      szClass = "EDIT";
      dwStyle |= WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD;
      dwExStyle = WS_EX_CLIENTEDGE;
      break;
    case EMovieControlKind::Stepper:
      szClass = "EDIT";
      dwStyle |= WS_TABSTOP | ES_NUMBER;
      dwExStyle = WS_EX_CLIENTEDGE;
      break;
    case EMovieControlKind::Button:
      szClass = "BUTTON";
      dwStyle |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case EMovieControlKind::Check:
      szClass = "BUTTON";
      dwStyle |= WS_TABSTOP | BS_CHECKBOX;
      break;
    case EMovieControlKind::Radio:
      szClass = "BUTTON";
      dwStyle |= WS_TABSTOP | BS_RADIOBUTTON;
      break;
    case EMovieControlKind::List:
      szClass = WC_LISTVIEWA;
      dwStyle |= WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA;
      dwExStyle = WS_EX_CLIENTEDGE;
      break;
  }
  SShownControl& shown = *pShown;
  shown.wnd.Reset(::CreateWindowExA(dwExStyle, szClass, "", dwStyle, c.x, c.y, c.cx, c.cy, hStage,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.nId)), hInstance, nullptr));
  ::SendMessageA(shown.wnd.Get(), WM_SETFONT,
                 reinterpret_cast<WPARAM>(c.kind == EMovieControlKind::Title ? fonts.hTitle : fonts.hText), FALSE);
  if (c.kind == EMovieControlKind::Stepper) {
    shown.arrows.Reset(::CreateWindowExA(
        0, UPDOWN_CLASSA, "", WS_CHILD | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0,
        hStage, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.nId + kStepperArrowsIdOffset)), hInstance, nullptr));
    ::SendMessageA(shown.arrows.Get(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(shown.wnd.Get()), 0);
    ::SendMessageA(shown.arrows.Get(), UDM_SETRANGE32, c.nMinimum, c.nMaximum);
  }
  if (c.kind == EMovieControlKind::List) {
    ::SendMessageA(shown.wnd.Get(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    const int nWidth = c.columns.empty() ? c.cx : (c.cx - 4) / static_cast<int>(c.columns.size());
    for (std::size_t n = 0; n < c.columns.size(); ++n) {
      LVCOLUMNA column = {};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.pszText = const_cast<char*>(c.columns[n].c_str());
      column.cx = nWidth;
      ::SendMessageA(shown.wnd.Get(), LVM_INSERTCOLUMNA, n, reinterpret_cast<LPARAM>(&column));
    }
  }
}

std::string ControlText(HWND hWnd) {
  const int n = ::GetWindowTextLengthA(hWnd);
  std::string strText(n + 1, '\0');
  strText.resize(::GetWindowTextA(hWnd, &strText[0], n + 1));
  return strText;
}

void SetControlTextIfDifferent(HWND hWnd, const std::string& strText) {
  if (ControlText(hWnd) != strText) ::SetWindowTextA(hWnd, strText.c_str());
}

void ShowControlIfDifferent(HWND hWnd, bool bShown) {
  const bool bVisible = (::GetWindowLongA(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
  if (bVisible != bShown) ::ShowWindow(hWnd, bShown ? SW_SHOWNA : SW_HIDE);
}

void FillListCell(const NMHDR* pHeader, const CMovieRows* pRows) {
  const std::string strEmpty;
  if (pHeader->code == LVN_GETDISPINFOA) {
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(pHeader))->item;
    const std::string& strCell = pRows ? pRows->Cell(item.iItem, item.iSubItem) : strEmpty;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
      ::lstrcpynA(item.pszText, strCell.c_str(), item.cchTextMax);
    }
  } else {
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(pHeader))->item;
    const std::string& strCell = pRows ? pRows->Cell(item.iItem, item.iSubItem) : strEmpty;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
      const int n = ::MultiByteToWideChar(CP_ACP, 0, strCell.c_str(), -1, item.pszText, item.cchTextMax);
      if (n == 0) item.pszText[item.cchTextMax - 1] = 0;
    }
  }
}

double StageNowMs() {
  static const double dTicksPerMs = [] {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / dTicksPerMs;
}
