#include "console/screens/Splash_win.h"

#include "console/screens/FlashScreenDlg_win.h"
#include "console/screens/SplashPlayerApi_win.h"
#include "shared/OwnedResources_win.h"

namespace {

constexpr int kSplashControlId = 2028;
// Where the main window's template places the control, in dialog units.
constexpr RECT kSplashDialogRect = {167, 207, 167 + 21, 207 + 20};

struct SSplashLibrary {
  HwSplashCreateProc pfnCreate = nullptr;
  HwSplashInvokeProc pfnInvoke = nullptr;
};

// Loaded once, from the application folder only, and kept for the process.
const SSplashLibrary& LoadSplashLibrary(const char* szFolder) {
  static SSplashLibrary library;
  if (library.pfnCreate) return library;
  const std::string strPath = std::string(szFolder ? szFolder : "") + "\\" + HWSPLASH_LIBRARY;
  CFreeLibrary module(::LoadLibraryExA(strPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!module) return library;
  library.pfnCreate = reinterpret_cast<HwSplashCreateProc>(
      reinterpret_cast<void (*)()>(::GetProcAddress(module.Get(), HWSPLASH_CREATE)));
  library.pfnInvoke = reinterpret_cast<HwSplashInvokeProc>(
      reinterpret_cast<void (*)()>(::GetProcAddress(module.Get(), HWSPLASH_INVOKE)));
  if (!library.pfnCreate || !library.pfnInvoke) {
    library = SSplashLibrary();  // the owner unloads the library
    return library;
  }
  module.Detach();
  return library;
}

}  // namespace

bool CSplash::Play(HWND hParent, const char* szAppFolder) {
  const SSplashLibrary& library = LoadSplashLibrary(szAppFolder);
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
