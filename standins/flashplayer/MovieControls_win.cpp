#include "standins/flashplayer/MovieControls_win.h"

// after windows.h, which it needs
#include <commctrl.h>

namespace {

// The stepper's arrows have the id of their edit field plus this.
const int kStepperArrowsIdOffset = 10000;
// A text box at least this tall (stage pixels) holds two lines and wraps.
const int kTwoTextLines = 30;
// How far a choice's list drops below its field, in stage pixels.
const int kChoiceDropHeight = 160;

// The accessible names of the icons, which screen readers read as their text.
const std::pair<const char*, const char*> kIconNames[] = {
    {"protected", "Protected"},
    {"unprotected", "Not protected"},
    {"partial", "Partly protected"},
    {"alert", "Warning"},
};

// Enter on a focused button presses it, as Space does: the dialog manager would
// send the screen's OK instead, as the stage's buttons are not the dialog's own.
LRESULT CALLBACK ButtonKeysProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (uMsg == WM_GETDLGCODE && lParam) {
    const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
      return ::DefSubclassProc(hWnd, uMsg, wParam, lParam) | DLGC_WANTMESSAGE;
    }
  }
  if (uMsg == WM_KEYDOWN && wParam == VK_RETURN) {
    ::PostMessageA(hWnd, BM_CLICK, 0, 0);  // posted: the press may open a modal screen
    return 0;
  }
  if (uMsg == WM_NCDESTROY) ::RemoveWindowSubclass(hWnd, &ButtonKeysProc, 1);
  return ::DefSubclassProc(hWnd, uMsg, wParam, lParam);
}

// The first control of hWnd's group, the one with WS_GROUP at or before it.
HWND GroupLeader(HWND hWnd) {
  while (hWnd && !(::GetWindowLongA(hWnd, GWL_STYLE) & WS_GROUP)) hWnd = ::GetWindow(hWnd, GW_HWNDPREV);
  return hWnd;
}

// An arrow key that moves the focus to another radio button of its group chooses
// it, as in Windows' own groups; Tab into the group or a click does not.
LRESULT CALLBACK RadioKeysProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (uMsg == WM_SETFOCUS) {
    const HWND hFrom = reinterpret_cast<HWND>(wParam);
    if (hFrom && hFrom != hWnd && ::GetParent(hFrom) == ::GetParent(hWnd) && GroupLeader(hFrom) == GroupLeader(hWnd) &&
        !(::GetKeyState(VK_LBUTTON) & 0x8000) && ::SendMessageA(hWnd, BM_GETCHECK, 0, 0) != BST_CHECKED) {
      ::PostMessageA(::GetParent(hWnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hWnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(hWnd));
    }
  }
  if (uMsg == WM_NCDESTROY) ::RemoveWindowSubclass(hWnd, &RadioKeysProc, 1);
  return ::DefSubclassProc(hWnd, uMsg, wParam, lParam);
}

// Group boxes and the tab strip leave parts unpainted or paint them grey: they
// get the stage's background, as texts do.
LRESULT CALLBACK StageBackgroundProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (uMsg == WM_ERASEBKGND) {
    const HDC hdc = reinterpret_cast<HDC>(wParam);
    const auto hBrush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(::GetParent(hWnd), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(hWnd)));
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    if (hBrush) ::FillRect(hdc, &rc, hBrush);
    return 1;
  }
  if (uMsg == WM_NCDESTROY) ::RemoveWindowSubclass(hWnd, &StageBackgroundProc, 1);
  return ::DefSubclassProc(hWnd, uMsg, wParam, lParam);
}

RECT ScaledRect(const SMovieControl& c, int nDpi) {
  const int x = ScaleToDpi(c.x, nDpi), y = ScaleToDpi(c.y, nDpi);
  return {x, y, x + ScaleToDpi(c.cx, nDpi), y + ScaleToDpi(c.cy, nDpi)};
}

