/* The test browser. Every vtable slot that the object never calls answers
 * E_NOTIMPL through one shared function: under the x64 calling convention the
 * caller cleans up the arguments, so a slot may take fewer than it is passed. */
#define COBJMACROS
#include "browser/TestBrowser_win.h"

#include <mshtml.h>
#include <ocidl.h>
#include <olectl.h>
#include <stddef.h>
#include <string.h>
#include <wchar.h>

typedef struct STestBrowser {
  IWebBrowser2 browser;
  IConnectionPointContainer points;
  IConnectionPoint point;
  IHTMLDocument2 document;
  IHTMLElement body;
  LONG nRefs; /* one count for all parts */
  STestPage page;
  STestBrowserRecord record;
} STestBrowser;

#define FROM_PART(p, part) ((STestBrowser*)((char*)(p)-offsetof(STestBrowser, part)))

static HRESULT STDMETHODCALLTYPE NotImplemented(void* pThis) {
  (void)pThis;
  return E_NOTIMPL;
}

static void FillNotImplemented(void* pVtbl, size_t cbVtbl) {
  void** ppSlots = (void**)pVtbl;
  for (size_t i = 0; i < cbVtbl / sizeof(void*); ++i) ppSlots[i] = (void*)NotImplemented;
}

static ULONG AddRefAll(STestBrowser* p) {
  return (ULONG)InterlockedIncrement(&p->nRefs);
}

static ULONG ReleaseAll(STestBrowser* p) {
  const LONG nRefs = InterlockedDecrement(&p->nRefs);
  if (nRefs == 0) {
    if (p->record.pSink) IDispatch_Release(p->record.pSink);
    HeapFree(GetProcessHeap(), 0, p);
  }
  return (ULONG)nRefs;
}

static HRESULT Answer(STestBrowser* p, void* pPart, void** ppv) {
  *ppv = pPart;
  AddRefAll(p);
  return S_OK;
}

/* The browser and the container share one identity. */
static HRESULT QueryBrowser(STestBrowser* p, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, &IID_IUnknown) || IsEqualIID(riid, &IID_IDispatch) || IsEqualIID(riid, &IID_IWebBrowser) ||
      IsEqualIID(riid, &IID_IWebBrowserApp) || IsEqualIID(riid, &IID_IWebBrowser2)) {
    return Answer(p, &p->browser, ppv);
  }
  if (IsEqualIID(riid, &IID_IConnectionPointContainer) && !p->page.bNoConnectionPoints) {
    return Answer(p, &p->points, ppv);
  }
  *ppv = NULL;
  return E_NOINTERFACE;
}

