// MoviePlayer.dll: plays a stand-in movie with real Win32 controls. Variables live
// in the player; inputs write what the user types into their variable, buttons and
// other controls send the movie's commands to the host through its event callback.
// What the host sets is shown in one refresh per turn of the message loop, and
// only on the controls that show the variables it changed; lists keep their rows
// in the player and show them in virtual list views, which ask for the cells they
// paint, so that a row added or changed costs the same at any length of list.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "standins/flashplayer/MovieControls_win.h"
#include "standins/flashplayer/MovieDrawing_win.h"
#include "standins/flashplayer/MovieFile.h"
#include "standins/flashplayer/MoviePlayer_win.h"
#include "standins/flashplayer/MovieRows.h"
#include "console/screens/MoviePlayerApi_win.h"
#include "shared/OwnedResources_win.h"
#include "shared/ReadWholeFile_win.h"

namespace {

// The movie's next frame: the refresh of what the host set and the commands queued.
const UINT WM_PLAYER_NEXT_FRAME = WM_APP + 1;
// After the screen's start-up, whose dialog sets a focus of its own.
const UINT WM_PLAYER_FOCUS = WM_APP + 2;
// At most this often a list view is given its new row count.
const UINT kRowCountIntervalMs = 50;
const UINT_PTR kRowCountTimerId = 1;
// How long one frame may go on answering the host.
const double kFrameBudgetMs = 0.25;
const DWORD kMaxMovieBytes = 1 << 20;

class CPlayer : public IStagePlayer {
 public:
  CPlayer(HWND hWnd, HwPlayerEventProc pfnEvent, void* pContext)
      : m_hWnd(hWnd), m_pfnEvent(pfnEvent), m_pContext(pContext), m_nDpi(DisplayDpi()), m_fonts(m_nDpi) {
    SetBackground(0xFFFFFF);
  }

  // Destroys the controls while they still exist, before the window's children go.
  void OnDestroy() override { DestroyControls(); }