void AddListColumns(HWND hList, const SMovieControl& c, int nDpi) {
  ::SendMessageA(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  // Columns without a width share what the others leave.
  int nFixed = 0, nShared = 0;
  for (const int nWidth : c.widths) nWidth ? nFixed += nWidth : ++nShared;
  const int nRest = c.cx - 4 - nFixed - ::GetSystemMetrics(SM_CXVSCROLL) * 96 / nDpi;
  const int nShare = nShared && nRest > 0 ? nRest / nShared : 60;
  for (std::size_t n = 0; n < c.columns.size(); ++n) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(c.columns[n].c_str());
    column.cx = ScaleToDpi(c.widths[n] ? c.widths[n] : nShare, nDpi);
    ::SendMessageA(hList, LVM_INSERTCOLUMNA, n, reinterpret_cast<LPARAM>(&column));
  }
}

bool IsInRadioGroupOf(const SMovieControl& c, const SMovieControl& previous) {
  return c.kind == EMovieControlKind::Radio && previous.kind == EMovieControlKind::Radio &&
         c.strVariable == previous.strVariable;
}

}  // namespace

void CreateMovieControl(const SMovieControl& c, const SMovieControl* pPrevious, HWND hStage, HINSTANCE hInstance,
                        const SStageFonts& fonts, int nDpi, SShownControl* pShown) {
  const char* szClass = "STATIC";
  // Each control is a group of its own but radio buttons of one variable, among
  // which the arrow keys move.
  DWORD dwStyle = WS_CHILD | (pPrevious && IsInRadioGroupOf(c, *pPrevious) ? 0 : WS_GROUP);
  DWORD dwExStyle = 0;
  std::string strText;
  RECT rc = ScaledRect(c, nDpi);
  switch (c.kind) {
    case EMovieControlKind::Text:
    case EMovieControlKind::Title:
    case EMovieControlKind::Headline:
      dwStyle |= SS_LEFT | SS_NOPREFIX;
      // A one-line text that does not fit ends in "...", never cut without a sign.
      if (c.kind != EMovieControlKind::Text || c.cy < kTwoTextLines) dwStyle |= SS_ENDELLIPSIS;
      break;
    case EMovieControlKind::Address:
      dwStyle |= SS_OWNERDRAW | SS_NOPREFIX;
      break;
    case EMovieControlKind::Icon:
      dwStyle |= SS_OWNERDRAW;
      for (const auto& name : kIconNames) {
        if (c.strValue == name.first) strText = name.second;
      }
      break;
    case EMovieControlKind::Group:
      szClass = "BUTTON";
      dwStyle |= BS_GROUPBOX | WS_CLIPSIBLINGS;
      break;
    case EMovieControlKind::Tabs:
      szClass = WC_TABCONTROLA;
      dwStyle |= WS_TABSTOP | TCS_TABS | TCS_FOCUSONBUTTONDOWN | TCS_OWNERDRAWFIXED;
      break;
    case EMovieControlKind::Choice:
      szClass = "COMBOBOX";
      dwStyle |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      rc.bottom += ScaleToDpi(kChoiceDropHeight, nDpi);
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
      dwStyle |= WS_TABSTOP | BS_OWNERDRAW;
      break;
    case EMovieControlKind::Check:
      szClass = "BUTTON";
      dwStyle |= WS_TABSTOP | BS_CHECKBOX | BS_MULTILINE;
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
  shown.wnd.Reset(::CreateWindowExA(dwExStyle, szClass, strText.c_str(), dwStyle, rc.left, rc.top, rc.right - rc.left,
                                    rc.bottom - rc.top, hStage, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.nId)),
                                    hInstance, nullptr));
  ::SendMessageA(shown.wnd.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.kind, fonts)), FALSE);
  if (c.kind == EMovieControlKind::Button) ::SetWindowSubclass(shown.wnd.Get(), &ButtonKeysProc, 1, 0);
  if (c.kind == EMovieControlKind::Radio) ::SetWindowSubclass(shown.wnd.Get(), &RadioKeysProc, 1, 0);
  if (c.kind == EMovieControlKind::Group || c.kind == EMovieControlKind::Tabs) {
    ::SetWindowSubclass(shown.wnd.Get(), &StageBackgroundProc, 1, 0);
  }
  // Beneath the controls it holds, so that its background does not cover them;
  // it takes no part in the Tab order.
  if (c.kind == EMovieControlKind::Group) {
    ::SetWindowPos(shown.wnd.Get(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (c.kind == EMovieControlKind::Tabs) {
    // Room around the captions, also for the chosen tab's bold one.
    ::SendMessageA(shown.wnd.Get(), TCM_SETPADDING, 0, MAKELPARAM(ScaleToDpi(10, nDpi), ScaleToDpi(4, nDpi)));
    for (std::size_t n = 0; n < c.columns.size(); ++n) {
      TCITEMA tab = {};
      tab.mask = TCIF_TEXT;
      tab.pszText = const_cast<char*>(c.columns[n].c_str());
      ::SendMessageA(shown.wnd.Get(), TCM_INSERTITEMA, n, reinterpret_cast<LPARAM>(&tab));
    }
  }
  if (c.kind == EMovieControlKind::Stepper) {
    shown.arrows.Reset(::CreateWindowExA(
        0, UPDOWN_CLASSA, "", WS_CHILD | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0,
        hStage, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.nId + kStepperArrowsIdOffset)), hInstance, nullptr));
    ::SendMessageA(shown.arrows.Get(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(shown.wnd.Get()), 0);
    ::SendMessageA(shown.arrows.Get(), UDM_SETRANGE32, c.nMinimum, c.nMaximum);
  }
  if (c.kind == EMovieControlKind::List) AddListColumns(shown.wnd.Get(), c, nDpi);
}

void ShowControlValue(SShownControl& shown, const SMovieControl& c,
                      const std::function<std::string(const std::string&)>& lookup) {
  const HWND hWnd = shown.wnd.Get();
  const std::string strText = ExpandMovieText(c.strText, lookup);
  switch (c.kind) {
    case EMovieControlKind::Text:
    case EMovieControlKind::Title:
    case EMovieControlKind::Headline:
    case EMovieControlKind::Group:
    case EMovieControlKind::Button:
      SetControlTextIfDifferent(hWnd, strText);
      break;
    case EMovieControlKind::Address:
      SetControlTextIfDifferent(hWnd, strText);
      ::InvalidateRect(hWnd, nullptr, FALSE);
      break;
    case EMovieControlKind::Tabs:
      ShowTabFor(hWnd, c, lookup(c.strVariable));
      break;
    case EMovieControlKind::Choice:
      ShowChoice(shown, strText, lookup(c.strVariable));
      break;
    case EMovieControlKind::Input:
    case EMovieControlKind::Password:
    case EMovieControlKind::Stepper:
      SetControlTextIfDifferent(hWnd, lookup(c.strVariable));
      break;
    case EMovieControlKind::Check:
    case EMovieControlKind::Radio: {
      SetControlTextIfDifferent(hWnd, strText);
      const LRESULT nCheck = lookup(c.strVariable) == c.strValue ? BST_CHECKED : BST_UNCHECKED;
      const bool bChanged = ::SendMessageA(hWnd, BM_GETCHECK, 0, 0) != nCheck;
      // Also unchanged: a cleared radio button loses its Tab stop this way.
      ::SendMessageA(hWnd, BM_SETCHECK, nCheck, 0);
      // Wine repaints the box over the focus rectangle and wipes it: paint it whole.
      if (bChanged && ::GetFocus() == hWnd) ::InvalidateRect(hWnd, nullptr, TRUE);
      break;
    }
    case EMovieControlKind::Icon:  // its name stays
    case EMovieControlKind::List:  // the player gives its rows
      break;
  }
}

std::string ScalePixelArgument(const std::string& strArgument, int nDpi) {
  int nPixels = 0;
  if (strArgument.compare(0, 3, "px:") != 0 || !ReadStageNumber(strArgument.substr(3), nPixels)) return strArgument;
  return std::to_string(ScaleToDpi(nPixels, nDpi));
}

void ShowTabFor(HWND hTabs, const SMovieControl& c, const std::string& strValue) {
  int nTab = -1;
  for (std::size_t n = 0; n < c.values.size(); ++n) {
    if (c.values[n] == strValue) nTab = static_cast<int>(n);
  }
  if (::SendMessageA(hTabs, TCM_GETCURSEL, 0, 0) != nTab) ::SendMessageA(hTabs, TCM_SETCURSEL, nTab, 0);
}

void ShowChoice(SShownControl& shown, const std::string& strOptions, const std::string& strValue) {
  const HWND hChoice = shown.wnd.Get();
  std::vector<std::string> options = SplitOptions(strOptions);
  int nChosen = -1;
  for (std::size_t n = 0; n < options.size(); ++n) {
    if (options[n] == strValue) nChosen = static_cast<int>(n);
  }
  // What is chosen shows even when it is not among the options.
  if (nChosen < 0 && !strValue.empty()) {
    nChosen = static_cast<int>(options.size());
    options.push_back(strValue);
  }
  if (options != shown.options) {
    ::SendMessageA(hChoice, CB_RESETCONTENT, 0, 0);
    for (const std::string& strOption : options) {
      ::SendMessageA(hChoice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strOption.c_str()));
    }
    shown.options = options;
  }
  if (::SendMessageA(hChoice, CB_GETCURSEL, 0, 0) != nChosen) ::SendMessageA(hChoice, CB_SETCURSEL, nChosen, 0);
}

