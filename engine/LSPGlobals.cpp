// CLSPGlobals: the class itself, its static data, and the link to the console and
// the socket catalogue.
#include "engine/LSPGlobals.h"

#include <cstring>

#include "definitions/DefinitionsLayout.h"
#include "engine/ProviderName.h"
#include "shared/EngineRequest.h"
#include "shared/OwnedResources_win.h"

char CLSPGlobals::szAppPath[261] = "";
char CLSPGlobals::szDBPath[261] = "";
char CLSPGlobals::szPMailPath[261] = "";
char CLSPGlobals::szMsg[261] = "";
HKEY CLSPGlobals::hAppRegKey = nullptr;
HWND CLSPGlobals::hMainWnd = nullptr;

const char* const CLSPGlobals::szHostIPSec = kDefinitionLists[0].szSection;
const char* const CLSPGlobals::szHostLinkSec = kDefinitionLists[1].szSection;
const char* const CLSPGlobals::szUrlSec = kDefinitionLists[2].szSection;
const char* const CLSPGlobals::szFromSec = kDefinitionLists[4].szSection;
const char* const CLSPGlobals::szSubjectSec = kDefinitionLists[5].szSection;
const char* const CLSPGlobals::szTextSec = kDefinitionLists[6].szSection;
static_assert(kDefinitionLists[0].list == EDefinitionList::HostIP &&
                  kDefinitionLists[1].list == EDefinitionList::HostLink &&
                  kDefinitionLists[2].list == EDefinitionList::CalledLink &&
                  kDefinitionLists[4].list == EDefinitionList::From &&
                  kDefinitionLists[5].list == EDefinitionList::Subject &&
                  kDefinitionLists[6].list == EDefinitionList::Text,
              "section names in the layout's order");

CLSPGlobals::CLSPGlobals() = default;
CLSPGlobals::CLSPGlobals(const CLSPGlobals&) {}
CLSPGlobals& CLSPGlobals::operator=(const CLSPGlobals&) {
  return *this;
}
CLSPGlobals::~CLSPGlobals() = default;

HWND CLSPGlobals::GetMainWndHandle() {
  // Any thread may look at once (the web guard does from every connection): the
  // stored handle is written whole and the caller gets what it found itself.
  const HWND hFound = ::FindWindowA(nullptr, REQUEST_WINDOW_TITLE);
  __atomic_store_n(&hMainWnd, hFound, __ATOMIC_RELEASE);
  return hFound;
}

LPWSAPROTOCOL_INFOW CLSPGlobals::GetProviders(int* pnCount) {
  *pnCount = 0;
  DWORD cbNeeded = 0;
  int nError = 0;
  if (::WSCEnumProtocols(nullptr, nullptr, &cbNeeded, &nError) == SOCKET_ERROR && nError != WSAENOBUFS) {
    return nullptr;
  }
  CGlobalFree block(::GlobalAlloc(GPTR, cbNeeded));
  if (!block) return nullptr;
  auto* pProviders = static_cast<LPWSAPROTOCOL_INFOW>(block.Get());
  const int nResult = ::WSCEnumProtocols(nullptr, pProviders, &cbNeeded, &nError);
  *pnCount = nResult;
  if (nResult == SOCKET_ERROR) {
    *pnCount = 0;  // no records to walk in a block the caller never sees
    return nullptr;
  }
  return static_cast<LPWSAPROTOCOL_INFOW>(block.Detach());  // the caller frees it with GlobalFree
}

bool CLSPGlobals::IsLSPInstalled(const char* szProviderName) {
  int nCount = 0;
  CGlobalFree block(GetProviders(&nCount));
  const auto* pProviders = static_cast<const WSAPROTOCOL_INFOW*>(block.Get());
  if (!pProviders || !szProviderName) return false;
  for (int i = 0; i < nCount; ++i) {
    const WSAPROTOCOL_INFOW& info = pProviders[i];
    char16_t wszName[WSAPROTOCOL_LEN + 1];
    for (int c = 0; c <= WSAPROTOCOL_LEN; ++c) wszName[c] = static_cast<char16_t>(info.szProtocol[c]);
    if (IsSameProviderName(wszName, WSAPROTOCOL_LEN + 1, szProviderName)) return true;
  }
  return false;
}

void CLSPGlobals::DisplayError() {
  const DWORD dwError = ::GetLastError();
  char* szText = nullptr;
  ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&szText), 0, nullptr);
  CLocalFree text(szText);
  ::MessageBoxA(nullptr, szText ? szText : "", "", MB_OK);
}
