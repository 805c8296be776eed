// HTMLSourceParser: identity, site, event connection and event handling. The
// page scan itself is in ScanMailPage_win.cpp.
#include "engine/browser/HTMLSourceParser_win.h"

#include <exdispid.h>

#include <new>
#include <utility>

#include "engine/LSPGlobals.h"
#include "engine/browser/ComModule_win.h"
#include "shared/BoundaryGuard.h"

namespace {

// Holds a reference to the object for the length of a call that may end the
// browser's own references (an unadvise, a long scan).
class CKeepAlive {
 public:
  explicit CKeepAlive(IUnknown* p) : m_p(p) { m_p->AddRef(); }
  ~CKeepAlive() { m_p->Release(); }
  CKeepAlive(const CKeepAlive&) = delete;
  CKeepAlive& operator=(const CKeepAlive&) = delete;

 private:
  IUnknown* m_p;
};

// The frame object of a navigation event: its first argument. Arguments arrive
// in reverse order.
const IDispatch* EventFrame(const DISPPARAMS& params) {
  if (params.cArgs == 0 || !params.rgvarg) return nullptr;
  const VARIANT& arg = params.rgvarg[params.cArgs - 1];
  if (arg.vt == VT_DISPATCH) return arg.pdispVal;
  if (arg.vt == (VT_DISPATCH | VT_BYREF) && arg.ppdispVal) return *arg.ppdispVal;
  return nullptr;
}

}  // namespace

bool CHTMLSourceParser::IsSiteBrowser(const IDispatch* pFrame) const {
  if (!pFrame || !m_spWebBrowser2) return false;
  // COM identity: the same object answers IUnknown with the same pointer.
  CComRelease<IUnknown> spFrame;
  CComRelease<IUnknown> spBrowser;
  return SUCCEEDED(const_cast<IDispatch*>(pFrame)->QueryInterface(IID_IUnknown, spFrame.ReceiveVoid())) &&
         SUCCEEDED(m_spWebBrowser2->QueryInterface(IID_IUnknown, spBrowser.ReceiveVoid())) &&
         spFrame.Get() == spBrowser.Get();
}

CHTMLSourceParser::CHTMLSourceParser() {
  ComModule::AddObject();
}

CHTMLSourceParser::~CHTMLSourceParser() {
  ComModule::ReleaseObject();
}

HRESULT CHTMLSourceParser::CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (pOuter) return CLASS_E_NOAGGREGATION;
  CHTMLSourceParser* pObject = new (std::nothrow) CHTMLSourceParser();
  if (!pObject) return E_OUTOFMEMORY;
  const HRESULT hr = pObject->QueryInterface(riid, ppv);
  pObject->Release();  // the creation's own reference
  return hr;
}