std::string ChosenValue(const SShownControl& shown, const SMovieControl& c) {
  if (c.kind == EMovieControlKind::Tabs) {
    const int nTab = static_cast<int>(::SendMessageA(shown.wnd.Get(), TCM_GETCURSEL, 0, 0));
    return nTab >= 0 && nTab < static_cast<int>(c.values.size()) ? c.values[nTab] : std::string();
  }
  const int nChosen = static_cast<int>(::SendMessageA(shown.wnd.Get(), CB_GETCURSEL, 0, 0));
  return nChosen >= 0 && nChosen < static_cast<int>(shown.options.size()) ? shown.options[nChosen] : std::string();
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

void KeepRadiosReachable(const std::vector<SMovieControl>& controls, const std::vector<SShownControl>& shown) {
  // A radio button loses its Tab stop when it is cleared: with none chosen, the
  // first of the group keeps one.
  for (std::size_t nFirst = 0; nFirst < controls.size(); ++nFirst) {
    if (controls[nFirst].kind != EMovieControlKind::Radio) continue;
    std::size_t nEnd = nFirst + 1;
    bool bChosen = ::SendMessageA(shown[nFirst].wnd.Get(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    for (; nEnd < controls.size() && IsInRadioGroupOf(controls[nEnd], controls[nEnd - 1]); ++nEnd) {
      bChosen = bChosen || ::SendMessageA(shown[nEnd].wnd.Get(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    const HWND hFirst = shown[nFirst].wnd.Get();
    const LONG nStyle = ::GetWindowLongA(hFirst, GWL_STYLE);
    if (!bChosen && !(nStyle & WS_TABSTOP)) ::SetWindowLongA(hFirst, GWL_STYLE, nStyle | WS_TABSTOP);
    nFirst = nEnd - 1;
  }
}

HWND FirstToFocus(const std::vector<SMovieControl>& controls, const std::vector<SShownControl>& shown,
                  const std::function<bool(const SMovieControl&)>& isShown) {
  for (const bool bField : {true, false}) {
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const SMovieControl& c = controls[i];
      const bool bWanted = bField ? c.kind == EMovieControlKind::Input || c.kind == EMovieControlKind::Password
                                  : c.kind == EMovieControlKind::Button && c.look == EButtonLook::Default;
      if (bWanted && isShown(c)) return shown[i].wnd.Get();
    }
  }
  return nullptr;
}
