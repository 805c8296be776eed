// HTMLSourceParser: the browser helper object that the web browser loads into each
// of its windows. It follows the browser's navigation events and scans every
// completed top-level page for a listed web-mail message.
#pragma once

#include <windows.h>

#include <exdisp.h>
#include <mshtml.h>
#include <ocidl.h>

#include "Quellmail.h"  // generated from Quellmail.idl
#include "shared/OwnedResources_win.h"

class CHTMLSourceParser : public IObjectWithSite, public IHTMLSourceParser {
 public:
  // The class factory's creation; no aggregation.
  static HRESULT CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IObjectWithSite
  STDMETHODIMP SetSite(IUnknown* pUnkSite) override;
  STDMETHODIMP GetSite(REFIID riid, void** ppvSite) override;

  // The object's own operations.
  virtual void OnDocumentComplete();
  virtual void OnQuit();
  virtual HRESULT ConnectEvents();
  virtual HRESULT DisconnectEvents();
  virtual void ScanMailPage();

  // IDispatch: the dual interface's type information, and the sink of the
  // browser's DWebBrowserEvents2 events.
  STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
  STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
  STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                      VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

 private:
  CHTMLSourceParser();
  virtual ~CHTMLSourceParser();
  CHTMLSourceParser(const CHTMLSourceParser&) = delete;
  CHTMLSourceParser& operator=(const CHTMLSourceParser&) = delete;

  // The work of SetSite and Invoke, which keep every exception inside the object.
  HRESULT AttachSite(IUnknown* pUnkSite);
  HRESULT HandleEvent(DISPID dispIdMember, DISPPARAMS* pDispParams);
  HRESULT LoadTypeInfo();
  // Whether a navigation event's frame is the browser of the site, not an inner frame.
  bool IsSiteBrowser(const IDispatch* pFrame) const;
  void ShowBlockPage(IHTMLDocument2* pDocument);

  LONG m_nRefs = 1;
  CComRelease<IWebBrowser2> m_spWebBrowser2;
  CComRelease<IConnectionPointContainer> m_spConnectionPoints;
  const IDispatch* m_pTopFrame = nullptr;  // identity only, no reference held
  DWORD m_dwCookie = 0;                    // 0: not connected
  CComRelease<ITypeInfo> m_spTypeInfo;     // of IHTMLSourceParser, loaded on demand
};