STDMETHODIMP CHTMLSourceParser::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IObjectWithSite)) {
    *ppv = static_cast<IObjectWithSite*>(this);
  } else if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IHTMLSourceParser) ||
             IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
    // The dual interface's IDispatch is also the event sink.
    *ppv = static_cast<IHTMLSourceParser*>(this);
  } else {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CHTMLSourceParser::AddRef() {
  return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) CHTMLSourceParser::Release() {
  const LONG nRefs = ::InterlockedDecrement(&m_nRefs);
  if (nRefs == 0) delete this;
  return static_cast<ULONG>(nRefs);
}

STDMETHODIMP CHTMLSourceParser::SetSite(IUnknown* pUnkSite) {
  return RunGuarded<HRESULT>(E_OUTOFMEMORY, E_FAIL, [&] { return AttachSite(pUnkSite); });
}

HRESULT CHTMLSourceParser::AttachSite(IUnknown* pUnkSite) {
  m_spWebBrowser2.Reset();
  if (!pUnkSite) {
    // Detached: let go of the browser's events too, or the connection would keep
    // this object (and the library) alive for good.
    if (m_dwCookie) DisconnectEvents();
    m_spConnectionPoints.Reset();
    m_pTopFrame = nullptr;
    return E_INVALIDARG;
  }
  CComRelease<IWebBrowser2> spBrowser;
  if (FAILED(pUnkSite->QueryInterface(IID_IWebBrowser2, spBrowser.ReceiveVoid())) || !spBrowser) {
    return E_INVALIDARG;
  }
  m_spWebBrowser2 = std::move(spBrowser);
  // A new site replaces the old one: its connection ends first.
  if (m_dwCookie) DisconnectEvents();
  m_pTopFrame = nullptr;
  if (FAILED(m_spWebBrowser2->QueryInterface(IID_IConnectionPointContainer, m_spConnectionPoints.ReceiveVoid())) ||
      !m_spConnectionPoints) {
    m_spConnectionPoints.Reset();
    return E_POINTER;
  }
  return ConnectEvents();
}

STDMETHODIMP CHTMLSourceParser::GetSite(REFIID, void** ppvSite) {
  if (ppvSite) *ppvSite = nullptr;
  return E_FAIL;  // the site is not kept
}

HRESULT CHTMLSourceParser::ConnectEvents() {
  if (!m_spConnectionPoints) return E_POINTER;
  CComRelease<IConnectionPoint> spPoint;
  HRESULT hr = m_spConnectionPoints->FindConnectionPoint(DIID_DWebBrowserEvents2, spPoint.Receive());
  if (FAILED(hr)) return hr;
  if (!spPoint) return E_POINTER;
  DWORD dwCookie = 0;
  hr = spPoint->Advise(static_cast<IHTMLSourceParser*>(this), &dwCookie);
  if (FAILED(hr)) return hr;
  m_dwCookie = dwCookie;
  return S_OK;
}

HRESULT CHTMLSourceParser::DisconnectEvents() {
  if (!m_spConnectionPoints) return E_POINTER;
  CKeepAlive keep(static_cast<IObjectWithSite*>(this));
  CComRelease<IConnectionPoint> spPoint;
  HRESULT hr = m_spConnectionPoints->FindConnectionPoint(DIID_DWebBrowserEvents2, spPoint.Receive());
  if (FAILED(hr)) return hr;
  if (!spPoint) return E_POINTER;
  hr = spPoint->Unadvise(m_dwCookie);
  if (SUCCEEDED(hr)) m_dwCookie = 0;
  return hr;
}

void CHTMLSourceParser::OnDocumentComplete() {
  // Every scan looks the console's window up again: it may have started or
  // restarted since the last page.
  if (CLSPGlobals::InitializeAppVars()) ScanMailPage();
}

void CHTMLSourceParser::OnQuit() {
  DisconnectEvents();
}

HRESULT CHTMLSourceParser::LoadTypeInfo() {
  if (m_spTypeInfo) return S_OK;
  wchar_t wszPath[261];
  if (!ComModule::GetModulePathW(wszPath)) return TYPE_E_CANTLOADLIBRARY;
  CComRelease<ITypeLib> spTypeLib;
  HRESULT hr = ::LoadTypeLibEx(wszPath, REGKIND_NONE, spTypeLib.Receive());
  if (FAILED(hr)) return hr;
  return spTypeLib->GetTypeInfoOfGuid(IID_IHTMLSourceParser, m_spTypeInfo.Receive());
}

STDMETHODIMP CHTMLSourceParser::GetTypeInfoCount(UINT* pctinfo) {
  if (!pctinfo) return E_POINTER;
  *pctinfo = 1;
  return S_OK;
}

STDMETHODIMP CHTMLSourceParser::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) {
  if (!ppTInfo) return E_POINTER;
  *ppTInfo = nullptr;
  if (iTInfo != 0) return DISP_E_BADINDEX;
  const HRESULT hr = LoadTypeInfo();
  if (FAILED(hr)) return hr;
  m_spTypeInfo->AddRef();
  *ppTInfo = m_spTypeInfo.Get();
  return S_OK;
}

STDMETHODIMP CHTMLSourceParser::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!rgszNames || !rgDispId) return E_POINTER;
  const HRESULT hr = LoadTypeInfo();
  if (FAILED(hr)) return hr;
  return ::DispGetIDsOfNames(m_spTypeInfo.Get(), rgszNames, cNames, rgDispId);
}

STDMETHODIMP CHTMLSourceParser::Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS* pDispParams, VARIANT*,
                                       EXCEPINFO*, UINT*) {
  // A page too large for memory ends its own scan, not the browser.
  return RunGuarded<HRESULT>(E_OUTOFMEMORY, E_FAIL, [&] { return HandleEvent(dispIdMember, pDispParams); });
}

HRESULT CHTMLSourceParser::HandleEvent(DISPID dispIdMember, DISPPARAMS* pDispParams) {
  if (!pDispParams) return E_INVALIDARG;
  CKeepAlive keep(static_cast<IObjectWithSite*>(this));
  switch (dispIdMember) {
    case DISPID_NAVIGATECOMPLETE2:
      // Only the site's own browser is the top-level frame: an inner frame that
      // navigates on its own (a reloading advertisement, say) would otherwise
      // rescan the page and alert again.
      if (!m_pTopFrame && IsSiteBrowser(EventFrame(*pDispParams))) m_pTopFrame = EventFrame(*pDispParams);
      break;
    case DISPID_DOCUMENTCOMPLETE:
      if (m_pTopFrame && EventFrame(*pDispParams) == m_pTopFrame) {
        OnDocumentComplete();
        m_pTopFrame = nullptr;
      }
      break;
    case DISPID_ONQUIT:
      OnQuit();
      break;
    default:
      break;
  }
  return S_OK;
}
