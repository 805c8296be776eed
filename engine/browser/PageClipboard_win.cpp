// The clipboard path of the page text.
#include "engine/browser/PageClipboard_win.h"

#include <cstring>

#include "shared/OwnedResources_win.h"

namespace {

HRESULT RunCommand(IHTMLDocument2* pDocument, const wchar_t* wszCommand) {
  CSysFreeString command(::SysAllocString(wszCommand));
  if (!command) return E_OUTOFMEMORY;
  VARIANT value;
  ::VariantInit(&value);
  VARIANT_BOOL bDone = VARIANT_FALSE;
  return pDocument->execCommand(command.Get(), VARIANT_FALSE, value, &bDone);
}

// The clipboard opened for the life of a scope.
class CCloseClipboard {
 public:
  explicit CCloseClipboard(HWND hOwner) : m_bOpen(::OpenClipboard(hOwner) != FALSE) {}
  ~CCloseClipboard() {
    if (m_bOpen) ::CloseClipboard();
  }
  CCloseClipboard(const CCloseClipboard&) = delete;
  CCloseClipboard& operator=(const CCloseClipboard&) = delete;
  bool IsOpen() const { return m_bOpen; }

 private:
  bool m_bOpen;
};

// Reads one text format of the open clipboard, never beyond its memory block.
template <class TChar>
bool ReadClipboardText(UINT uFormat, std::basic_string<TChar>& str) {
  const HANDLE hData = ::GetClipboardData(uFormat);
  if (!hData) return false;
  CGlobalUnlock locked(hData);
  const auto* p = static_cast<const TChar*>(locked.Get());
  if (!p) return false;
  const std::size_t nMax = ::GlobalSize(hData) / sizeof(TChar);
  std::size_t n = 0;
  while (n < nMax && p[n] != 0) ++n;
  str.assign(p, n);
  return true;
}

// The user's text on the clipboard before the page's copy replaces it.
struct SSavedClipboard {
  bool bHasText = false;
  std::wstring wstrText;
};

SSavedClipboard SaveClipboardText(HWND hOwner) {
  SSavedClipboard saved;
  CCloseClipboard clipboard(hOwner);
  if (clipboard.IsOpen() && ::IsClipboardFormatAvailable(CF_UNICODETEXT)) {
    saved.bHasText = ReadClipboardText(CF_UNICODETEXT, saved.wstrText);
  }
  return saved;
}

// Puts the saved text back on the open clipboard, which was just emptied.
void RestoreClipboardText(const SSavedClipboard& saved) {
  if (!saved.bHasText) return;
  const std::size_t cb = (saved.wstrText.size() + 1) * sizeof(wchar_t);
  CGlobalFree block(::GlobalAlloc(GMEM_MOVEABLE, cb));
  if (!block) return;
  {
    CGlobalUnlock locked(block.Get());
    if (!locked.Get()) return;
    std::memcpy(locked.Get(), saved.wstrText.c_str(), cb);
  }
  if (::SetClipboardData(CF_UNICODETEXT, block.Get())) static_cast<void>(block.Detach());  // the clipboard owns it now
}

}  // namespace

bool CopyPageTextThroughClipboard(IHTMLDocument2* pDocument, std::string& strText, bool& bHaveText) {
  bHaveText = false;
  // A clipboard emptied by a window-less opener cannot take data, so a hidden
  // message-only window owns it while the user's text is put back.
  CDestroyWindow owner(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  const SSavedClipboard saved = SaveClipboardText(owner.Get());

  if (FAILED(RunCommand(pDocument, L"Unselect"))) return false;
  if (FAILED(RunCommand(pDocument, L"SelectAll"))) {
    RunCommand(pDocument, L"Unselect");
    return false;
  }
  if (FAILED(RunCommand(pDocument, L"Copy"))) return false;
  RunCommand(pDocument, L"Unselect");

  CCloseClipboard clipboard(owner.Get());
  if (!clipboard.IsOpen()) return true;  // go on without text
  bool bCopied = true;
  if (::IsClipboardFormatAvailable(CF_TEXT)) {
    bCopied = ReadClipboardText(CF_TEXT, strText);
    bHaveText = bCopied;
  }
  // The page's copy leaves the clipboard; the user's text comes back.
  ::EmptyClipboard();
  RestoreClipboardText(saved);
  return bCopied;
}
