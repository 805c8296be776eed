#include "standins/flashplayer/MovieDrawing_win.h"

namespace {

// Pixels of the focus ring, at every scale.
constexpr int kFocusRingWidth = 2;

// Restores what the drawing selected into the context.
class CSavedDC {
 public:
  explicit CSavedDC(HDC hdc) : m_hdc(hdc), m_nSaved(::SaveDC(hdc)) {}
  ~CSavedDC() { ::RestoreDC(m_hdc, m_nSaved); }
  CSavedDC(const CSavedDC&) = delete;
  CSavedDC& operator=(const CSavedDC&) = delete;

 private:
  HDC m_hdc;
  int m_nSaved;
};

void FillSolid(HDC hdc, const RECT& rc, COLORREF cr) {
  ::SetBkColor(hdc, cr);
  ::ExtTextOutA(hdc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void FrameSolid(HDC hdc, RECT rc, COLORREF cr, int nWidth) {
  for (int i = 0; i < nWidth; ++i) {
    const RECT edges[] = {{rc.left, rc.top, rc.right, rc.top + 1},
                          {rc.left, rc.bottom - 1, rc.right, rc.bottom},
                          {rc.left, rc.top, rc.left + 1, rc.bottom},
                          {rc.right - 1, rc.top, rc.right, rc.bottom}};
    for (const RECT& edge : edges) FillSolid(hdc, edge, cr);
    ::InflateRect(&rc, -1, -1);
  }
}

std::string WindowText(HWND hWnd) {
  char szText[2048] = "";
  ::GetWindowTextA(hWnd, szText, sizeof(szText));
  return szText;
}

int TextWidth(HDC hdc, const std::string& strText) {
  SIZE size = {};
  ::GetTextExtentPoint32A(hdc, strText.c_str(), static_cast<int>(strText.size()), &size);
  return size.cx;
}

// A sign in the icon's circle, in a box of n units across the circle's d pixels.
POINT IconPoint(const RECT& rc, int x, int y) {
  const int d = rc.right - rc.left;
  return {rc.left + x * d / 16, rc.top + y * d / 16};
}

void DrawStroke(HDC hdc, const RECT& rc, const POINT* pPoints, int nPoints, COLORREF cr) {
  const int nWidth = (rc.right - rc.left) / 8 > 2 ? (rc.right - rc.left) / 8 : 2;
  LOGBRUSH brush = {BS_SOLID, cr, 0};
  CDeleteObject pen(
      ::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, nWidth, &brush, 0, nullptr));
  ::SelectObject(hdc, pen.Get());
  ::Polyline(hdc, pPoints, nPoints);
  ::SelectObject(hdc, ::GetStockObject(NULL_PEN));
}

}  // namespace

COLORREF PaletteColour(DWORD dwRgb) {
  return RGB((dwRgb >> 16) & 0xFF, (dwRgb >> 8) & 0xFF, dwRgb & 0xFF);
}

int DisplayDpi() {
  CDeleteDC info(::CreateICA("DISPLAY", nullptr, nullptr, nullptr));
  const int nDpi = info ? ::GetDeviceCaps(info.Get(), LOGPIXELSY) : 96;
  return nDpi > 0 ? nDpi : 96;
}

int ScaleToDpi(int n, int nDpi) {
  return ::MulDiv(n, nDpi, 96);
}

void CStagePaint::SetBackground(DWORD dwRgb) {
  m_crBackground = PaletteColour(dwRgb);
  const int nLight = 3 * GetRValue(m_crBackground) + 6 * GetGValue(m_crBackground) + GetBValue(m_crBackground);
  m_crText = nLight < 1280 ? RGB(255, 255, 255) : RGB(0, 0, 0);
  m_brush.Reset(::CreateSolidBrush(m_crBackground));
}

LRESULT CStagePaint::Paint(HWND hStage, UINT uMsg, WPARAM wParam) const {
  const HDC hdc = reinterpret_cast<HDC>(wParam);
  const auto hBrush = static_cast<HBRUSH>(m_brush.Get());
  if (uMsg == WM_ERASEBKGND) {
    RECT rc;
    ::GetClientRect(hStage, &rc);
    ::FillRect(hdc, &rc, hBrush);
    return 1;
  }
  ::SetTextColor(hdc, m_crText);
  ::SetBkColor(hdc, m_crBackground);
  return reinterpret_cast<LRESULT>(hBrush);
}

HFONT FontFor(EMovieControlKind kind, const SStageFonts& fonts) {
  switch (kind) {
    case EMovieControlKind::Title:
      return fonts.hTitle;
    case EMovieControlKind::Headline:
      return fonts.hHeadline;
    default:
      return fonts.hText;
  }
}

void DrawMovieButton(const DRAWITEMSTRUCT& item, EButtonLook look, const SStageFonts& fonts, COLORREF crStage) {
  const HDC hdc = item.hDC;
  CSavedDC saved(hdc);
  RECT rc = item.rcItem;
  const bool bPressed = (item.itemState & ODS_SELECTED) != 0;
  const bool bDisabled = (item.itemState & ODS_DISABLED) != 0;
  const bool bSign = look == EButtonLook::Minimize || look == EButtonLook::Close;
  COLORREF crFace = PaletteColour(look == EButtonLook::Default ? BUTTON_DEFAULT_FACE : BUTTON_FACE);
  if (look == EButtonLook::Secondary || bSign) crFace = crStage;
  if (bPressed) crFace = RGB(GetRValue(crFace) * 3 / 4, GetGValue(crFace) * 3 / 4, GetBValue(crFace) * 3 / 4);
  FillSolid(hdc, rc, crStage);
  FillSolid(hdc, rc, crFace);
  if (!bSign || bPressed) FrameSolid(hdc, rc, PaletteColour(BUTTON_BORDER), 1);
  const COLORREF crText = PaletteColour(bDisabled ? BUTTON_DISABLED_TEXT : STAGE_TEXT);
  if (bSign) {
    // The caption stays the button's name; the sign is what shows.
    const int d = (rc.bottom - rc.top) / 2;
    const RECT rcSign = {(rc.left + rc.right - d) / 2, (rc.top + rc.bottom - d) / 2, (rc.left + rc.right + d) / 2,
                         (rc.top + rc.bottom + d) / 2};
    if (look == EButtonLook::Minimize) {
      const POINT line[] = {IconPoint(rcSign, 2, 13), IconPoint(rcSign, 14, 13)};
      DrawStroke(hdc, rcSign, line, 2, crText);
    } else {
      const POINT one[] = {IconPoint(rcSign, 2, 2), IconPoint(rcSign, 14, 14)};
      const POINT two[] = {IconPoint(rcSign, 14, 2), IconPoint(rcSign, 2, 14)};
      DrawStroke(hdc, rcSign, one, 2, crText);
      DrawStroke(hdc, rcSign, two, 2, crText);
    }
  } else {
    ::SelectObject(hdc, look == EButtonLook::Default ? fonts.hBold : fonts.hText);
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextColor(hdc, crText);
    RECT rcText = rc;
    if (bPressed) ::OffsetRect(&rcText, 1, 1);
    const std::string strCaption = WindowText(item.hwndItem);
    ::DrawTextA(hdc, strCaption.c_str(), -1, &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  // The focus shows always, not only after a key was pressed.
  if (item.itemState & ODS_FOCUS) {
    RECT rcFocus = rc;
    ::InflateRect(&rcFocus, -2, -2);
    FrameSolid(hdc, rcFocus, PaletteColour(FOCUS_RING), kFocusRingWidth);
  }
}

void DrawTab(const DRAWITEMSTRUCT& item, const std::string& strCaption, const SStageFonts& fonts) {
  const HDC hdc = item.hDC;
  CSavedDC saved(hdc);
  // The chosen tab in the accent, the others as buttons.
  const bool bChosen = (item.itemState & ODS_SELECTED) != 0;
  FillSolid(hdc, item.rcItem, PaletteColour(bChosen ? BUTTON_DEFAULT_FACE : BUTTON_FACE));
  ::SelectObject(hdc, bChosen ? fonts.hBold : fonts.hText);
  ::SetBkMode(hdc, TRANSPARENT);
  ::SetTextColor(hdc, PaletteColour(STAGE_TEXT));
  RECT rc = item.rcItem;
  ::DrawTextA(hdc, strCaption.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  // The tab strip marks its focused tab whether or not it has the keyboard focus:
  // the ring shows only while it has, so that one control on the stage shows it.
  if ((item.itemState & ODS_FOCUS) && ::GetFocus() == item.hwndItem) {
    ::InflateRect(&rc, -2, -2);
    FrameSolid(hdc, rc, PaletteColour(FOCUS_RING), kFocusRingWidth);
  }
}

void DrawMovieIcon(const DRAWITEMSTRUCT& item, const std::string& strName, COLORREF crStage) {
  const HDC hdc = item.hDC;
  CSavedDC saved(hdc);
  FillSolid(hdc, item.rcItem, crStage);
  const int d = (item.rcItem.right - item.rcItem.left) < (item.rcItem.bottom - item.rcItem.top)
                    ? item.rcItem.right - item.rcItem.left
                    : item.rcItem.bottom - item.rcItem.top;
  const RECT rc = {item.rcItem.left, item.rcItem.top, item.rcItem.left + d, item.rcItem.top + d};
  DWORD dwCircle = ICON_BAD;
  if (strName == "protected") dwCircle = ICON_GOOD;
  if (strName == "partial") dwCircle = ICON_WARN;
  CDeleteObject brush(::CreateSolidBrush(PaletteColour(dwCircle)));
  ::SelectObject(hdc, brush.Get());
  ::SelectObject(hdc, ::GetStockObject(NULL_PEN));
  ::Ellipse(hdc, rc.left, rc.top, rc.right + 1, rc.bottom + 1);
  // The sign is dark on amber and white on green and red, for its contrast.
  const COLORREF crSign = dwCircle == ICON_WARN ? crStage : PaletteColour(STAGE_TEXT);
  if (strName == "protected") {
    const POINT check[] = {IconPoint(rc, 4, 8), IconPoint(rc, 7, 11), IconPoint(rc, 12, 5)};
    DrawStroke(hdc, rc, check, 3, crSign);
  } else if (strName == "unprotected") {
    const POINT one[] = {IconPoint(rc, 5, 5), IconPoint(rc, 11, 11)};
    const POINT two[] = {IconPoint(rc, 11, 5), IconPoint(rc, 5, 11)};
    DrawStroke(hdc, rc, one, 2, crSign);
    DrawStroke(hdc, rc, two, 2, crSign);
  } else {
    const POINT bar[] = {IconPoint(rc, 8, 4), IconPoint(rc, 8, 9)};
    const POINT dot[] = {IconPoint(rc, 8, 12), IconPoint(rc, 8, 12)};
    DrawStroke(hdc, rc, bar, 2, crSign);
    DrawStroke(hdc, rc, dot, 2, crSign);
  }
}

void DrawAddress(const DRAWITEMSTRUCT& item, const SStageFonts& fonts, COLORREF crStage) {
  const HDC hdc = item.hDC;
  CSavedDC saved(hdc);
  FillSolid(hdc, item.rcItem, crStage);
  ::SetBkMode(hdc, TRANSPARENT);
  const SAddressParts parts = SplitAddressHost(WindowText(item.hwndItem));
  const struct {
    const std::string& strText;
    HFONT hFont;
    DWORD dwColour;
  } runs[] = {{parts.strBefore, fonts.hText, STAGE_MUTED_TEXT},
              {parts.strHost, fonts.hBold, STAGE_TEXT},
              {parts.strAfter, fonts.hText, STAGE_MUTED_TEXT}};
  // Runs side by side from their measured widths; the one that does not fit ends
  // in an ellipsis.
  RECT rc = item.rcItem;
  for (const auto& run : runs) {
    if (run.strText.empty() || rc.left >= rc.right) continue;
    ::SelectObject(hdc, run.hFont);
    ::SetTextColor(hdc, PaletteColour(run.dwColour));
    const int nWidth = TextWidth(hdc, run.strText);
    if (rc.left + nWidth <= rc.right) {
      TEXTMETRICA metrics = {};
      ::GetTextMetricsA(hdc, &metrics);
      const int y = (rc.top + rc.bottom - metrics.tmHeight) / 2;
      ::ExtTextOutA(hdc, rc.left, y, ETO_CLIPPED, &rc, run.strText.c_str(), static_cast<UINT>(run.strText.size()),
                    nullptr);
    } else {
      ::DrawTextA(hdc, run.strText.c_str(), -1, &rc,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    rc.left += nWidth;
  }
}

void DrawStageEdge(HDC hdc, HWND hStage) {
  RECT rc = {};
  ::GetClientRect(hStage, &rc);
  CSavedDC saved(hdc);
  FrameSolid(hdc, rc, PaletteColour(BUTTON_BORDER), 1);
}

RECT ListFocusRing(HWND hList) {
  RECT rc = {};
  if (!hList || !::GetWindowRect(hList, &rc)) return rc;
  ::MapWindowPoints(nullptr, ::GetParent(hList), reinterpret_cast<POINT*>(&rc), 2);
  ::InflateRect(&rc, kFocusRingWidth, kFocusRingWidth);
  return rc;
}

void DrawListFocusRing(HDC hdc, HWND hList) {
  if (::GetFocus() != hList || !::IsWindowVisible(hList)) return;
  CSavedDC saved(hdc);
  FrameSolid(hdc, ListFocusRing(hList), PaletteColour(FOCUS_RING), kFocusRingWidth);
}

CStageFontSet::CStageFontSet(int nDpi) {
  // Sizes of the type scale in pixels at 96 dpi.
  const struct {
    int nPixels;
    int nWeight;
  } sizes[] = {{12, FW_NORMAL}, {12, FW_BOLD}, {15, FW_BOLD}, {20, FW_BOLD}};
  for (int i = 0; i < 4; ++i) {
    m_fonts[i].Reset(::CreateFontA(-ScaleToDpi(sizes[i].nPixels, nDpi), 0, 0, 0, sizes[i].nWeight, 0, 0, 0,
                                   DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, "Tahoma"));
  }
}

SStageFonts CStageFontSet::Get() const {
  auto font = [this](int n) { return static_cast<HFONT>(m_fonts[n].Get()); };
  return {font(0), font(1), font(2), font(3)};
}

void DrawMovieItem(const DRAWITEMSTRUCT& item, const SMovieControl& c, const SStageFonts& fonts, COLORREF crStage) {
  if (c.kind == EMovieControlKind::Button) DrawMovieButton(item, c.look, fonts, crStage);
  if (c.kind == EMovieControlKind::Icon) DrawMovieIcon(item, c.strValue, crStage);
  if (c.kind == EMovieControlKind::Address) DrawAddress(item, fonts, crStage);
  if (c.kind == EMovieControlKind::Tabs && item.itemID < c.columns.size()) {
    DrawTab(item, c.columns[item.itemID], fonts);
  }
}

LRESULT DrawListParts(const NMCUSTOMDRAW& draw, const std::string& strEmptyText, HFONT hFont) {
  if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
  const HWND hList = draw.hdr.hwndFrom;
  if (draw.dwDrawStage != CDDS_POSTPAINT || strEmptyText.empty() || ::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0)) {
    return CDRF_DODEFAULT;
  }
  const HDC hdc = draw.hdc;
  CSavedDC saved(hdc);
  RECT rc;
  ::GetClientRect(hList, &rc);
  RECT rcHeader = {};
  const HWND hHeader = ::GetWindow(hList, GW_CHILD);
  if (hHeader && ::GetWindowRect(hHeader, &rcHeader)) rc.top += rcHeader.bottom - rcHeader.top;
  ::InflateRect(&rc, -8, -8);
  ::SelectObject(hdc, hFont);
  ::SetBkMode(hdc, TRANSPARENT);
  ::SetTextColor(hdc, PaletteColour(LIST_EMPTY_TEXT));
  ::DrawTextA(hdc, strEmptyText.c_str(), -1, &rc, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  return CDRF_DODEFAULT;
}