  long Invoke(long nDispId, const char* szFirst, const char* szSecond, long nValue, char* szResult,
              long cbResult) override {
    const std::string strFirst = szFirst ? szFirst : "";
    const std::string strSecond = szSecond ? szSecond : "";
    switch (nDispId) {
      case HWPLAYER_DISPID_MOVIE:
        LoadMovie(strFirst);
        return 0;
      case HWPLAYER_DISPID_SCALE:  // the stand-in always plays unscaled from the top left
      case HWPLAYER_DISPID_ALIGNMODE:
        return 0;
      case HWPLAYER_DISPID_BACKGROUNDCOLOR:
        SetBackground(static_cast<DWORD>(nValue));
        return 0;
      case HWPLAYER_DISPID_SETVARIABLE:
        SetVariable(strFirst, strSecond, true);
        return 0;
      case HWPLAYER_DISPID_GETVARIABLE: {
        const std::string strValue = GetVariable(strFirst);
        if (szResult && cbResult > 0) {
          const std::size_t n = strValue.size() < static_cast<std::size_t>(cbResult - 1)
                                    ? strValue.size()
                                    : static_cast<std::size_t>(cbResult - 1);
          strValue.copy(szResult, n);
          szResult[n] = 0;
        }
        return static_cast<long>(strValue.size());
      }
      case HWPLAYER_DISPID_TGOTOLABEL:
        GotoLabel(strFirst, strSecond);
        return 0;
      default:
        return -1;
    }
  }

  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    switch (uMsg) {
      case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
      case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
      case WM_DRAWITEM:
        OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      case WM_PLAYER_FOCUS:
        FocusFirst();
        return 0;
      case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC hdc = ::BeginPaint(m_hWnd, &paint);
        DrawStageEdge(hdc, m_hWnd);
        const HWND hFocus = ::GetFocus();
        const std::size_t i = hFocus && ::GetParent(hFocus) == m_hWnd ? FindControl(::GetDlgCtrlID(hFocus)) : 0;
        if (hFocus && i < m_movie.controls.size() && m_movie.controls[i].kind == EMovieControlKind::List) {
          DrawListFocusRing(hdc, hFocus);
        }
        ::EndPaint(m_hWnd, &paint);
        return 0;
      }
      case WM_ERASEBKGND:
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
        return m_paint.Paint(m_hWnd, uMsg, wParam);
      case WM_LBUTTONDOWN: {
        const SMovieCommand command = m_movie.onPress;
        Send(command);
        return 0;
      }
      case WM_PLAYER_NEXT_FRAME:
        m_bFramePosted = false;
        PlayFrame();
        return 0;
      case WM_TIMER:
        if (wParam != kRowCountTimerId) break;
        ::KillTimer(m_hWnd, kRowCountTimerId);
        m_bRowCountsDue = false;
        ShowRowCounts();
        return 0;
    }
    return ::DefWindowProcA(m_hWnd, uMsg, wParam, lParam);
  }

 private:
  void SetBackground(DWORD dwRgb) {
    m_paint.SetBackground(dwRgb);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
  }

  void DestroyControls() {
    for (SShownControl& shown : m_shown) {
      shown.arrows.Reset();
      shown.wnd.Reset();
    }
    m_shown.clear();
    m_error.Reset();
  }

  void LoadMovie(const std::string& strPath) {
    DestroyControls();
    m_movie = SMovie();
    m_variables.clear();
    m_lists.clear();
    m_dependents.clear();
    m_dirty.clear();
    m_strLabel.clear();
    m_queue.clear();
    m_bFramePlayed = false;
    std::string strText;
    if (!ReadWholeFile(strPath, kMaxMovieBytes, &strText)) return;  // a missing movie leaves the stage empty
    CResultOf<SMovie> movie = ParseMovie(strText);
    if (!movie.IsOk()) {
      // A person looking at a broken stand-in movie sees why it is broken.
      m_error.Reset(::CreateWindowExA(0, "STATIC", ("movie error: " + movie.Result().Text()).c_str(),
                                      WS_CHILD | WS_VISIBLE, 4, 4, 400, 40, m_hWnd, nullptr, m_hInstance, nullptr));
      ::SendMessageA(m_error.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(Fonts().hText), FALSE);
      return;
    }
    m_movie = std::move(movie.Value());
    FindListsAndDependents();
    for (const auto& value : m_movie.initialValues) StoreVariable(value.first, value.second);
    if (!m_movie.labels.empty()) m_strLabel = m_movie.labels.front();
    m_shown.resize(m_movie.controls.size());
    for (std::size_t i = 0; i < m_movie.controls.size(); ++i) {
      CreateMovieControl(m_movie.controls[i], i ? &m_movie.controls[i - 1] : nullptr, m_hWnd, m_hInstance, Fonts(),
                         m_nDpi, &m_shown[i]);
    }
    RefreshAll();
    FocusFirst();
    ::PostMessageA(m_hWnd, WM_PLAYER_FOCUS, 0, 0);
    // Like the real control, the movie reports from its first frame after loading,
    // not from inside the call that loads it.
    m_queue.insert(m_queue.end(), m_movie.onLoad.begin(), m_movie.onLoad.end());
    PostNextFrame();
  }

  // Every variable a list control or a row reaction names holds rows; the others
  // hold texts. Each control is refreshed when a variable it shows changes.
  void FindListsAndDependents() {
    for (const SMovieRowReaction& reaction : m_movie.rowReactions) m_lists[reaction.strList];
    for (const SMovieListEdit& edit : m_movie.listEdits) m_lists[edit.strList];
    for (std::size_t i = 0; i < m_movie.controls.size(); ++i) {
      const SMovieControl& c = m_movie.controls[i];
      if (c.kind == EMovieControlKind::List) m_lists[c.strVariable];
      std::set<std::string> names;
      ExpandMovieText(c.strText, [&names](const std::string& strName) {
        names.insert(strName);
        return std::string();
      });
      if (!c.strVariable.empty()) names.insert(c.strVariable);
      for (const SMovieCondition& condition : c.conditions) names.insert(condition.strVariable);
      for (const std::string& strName : names) m_dependents[strName].push_back(i);
    }
  }

  const CMovieRows* RowsOf(const std::string& strName) const {
    const auto it = m_lists.find(strName);
    return it == m_lists.end() ? nullptr : &it->second;
  }

  std::string Lookup(const std::string& strName) const {
    if (const CMovieRows* pRows = RowsOf(strName)) return pRows->Text();
    const auto it = m_variables.find(strName);
    return it == m_variables.end() ? std::string() : it->second;
  }

  bool HasValue(const std::string& strName) const {
    return m_lists.count(strName) != 0 || m_variables.count(strName) != 0;
  }

  void StoreVariable(const std::string& strName, const std::string& strValue) {
    const auto it = m_lists.find(strName);
    if (it != m_lists.end()) {
      it->second.Assign(strValue);
    } else {
      m_variables[strName] = strValue;
    }
    m_dirty.insert(strName);
  }

  bool IsShown(const SMovieControl& c) const {
    if (!c.strPage.empty() && c.strPage != m_strLabel) return false;
    for (const SMovieCondition& condition : c.conditions) {
      if ((Lookup(condition.strVariable) == condition.strValue) != condition.bEquals) return false;
    }
    return true;
  }

  // Brings every control in line with the variables and the frame label.
  void RefreshAll() {
    m_bRefreshAll = true;
    Refresh();
  }

  // The host's changes wait for the next turn of the message loop, so that the
  // many variables of one push are shown at once. A stage not shown before its
  // first frame (a screen in its start-up) takes them at once: a screen is complete
  // when it shows. A stage hidden later (in the tray) waits like a shown one.
  void RefreshLater() {
    if (!m_bFramePlayed && !::IsWindowVisible(m_hWnd)) {
      Refresh();
      return;
    }
    if (!PostNextFrame()) Refresh();
  }

  // One message per turn carries both the refresh and the queued commands.
  bool PostNextFrame() {
    if (!m_bFramePosted) m_bFramePosted = ::PostMessageA(m_hWnd, WM_PLAYER_NEXT_FRAME, 0, 0) != FALSE;
    return m_bFramePosted;
  }

  // Brings the controls that show a changed variable in line with it.
  void Refresh() {
    std::vector<bool> affected(m_shown.size(), m_bRefreshAll);
    if (!m_bRefreshAll) {
      for (const std::string& strName : m_dirty) {
        const auto it = m_dependents.find(strName);
        if (it == m_dependents.end()) continue;
        for (const std::size_t i : it->second) affected[i] = true;
      }
    }
    m_dirty.clear();
    m_bRefreshAll = false;
    m_bRefreshing = true;
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
      if (affected[i]) RefreshControl(i);
    }
    KeepRadiosReachable(m_movie.controls, m_shown);
    m_bRefreshing = false;
  }

  void RefreshControl(std::size_t i) {
    const SMovieControl& c = m_movie.controls[i];
    const HWND hWnd = m_shown[i].wnd.Get();
    if (c.kind == EMovieControlKind::List) {
      ShowRowCount(i);
    } else {
      ShowControlValue(m_shown[i], c, [this](const std::string& s) { return Lookup(s); });
    }
    const bool bShown = IsShown(c);
    ShowControlIfDifferent(hWnd, bShown);
    if (m_shown[i].arrows.Get()) ShowControlIfDifferent(m_shown[i].arrows.Get(), bShown);
  }

  // A list view asks for the cells it paints; it only needs the count. A new count
  // costs the view a new layout, so while rows keep coming it is given at most
  // every kRowCountIntervalMs; what is left is shown by the next frame or a timer.
  void ShowRowCount(std::size_t i) {
    const HWND hWnd = m_shown[i].wnd.Get();
    const CMovieRows* pRows = RowsOf(m_movie.controls[i].strVariable);
    const int nCount = pRows ? pRows->Count() : 0;
    const int nShownCount = static_cast<int>(::SendMessageA(hWnd, LVM_GETITEMCOUNT, 0, 0));
    if (nCount != nShownCount) {
      const double dNow = StageNowMs();
      // Rows the user removed go at once: the view never shows a row that is gone.
      if (nCount > nShownCount && dNow - m_shown[i].dCountShownMs < kRowCountIntervalMs) {
        if (!m_bRowCountsDue) ::SetTimer(m_hWnd, kRowCountTimerId, kRowCountIntervalMs, nullptr);
        m_bRowCountsDue = true;
        return;
      }
      m_shown[i].dCountShownMs = dNow;
      ::SendMessageA(hWnd, LVM_SETITEMCOUNT, nCount, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    }
    ::InvalidateRect(hWnd, nullptr, FALSE);
  }

  void ShowRowCounts() {
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
      if (m_movie.controls[i].kind == EMovieControlKind::List) ShowRowCount(i);
    }
  }

  void FocusFirst() {
    const HWND hFirst = FirstToFocus(m_movie.controls, m_shown, [this](const SMovieControl& c) { return IsShown(c); });
    if (hFirst) ::SetFocus(hFirst);
  }

  // What the host sets is shown at the next turn of the message loop; what the
  // user changed on the stage at once.
  void SetVariable(const std::string& strName, const std::string& strValue, bool bFromHost) {
    StoreVariable(strName, strValue);
    if (!bFromHost) {
      Refresh();
      return;
    }
    bool bQueued = false;
    for (const SMovieRowReaction& reaction : m_movie.rowReactions) {
      if (reaction.strVariable != strName || (reaction.strValue != "*" && reaction.strValue != strValue)) continue;
      CMovieRows& rows = m_lists[reaction.strList];
      if (reaction.bUpdate) {
        const int nRow = ReadRowNumber(Lookup(reaction.strIndexVariable));
        if (rows.SetCell(nRow, reaction.nColumn, Lookup(reaction.strValueVariable))) m_dirty.insert(reaction.strList);
        continue;
      }
      std::vector<std::string> cells;
      for (const std::string& strItem : reaction.itemVariables) cells.push_back(Lookup(strItem));
      rows.Append(cells);
      m_dirty.insert(reaction.strList);
      // Acknowledged later, as a movie does on its next frame.
      m_queue.push_back(reaction.command);
      bQueued = true;
    }
    for (const SMovieReaction& reaction : m_movie.onSet) {
      if (reaction.strVariable == strName) {
        m_queue.push_back(reaction.command);
        bQueued = true;
      }
    }
    RefreshLater();
    if (bQueued) PostNextFrame();
  }

  std::string GetVariable(const std::string& strName) const { return Lookup(strName); }

  void GotoLabel(const std::string& strTarget, const std::string& strLabel) {
    if (strTarget != "_root") return;
    for (const std::string& strKnown : m_movie.labels) {
      if (strKnown == strLabel) {
        m_strLabel = strLabel;
        RefreshAll();
        FocusFirst();
        return;
      }
    }
  }

  std::string ResolveArgument(const std::string& strArgument, int nSelection) const {
    if (strArgument == "#") return nSelection >= 0 ? std::to_string(nSelection) : std::string("undefined");
    if (strArgument.size() > 1 && strArgument[0] == '$') {
      const std::string strName = strArgument.substr(1);
      return HasValue(strName) ? Lookup(strName) : std::string("undefined");
    }
    return ScalePixelArgument(strArgument, m_nDpi);
  }

  void Send(const SMovieCommand& command, int nSelection = -1) {
    if (command.strCommand.empty() || !m_pfnEvent) return;
    const std::string strArgument = ResolveArgument(command.strArgument, nSelection);
    // The movie's view changes before the host hears the command, so that a row the
    // host sets again while it handles the command (a refused login) keeps its value.
    EditListsFor(command.strCommand, strArgument);
    m_pfnEvent(m_pContext, HWPLAYER_DISPID_FSCOMMAND, command.strCommand.c_str(), strArgument.c_str());
  }

  // The movie's own change of its lists when it sends strCommand ("onsend" lines):
  // the row strArgument names, or the whole list.
  void EditListsFor(const std::string& strCommand, const std::string& strArgument) {
    bool bEdited = false;
    for (const SMovieListEdit& edit : m_movie.listEdits) {
      if (edit.strCommand != strCommand) continue;
      CMovieRows& rows = m_lists[edit.strList];
      const int nRow = ReadRowNumber(strArgument);
      bool bChanged = false;
      switch (edit.eEdit) {
        case EMovieListEdit::RemoveRow:
          bChanged = rows.RemoveRow(nRow);
          break;
        case EMovieListEdit::Clear:
          bChanged = rows.Count() > 0;
          rows.Assign(std::string());
          break;
        case EMovieListEdit::SetCell:
          bChanged = rows.SetCell(nRow, edit.nColumn, edit.strValue);
          break;
      }
      if (!bChanged) continue;
      m_dirty.insert(edit.strList);
      if (edit.eEdit != EMovieListEdit::SetCell) ForgetSelection(edit.strList);
      bEdited = true;
    }
    if (bEdited) Refresh();
  }

  // Rows went: no row stays chosen, so a button names no row until the user picks
  // one, and the list's command tells the host that none is chosen ("undefined").
  void ForgetSelection(const std::string& strList) {
    m_variables.erase(strList + ".selected");
    m_dirty.insert(strList + ".selected");
    for (std::size_t i = 0; i < m_movie.controls.size(); ++i) {
      const SMovieControl& c = m_movie.controls[i];
      if (c.kind != EMovieControlKind::List || c.strVariable != strList) continue;
      LVITEMA item = {};
      item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      ::SendMessageA(m_shown[i].wnd.Get(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
      m_queue.push_back(c.command);
    }
    PostNextFrame();
  }

  // What the host set shows before the movie answers it. An answer the host meets
  // with the next row is answered in the same frame, for a short while: a feed of
  // thousands of rows takes few turns of the message loop, and a request waiting
  // for this thread is not held long.
  void PlayFrame() {
    m_bFramePlayed = true;
    Refresh();
    if (m_bRowCountsDue) ShowRowCounts();
    const double dEnd = StageNowMs() + kFrameBudgetMs;
    do {
      SendQueued();
    } while (!m_queue.empty() && StageNowMs() < dEnd);
    if (!m_queue.empty()) PostNextFrame();
  }

  void SendQueued() {
    // The host may load another movie from inside a command: take the queue first.
    std::vector<SMovieCommand> queue;
    queue.swap(m_queue);
    for (const SMovieCommand& command : queue) Send(command);
  }

  std::size_t FindControl(int nId) const {
    for (std::size_t i = 0; i < m_movie.controls.size(); ++i) {
      if (m_movie.controls[i].nId == nId) return i;
    }
    return m_movie.controls.size();
  }

  void OnCommand(int nId, int nCode) {
    const std::size_t i = FindControl(nId);
    if (i >= m_movie.controls.size() || m_bRefreshing) return;
    const SMovieControl c = m_movie.controls[i];  // a command may load another movie
    switch (c.kind) {
      case EMovieControlKind::Button:
        if (nCode == BN_CLICKED) Send(c.command);
        break;
      case EMovieControlKind::Check:
        if (nCode == BN_CLICKED) {
          SetVariable(c.strVariable, Lookup(c.strVariable) == c.strValue ? c.strOffValue : c.strValue, false);
          Send(c.command);
        }
        break;
      case EMovieControlKind::Radio:
        if (nCode == BN_CLICKED) {
          SetVariable(c.strVariable, c.strValue, false);
          Send(c.command);
        }
        break;
      case EMovieControlKind::Input:
      case EMovieControlKind::Password:
      case EMovieControlKind::Stepper:
        if (nCode == EN_CHANGE) {
          SetVariable(c.strVariable, ControlText(m_shown[i].wnd.Get()), false);
          Send(c.command);
        }
        break;
      case EMovieControlKind::Choice:
        if (nCode == CBN_SELCHANGE) Choose(i);
        break;
      default:
        break;
    }
  }

  // Tabs and choices set their variable to what the user chose, then send.
  void Choose(std::size_t i) {
    const SMovieControl c = m_movie.controls[i];
    const std::string strValue = ChosenValue(m_shown[i], c);
    if (strValue.empty()) return;
    SetVariable(c.strVariable, strValue, false);
    Send(c.command);
  }

  void OnDrawItem(const DRAWITEMSTRUCT* pItem) {
    const std::size_t i = pItem ? FindControl(static_cast<int>(pItem->CtlID)) : m_movie.controls.size();
    if (i < m_movie.controls.size()) DrawMovieItem(*pItem, m_movie.controls[i], Fonts(), m_paint.Background());
  }

  LRESULT OnNotify(const NMHDR* pHeader) {
    if (!pHeader) return 0;
    const std::size_t i = FindControl(static_cast<int>(pHeader->idFrom));
    if (i >= m_movie.controls.size()) return 0;
    const SMovieControl& c = m_movie.controls[i];
    if (pHeader->code == LVN_GETDISPINFOA || pHeader->code == LVN_GETDISPINFOW) {
      FillListCell(pHeader, RowsOf(c.strVariable));
      return 0;
    }
    if (pHeader->code == NM_CUSTOMDRAW && c.kind == EMovieControlKind::List) {
      return DrawListParts(*reinterpret_cast<const NMCUSTOMDRAW*>(pHeader), c.strEmptyText, Fonts().hText);
    }
    if ((pHeader->code == NM_SETFOCUS || pHeader->code == NM_KILLFOCUS) && c.kind == EMovieControlKind::List) {
      const RECT rcRing = ListFocusRing(pHeader->hwndFrom);
      ::InvalidateRect(m_hWnd, &rcRing, TRUE);
      return 0;
    }
    if (m_bRefreshing) return 0;
    if (pHeader->code == TCN_SELCHANGE) {
      Choose(i);
      return 0;
    }
    if (pHeader->code != LVN_ITEMCHANGED) return 0;
    const NMLISTVIEW* pChange = reinterpret_cast<const NMLISTVIEW*>(pHeader);
    if (!(pChange->uChanged & LVIF_STATE) || !(pChange->uNewState & LVIS_SELECTED)) return 0;
    const SMovieControl copy = c;  // a command may load another movie
    SetVariable(copy.strVariable + ".selected", std::to_string(pChange->iItem), false);
    Send(copy.command, pChange->iItem);
    return 0;
  }

  HWND m_hWnd;
  HINSTANCE m_hInstance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(m_hWnd, GWLP_HINSTANCE));
  HwPlayerEventProc m_pfnEvent;
  void* m_pContext;
  SStageFonts Fonts() const { return m_fonts.Get(); }

  int m_nDpi;
  CStageFontSet m_fonts;
  CStagePaint m_paint;
  SMovie m_movie;
  std::map<std::string, std::string> m_variables;
  std::map<std::string, CMovieRows> m_lists;
  std::unordered_map<std::string, std::vector<std::size_t>> m_dependents;  // controls by variable shown
  std::set<std::string> m_dirty;                                           // variables changed since the last refresh
  bool m_bRefreshAll = false;
  bool m_bFramePosted = false;
  bool m_bRowCountsDue = false;
  bool m_bFramePlayed = false;  // since the movie was loaded
  std::string m_strLabel;
  std::vector<SShownControl> m_shown;
  std::vector<SMovieCommand> m_queue;
  CDestroyWindow m_error;
  bool m_bRefreshing = false;
};

}  // namespace

IStagePlayer* NewStagePlayer(HWND hWnd, HwPlayerEventProc pfnEvent, void* pContext) {
  return new CPlayer(hWnd, pfnEvent, pContext);
}