/* --- IWebBrowser2 --- */
static HRESULT STDMETHODCALLTYPE Browser_QueryInterface(IWebBrowser2* This, REFIID riid, void** ppv) {
  return QueryBrowser(FROM_PART(This, browser), riid, ppv);
}
static ULONG STDMETHODCALLTYPE Browser_AddRef(IWebBrowser2* This) {
  return AddRefAll(FROM_PART(This, browser));
}
static ULONG STDMETHODCALLTYPE Browser_Release(IWebBrowser2* This) {
  return ReleaseAll(FROM_PART(This, browser));
}
static HRESULT STDMETHODCALLTYPE Browser_get_Document(IWebBrowser2* This, IDispatch** ppDisp) {
  STestBrowser* p = FROM_PART(This, browser);
  ++p->record.nGetDocument;
  *ppDisp = (IDispatch*)&p->document;
  AddRefAll(p);
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE Browser_Stop(IWebBrowser2* This) {
  ++FROM_PART(This, browser)->record.nStop;
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE Browser_GoBack(IWebBrowser2* This) {
  STestBrowser* p = FROM_PART(This, browser);
  ++p->record.nGoBack;
  return p->page.bGoBackFails ? E_FAIL : S_OK;
}
static HRESULT STDMETHODCALLTYPE Browser_Refresh(IWebBrowser2* This) {
  ++FROM_PART(This, browser)->record.nRefresh;
  return S_OK;
}

/* --- IConnectionPointContainer --- */
static HRESULT STDMETHODCALLTYPE Points_QueryInterface(IConnectionPointContainer* This, REFIID riid, void** ppv) {
  return QueryBrowser(FROM_PART(This, points), riid, ppv);
}
static ULONG STDMETHODCALLTYPE Points_AddRef(IConnectionPointContainer* This) {
  return AddRefAll(FROM_PART(This, points));
}
static ULONG STDMETHODCALLTYPE Points_Release(IConnectionPointContainer* This) {
  return ReleaseAll(FROM_PART(This, points));
}
static HRESULT STDMETHODCALLTYPE Points_FindConnectionPoint(IConnectionPointContainer* This, REFIID riid,
                                                            IConnectionPoint** ppPoint) {
  STestBrowser* p = FROM_PART(This, points);
  if (!IsEqualIID(riid, &DIID_DWebBrowserEvents2)) {
    *ppPoint = NULL;
    return CONNECT_E_NOCONNECTION;
  }
  *ppPoint = &p->point;
  AddRefAll(p);
  return S_OK;
}

/* --- IConnectionPoint: one sink at a time, cookie 1 --- */
static HRESULT STDMETHODCALLTYPE Point_QueryInterface(IConnectionPoint* This, REFIID riid, void** ppv) {
  STestBrowser* p = FROM_PART(This, point);
  if (IsEqualIID(riid, &IID_IUnknown) || IsEqualIID(riid, &IID_IConnectionPoint)) return Answer(p, This, ppv);
  *ppv = NULL;
  return E_NOINTERFACE;
}
static ULONG STDMETHODCALLTYPE Point_AddRef(IConnectionPoint* This) {
  return AddRefAll(FROM_PART(This, point));
}
static ULONG STDMETHODCALLTYPE Point_Release(IConnectionPoint* This) {
  return ReleaseAll(FROM_PART(This, point));
}
static HRESULT STDMETHODCALLTYPE Point_Advise(IConnectionPoint* This, IUnknown* pSink, DWORD* pdwCookie) {
  STestBrowser* p = FROM_PART(This, point);
  IDispatch* pDispatch = NULL;
  if (p->record.pSink) return CONNECT_E_ADVISELIMIT;
  /* Like the web browser, the connection asks the sink for its event interface. */
  if (FAILED(IUnknown_QueryInterface(pSink, &IID_IDispatch, (void**)&pDispatch))) return CONNECT_E_CANNOTCONNECT;
  ++p->record.nAdvise;
  p->record.pSink = pDispatch;
  *pdwCookie = 1;
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE Point_Unadvise(IConnectionPoint* This, DWORD dwCookie) {
  STestBrowser* p = FROM_PART(This, point);
  IDispatch* pSink = p->record.pSink;
  if (dwCookie != 1 || !pSink) return CONNECT_E_NOCONNECTION;
  ++p->record.nUnadvise;
  p->record.pSink = NULL;
  IDispatch_Release(pSink);
  return S_OK;
}

/* --- IHTMLDocument2 --- */
static HRESULT STDMETHODCALLTYPE Document_QueryInterface(IHTMLDocument2* This, REFIID riid, void** ppv) {
  STestBrowser* p = FROM_PART(This, document);
  if (IsEqualIID(riid, &IID_IUnknown) || IsEqualIID(riid, &IID_IDispatch) || IsEqualIID(riid, &IID_IHTMLDocument) ||
      IsEqualIID(riid, &IID_IHTMLDocument2)) {
    return Answer(p, This, ppv);
  }
  *ppv = NULL;
  return E_NOINTERFACE;
}
static ULONG STDMETHODCALLTYPE Document_AddRef(IHTMLDocument2* This) {
  return AddRefAll(FROM_PART(This, document));
}
static ULONG STDMETHODCALLTYPE Document_Release(IHTMLDocument2* This) {
  return ReleaseAll(FROM_PART(This, document));
}
static HRESULT STDMETHODCALLTYPE Document_get_body(IHTMLDocument2* This, IHTMLElement** ppBody) {
  STestBrowser* p = FROM_PART(This, document);
  *ppBody = &p->body;
  AddRefAll(p);
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE Document_put_URL(IHTMLDocument2* This, BSTR bstrUrl) {
  STestBrowser* p = FROM_PART(This, document);
  ++p->record.nPutUrl;
  wcsncpy(p->record.wszUrl, bstrUrl ? bstrUrl : L"", 299);
  return p->page.bPutUrlFails ? E_FAIL : S_OK;
}

static void PutCopiedText(const char* szText) {
  HWND hOwner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
  if (OpenClipboard(hOwner)) {
    EmptyClipboard();
    const size_t cb = strlen(szText) + 1;
    HGLOBAL hText = GlobalAlloc(GMEM_MOVEABLE, cb);
    if (hText) {
      memcpy(GlobalLock(hText), szText, cb);
      GlobalUnlock(hText);
      if (!SetClipboardData(CF_TEXT, hText)) GlobalFree(hText);
    }
    CloseClipboard();
  }
  if (hOwner) DestroyWindow(hOwner);
}

static HRESULT STDMETHODCALLTYPE Document_execCommand(IHTMLDocument2* This, BSTR bstrCommand, VARIANT_BOOL bShowUI,
                                                      VARIANT value, VARIANT_BOOL* pbDone) {
  STestBrowser* p = FROM_PART(This, document);
  char szCommand[64] = "";
  (void)bShowUI;
  (void)value;
  WideCharToMultiByte(CP_ACP, 0, bstrCommand ? bstrCommand : L"", -1, szCommand, sizeof(szCommand) - 1, NULL, NULL);
  if (strlen(p->record.szCommands) + strlen(szCommand) + 2 < sizeof(p->record.szCommands)) {
    strcat(p->record.szCommands, szCommand);
    strcat(p->record.szCommands, ";");
  }
  if (pbDone) *pbDone = VARIANT_TRUE;
  if (!strcmp(szCommand, "SelectAll") && p->page.bSelectAllFails) return E_FAIL;
  if (!strcmp(szCommand, "Copy") && p->page.szCopiedText) PutCopiedText(p->page.szCopiedText);
  return S_OK;
}

/* --- IHTMLElement --- */
static HRESULT STDMETHODCALLTYPE Body_QueryInterface(IHTMLElement* This, REFIID riid, void** ppv) {
  STestBrowser* p = FROM_PART(This, body);
  if (IsEqualIID(riid, &IID_IUnknown) || IsEqualIID(riid, &IID_IDispatch) || IsEqualIID(riid, &IID_IHTMLElement)) {
    return Answer(p, This, ppv);
  }
  *ppv = NULL;
  return E_NOINTERFACE;
}
static ULONG STDMETHODCALLTYPE Body_AddRef(IHTMLElement* This) {
  return AddRefAll(FROM_PART(This, body));
}
static ULONG STDMETHODCALLTYPE Body_Release(IHTMLElement* This) {
  return ReleaseAll(FROM_PART(This, body));
}
static HRESULT STDMETHODCALLTYPE Body_get_outerText(IHTMLElement* This, BSTR* pbstr) {
  const wchar_t* wsz = FROM_PART(This, body)->page.wszOuterText;
  *pbstr = wsz ? SysAllocString(wsz) : NULL;
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE Body_get_outerHTML(IHTMLElement* This, BSTR* pbstr) {
  const wchar_t* wsz = FROM_PART(This, body)->page.wszOuterHtml;
  *pbstr = wsz ? SysAllocString(wsz) : NULL;
  return S_OK;
}

static IWebBrowser2Vtbl g_browserVtbl;
static IConnectionPointContainerVtbl g_pointsVtbl;
static IConnectionPointVtbl g_pointVtbl;
static IHTMLDocument2Vtbl g_documentVtbl;
static IHTMLElementVtbl g_bodyVtbl;

static void InitializeVtables(void) {
  static LONG nDone = 0;
  if (InterlockedCompareExchange(&nDone, 1, 0) != 0) return;
  FillNotImplemented(&g_browserVtbl, sizeof(g_browserVtbl));
  g_browserVtbl.QueryInterface = Browser_QueryInterface;
  g_browserVtbl.AddRef = Browser_AddRef;
  g_browserVtbl.Release = Browser_Release;
  g_browserVtbl.get_Document = Browser_get_Document;
  g_browserVtbl.Stop = Browser_Stop;
  g_browserVtbl.GoBack = Browser_GoBack;
  g_browserVtbl.Refresh = Browser_Refresh;

  FillNotImplemented(&g_pointsVtbl, sizeof(g_pointsVtbl));
  g_pointsVtbl.QueryInterface = Points_QueryInterface;
  g_pointsVtbl.AddRef = Points_AddRef;
  g_pointsVtbl.Release = Points_Release;
  g_pointsVtbl.FindConnectionPoint = Points_FindConnectionPoint;

  FillNotImplemented(&g_pointVtbl, sizeof(g_pointVtbl));
  g_pointVtbl.QueryInterface = Point_QueryInterface;
  g_pointVtbl.AddRef = Point_AddRef;
  g_pointVtbl.Release = Point_Release;
  g_pointVtbl.Advise = Point_Advise;
  g_pointVtbl.Unadvise = Point_Unadvise;

  FillNotImplemented(&g_documentVtbl, sizeof(g_documentVtbl));
  g_documentVtbl.QueryInterface = Document_QueryInterface;
  g_documentVtbl.AddRef = Document_AddRef;
  g_documentVtbl.Release = Document_Release;
  g_documentVtbl.get_body = Document_get_body;
  g_documentVtbl.put_URL = Document_put_URL;
  g_documentVtbl.execCommand = Document_execCommand;

  FillNotImplemented(&g_bodyVtbl, sizeof(g_bodyVtbl));
  g_bodyVtbl.QueryInterface = Body_QueryInterface;
  g_bodyVtbl.AddRef = Body_AddRef;
  g_bodyVtbl.Release = Body_Release;
  g_bodyVtbl.get_outerText = Body_get_outerText;
  g_bodyVtbl.get_outerHTML = Body_get_outerHTML;
}

IWebBrowser2* TestBrowserCreate(const STestPage* pPage) {
  STestBrowser* p = (STestBrowser*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(STestBrowser));
  if (!p) return NULL;
  InitializeVtables();
  p->browser.lpVtbl = &g_browserVtbl;
  p->points.lpVtbl = &g_pointsVtbl;
  p->point.lpVtbl = &g_pointVtbl;
  p->document.lpVtbl = &g_documentVtbl;
  p->body.lpVtbl = &g_bodyVtbl;
  p->nRefs = 1;
  if (pPage) p->page = *pPage;
  return &p->browser;
}

STestBrowserRecord* TestBrowserRecord(IWebBrowser2* pBrowser) {
  return &FROM_PART(pBrowser, browser)->record;
}
