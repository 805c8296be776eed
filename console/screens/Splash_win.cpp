#include "console/screens/Splash_win.h"

#include "console/screens/FlashScreenDlg_win.h"
#include "console/screens/PlayerLibrary_win.h"
#include "console/screens/SplashPlayerApi_win.h"
#include "shared/OwnedResources_win.h"

namespace {

constexpr int kSplashControlId = 2028;
// Where the main window's template places the control, in dialog units.
constexpr RECT kSplashDialogRect = {167, 207, 167 + 21, 207 + 20};

using SSplashLibrary = SPlayerEntryPoints<HwSplashCreateProc, HwSplashInvokeProc>;

}  // namespace

bool CSplash::Play(HWND hParent, const char* szAppFolder) {
  const SSplashLibrary& library =
      LoadPlayerLibrary<SSplashLibrary>(szAppFolder, HWSPLASH_LIBRARY, HWSPLASH_CREATE, HWSPLASH_INVOKE);
  if (!library.pfnCreate) return false;
  RECT rc = kSplashDialogRect;
  ::MapDialogRect(hParent, &rc);
  m_hWnd = library.pfnCreate(hParent, kSplashControlId, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
  if (!m_hWnd) return false;
  const std::string strMovie = BuildMoviePath(szAppFolder, "HWSplsh", ".hws");
  library.pfnInvoke(m_hWnd, HWSPLASH_DISPID_MOVIE, strMovie.c_str(), 0);
  library.pfnInvoke(m_hWnd, HWSPLASH_DISPID_FRAME, nullptr, 0);
  library.pfnInvoke(m_hWnd, HWSPLASH_DISPID_LOOP, nullptr, FALSE);
  return true;
}
