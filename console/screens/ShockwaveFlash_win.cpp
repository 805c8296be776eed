#include "console/screens/ShockwaveFlash_win.h"

#include <vector>

#include "console/screens/MoviePlayerApi_win.h"
#include "console/screens/PlayerLibrary_win.h"
#include "shared/OwnedResources_win.h"

namespace {

using SPlayerLibrary = SPlayerEntryPoints<HwPlayerCreateProc, HwPlayerInvokeProc>;

const SPlayerLibrary* g_pLibrary = nullptr;

}  // namespace

bool CShockwaveFlash::Create(HWND hParent, int nId, const RECT& rc, const char* szLibraryFolder,
                             IFlashEvents* pEvents) {
  m_pEvents = pEvents;
  const SPlayerLibrary& library =
      LoadPlayerLibrary<SPlayerLibrary>(szLibraryFolder, HWPLAYER_LIBRARY, HWPLAYER_CREATE, HWPLAYER_INVOKE);
  if (!library.pfnCreate) return false;
  g_pLibrary = &library;
  m_hWnd = library.pfnCreate(hParent, nId, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, &OnEvent, this);
  return m_hWnd != nullptr;
}

void CALLBACK CShockwaveFlash::OnEvent(void* pContext, long nDispId, const char* szCommand, const char* szArgs) {
  auto* pThis = static_cast<CShockwaveFlash*>(pContext);
  if (nDispId != HWPLAYER_DISPID_FSCOMMAND || !pThis || !pThis->m_pEvents) return;
  pThis->m_pEvents->OnFSCommand(szCommand ? szCommand : "", szArgs ? szArgs : "");
}

long CShockwaveFlash::Invoke(long nDispId, const char* szFirst, const char* szSecond, long nValue, char* szResult,
                             long cbResult) {
  if (!m_hWnd || !g_pLibrary || !::IsWindow(m_hWnd)) return -1;
  return g_pLibrary->pfnInvoke(m_hWnd, nDispId, szFirst, szSecond, nValue, szResult, cbResult);
}

void CShockwaveFlash::PutMovie(const std::string& strPath) {
  Invoke(HWPLAYER_DISPID_MOVIE, strPath.c_str(), nullptr, 0, nullptr, 0);
}

void CShockwaveFlash::PutScale(const std::string& strScale) {
  Invoke(HWPLAYER_DISPID_SCALE, strScale.c_str(), nullptr, 0, nullptr, 0);
}

void CShockwaveFlash::PutAlignMode(long nAlignMode) {
  Invoke(HWPLAYER_DISPID_ALIGNMODE, nullptr, nullptr, nAlignMode, nullptr, 0);
}

void CShockwaveFlash::PutBackgroundColor(long nColor) {
  Invoke(HWPLAYER_DISPID_BACKGROUNDCOLOR, nullptr, nullptr, nColor, nullptr, 0);
}

void CShockwaveFlash::SetVariable(const std::string& strName, const std::string& strValue) {
  Invoke(HWPLAYER_DISPID_SETVARIABLE, strName.c_str(), strValue.c_str(), 0, nullptr, 0);
}

std::string CShockwaveFlash::GetVariable(const std::string& strName) {
  std::vector<char> buffer(262);
  for (;;) {
    const long nLength = Invoke(HWPLAYER_DISPID_GETVARIABLE, strName.c_str(), nullptr, 0, buffer.data(),
                                static_cast<long>(buffer.size()));
    if (nLength < 0) return std::string();
    if (static_cast<std::size_t>(nLength) < buffer.size()) return std::string(buffer.data(), nLength);
    buffer.resize(static_cast<std::size_t>(nLength) + 1);
  }
}

void CShockwaveFlash::TGotoLabel(const std::string& strTarget, const std::string& strLabel) {
  Invoke(HWPLAYER_DISPID_TGOTOLABEL, strTarget.c_str(), strLabel.c_str(), 0, nullptr, 0);
}
