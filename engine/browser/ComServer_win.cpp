// The in-process server's class object and its two entry points for COM:
// DllGetClassObject and DllCanUnloadNow.
#include <windows.h>

#include <objbase.h>

#include "Quellmail.h"  // generated from Quellmail.idl
#include "engine/browser/ComModule_win.h"
#include "engine/browser/HTMLSourceParser_win.h"

namespace {

// The one class object of the one class, a static of the library. Every reference
// handed out counts as a server lock, so the library stays loaded while a caller
// holds the class object.
class CHTMLSourceParserFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    ComModule::Lock();
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
  }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG nRefs = ::InterlockedDecrement(&m_nRefs);
    ComModule::Unlock();
    return static_cast<ULONG>(nRefs);
  }

  STDMETHODIMP CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override {
    return CHTMLSourceParser::CreateInstance(pOuter, riid, ppv);
  }
  STDMETHODIMP LockServer(BOOL bLock) override {
    if (bLock) {
      ComModule::Lock();
    } else {
      ComModule::Unlock();
    }
    return S_OK;
  }

 private:
  LONG m_nRefs = 0;
};

CHTMLSourceParserFactory g_factory;

}  // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualCLSID(rclsid, CLSID_HTMLSourceParser)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() {
  return ComModule::CanUnload() ? S_OK : S_FALSE;
}
