// The in-process server under Wine: its exports, the class object, the object's
// interfaces and reference counts, and registration through regsvr32.
#include <windows.h>

#include <exdisp.h>
#include <gtest/gtest.h>
#include <ocidl.h>
#include <oleauto.h>

#include <string>

#include "Quellmail.h"
#include "shared/OwnedResources_win.h"
#include "support/ChildProcess_win.h"

namespace {

using FDllGetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using FDllCanUnloadNow = HRESULT(STDAPICALLTYPE*)();

const char kClsidKey[] = "CLSID\\{49CAC2AD-79FB-4B91-BB70-0239D2E43485}";
const char kBrowserHelperKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\"
    "{49CAC2AD-79FB-4B91-BB70-0239D2E43485}";

std::string LibraryPath() {
  return GetTestProgramFolder() + "\\Quellmail.dll";
}

ULONG RefCount(IUnknown* p) {
  p->AddRef();
  return p->Release();
}

class ComServer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    m_library.Reset(::LoadLibraryA(LibraryPath().c_str()));
    ASSERT_TRUE(m_library);
    m_pGetClassObject = reinterpret_cast<FDllGetClassObject>(
        reinterpret_cast<void*>(::GetProcAddress(m_library.Get(), "DllGetClassObject")));
    m_pCanUnloadNow = reinterpret_cast<FDllCanUnloadNow>(
        reinterpret_cast<void*>(::GetProcAddress(m_library.Get(), "DllCanUnloadNow")));
    ASSERT_NE(nullptr, m_pGetClassObject);
    ASSERT_NE(nullptr, m_pCanUnloadNow);
  }
  void TearDown() override {
    m_library.Reset();
    ::CoUninitialize();
  }

  CComRelease<IClassFactory> GetFactory() {
    CComRelease<IClassFactory> factory;
    EXPECT_EQ(S_OK, m_pGetClassObject(CLSID_HTMLSourceParser, IID_IClassFactory, factory.ReceiveVoid()));
    return factory;
  }

  CFreeLibrary m_library;
  FDllGetClassObject m_pGetClassObject = nullptr;
  FDllCanUnloadNow m_pCanUnloadNow = nullptr;
};

TEST_F(ComServer, ExportsServeOnlyTheOneClass) {
  for (const char* szName : {"DllRegisterServer", "DllUnregisterServer"}) {
    EXPECT_NE(nullptr, ::GetProcAddress(m_library.Get(), szName)) << szName;
  }
  void* pv = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, m_pGetClassObject(IID_IUnknown, IID_IClassFactory, &pv));
  EXPECT_EQ(nullptr, pv);
  EXPECT_EQ(E_POINTER, m_pGetClassObject(CLSID_HTMLSourceParser, IID_IClassFactory, nullptr));
  pv = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, m_pGetClassObject(CLSID_HTMLSourceParser, IID_IDispatch, &pv));
  EXPECT_EQ(nullptr, pv);
  EXPECT_EQ(S_OK, m_pCanUnloadNow());
}

TEST_F(ComServer, ClassObjectAndLocksKeepTheLibraryLoaded) {
  {
    CComRelease<IClassFactory> factory = GetFactory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(1u, RefCount(factory.Get()));
    EXPECT_EQ(S_FALSE, m_pCanUnloadNow());
    CComRelease<IUnknown> unknown;
    EXPECT_EQ(S_OK, factory->QueryInterface(IID_IUnknown, unknown.ReceiveVoid()));
    EXPECT_EQ(2u, RefCount(factory.Get()));
    unknown.Reset();
    CComRelease<IUnknown> other;
    EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(IID_IDispatch, other.ReceiveVoid()));
    EXPECT_EQ(nullptr, other.Get());

    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, m_pCanUnloadNow());
    factory = GetFactory();
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  }
  EXPECT_EQ(S_OK, m_pCanUnloadNow());
}

TEST_F(ComServer, ObjectAnswersItsInterfacesAndCountsReferences) {
  CComRelease<IClassFactory> factory = GetFactory();
  ASSERT_TRUE(factory);
  CComRelease<IUnknown> outer;
  CComRelease<IUnknown> aggregated;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(factory.Get(), IID_IUnknown, aggregated.ReceiveVoid()));
  EXPECT_EQ(nullptr, aggregated.Get());
  CComRelease<IObjectWithSite> object;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IObjectWithSite, object.ReceiveVoid()));
  factory.Reset();
  EXPECT_EQ(1u, RefCount(object.Get()));
  EXPECT_EQ(S_FALSE, m_pCanUnloadNow());

  CComRelease<IUnknown> identity;
  ASSERT_EQ(S_OK, object->QueryInterface(IID_IUnknown, identity.ReceiveVoid()));
  EXPECT_EQ(2u, RefCount(object.Get()));
  for (const IID* pIid : {&IID_IObjectWithSite, &IID_IDispatch, &IID_IHTMLSourceParser, &DIID_DWebBrowserEvents2}) {
    CComRelease<IUnknown> part;
    EXPECT_EQ(S_OK, object->QueryInterface(*pIid, part.ReceiveVoid()));
    ASSERT_TRUE(part);
    CComRelease<IUnknown> back;
    ASSERT_EQ(S_OK, part->QueryInterface(IID_IUnknown, back.ReceiveVoid()));
    EXPECT_EQ(identity.Get(), back.Get());  // one identity for every interface
  }
  for (const IID* pIid : {&IID_IClassFactory, &IID_IPersist, &IID_IOleObject, &IID_IConnectionPointContainer,
                          &IID_IWebBrowser2, &IID_IProvideClassInfo, &IID_IMarshal, &IID_IExternalConnection}) {
    void* pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(*pIid, &pv));
    EXPECT_EQ(nullptr, pv);
  }
  EXPECT_EQ(E_POINTER, object->QueryInterface(IID_IUnknown, nullptr));
  EXPECT_EQ(2u, RefCount(object.Get()));
  identity.Reset();
  EXPECT_EQ(1u, RefCount(object.Get()));
  object.Reset();
  EXPECT_EQ(S_OK, m_pCanUnloadNow());
}

TEST_F(ComServer, SiteIsNotKeptAndMustBeABrowser) {
  CComRelease<IClassFactory> factory = GetFactory();
  CComRelease<IObjectWithSite> object;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IObjectWithSite, object.ReceiveVoid()));
  void* pv = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_FAIL, object->GetSite(IID_IUnknown, &pv));
  EXPECT_EQ(nullptr, pv);
  EXPECT_EQ(E_INVALIDARG, object->SetSite(nullptr));
  // A site that is no web browser: the class object itself.
  EXPECT_EQ(E_INVALIDARG, object->SetSite(factory.Get()));
  EXPECT_EQ(1u, RefCount(factory.Get()));
  EXPECT_EQ(1u, RefCount(object.Get()));
}

TEST_F(ComServer, DispatchPartDescribesTheDualInterface) {
  CComRelease<IClassFactory> factory = GetFactory();
  CComRelease<IDispatch> dispatch;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, dispatch.ReceiveVoid()));
  UINT nCount = 0;
  EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&nCount));
  EXPECT_EQ(1u, nCount);
  CComRelease<ITypeInfo> typeInfo;
  ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, LOCALE_NEUTRAL, typeInfo.Receive()));
  TYPEATTR* pAttr = nullptr;
  ASSERT_EQ(S_OK, typeInfo->GetTypeAttr(&pAttr));
  EXPECT_TRUE(IsEqualGUID(IID_IHTMLSourceParser, pAttr->guid));
  EXPECT_EQ(TKIND_DISPATCH, pAttr->typekind);
  EXPECT_NE(0, pAttr->wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_EQ(7, pAttr->cFuncs);  // those of IUnknown and IDispatch, none of its own
  typeInfo->ReleaseTypeAttr(pAttr);
  EXPECT_EQ(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, LOCALE_NEUTRAL, typeInfo.Receive()));

  wchar_t wszName[] = L"Scan";
  LPOLESTR names[] = {wszName};
  DISPID id = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_NEUTRAL, &id));

  DISPPARAMS none = {};
  EXPECT_EQ(E_INVALIDARG,
            dispatch->Invoke(259, IID_NULL, LOCALE_NEUTRAL, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
  // Events without their arguments, and unknown events, change nothing.
  for (DISPID event : {252, 259, 253, 1, 0}) {
    EXPECT_EQ(S_OK,
              dispatch->Invoke(event, IID_NULL, LOCALE_NEUTRAL, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr))
        << event;
  }
  EXPECT_EQ(1u, RefCount(dispatch.Get()));
}

// Registry reading for the registration checks.
bool KeyExists(HKEY hRoot, const std::string& strKey) {
  CRegCloseKey key;
  return ::RegOpenKeyExA(hRoot, strKey.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

std::string ReadValue(HKEY hRoot, const std::string& strKey, const char* szName = nullptr) {
  CRegCloseKey key;
  if (::RegOpenKeyExA(hRoot, strKey.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return "<no key>";
  char szValue[600] = "";
  DWORD cbValue = sizeof(szValue) - 1;
  DWORD dwType = 0;
  if (::RegQueryValueExA(key.Get(), szName, nullptr, &dwType, reinterpret_cast<BYTE*>(szValue), &cbValue) !=
      ERROR_SUCCESS) {
    return "<no value>";
  }
  return dwType == REG_SZ ? std::string(szValue) : "<not REG_SZ>";
}

int RunRegsvr32(const std::string& strArguments) {
  char szSystem[MAX_PATH] = "";
  ::GetSystemDirectoryA(szSystem, MAX_PATH);
  return RunChildPumping(std::string(szSystem) + "\\regsvr32.exe", strArguments + " \"" + LibraryPath() + "\"");
}

TEST(Registration, Regsvr32WritesTheTableAndRemovesItAgain) {
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  // Left-overs of an earlier registration are replaced with the keys.
  const std::string strClsid = kClsidKey;
  CRegCloseKey stale;
  ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyA(HKEY_CLASSES_ROOT, (strClsid + "\\Stale").c_str(), stale.Receive()));
  stale.Reset();
  ASSERT_EQ(ERROR_SUCCESS,
            ::RegCreateKeyA(HKEY_LOCAL_MACHINE, (std::string(kBrowserHelperKey) + "\\Stale").c_str(), stale.Receive()));
  stale.Reset();

  ASSERT_EQ(0, RunRegsvr32("/s"));
  const char* const szProgID = "HTMLSourceParser.HTMLSourceParser.1";
  const char* const szIndependent = "HTMLSourceParser.HTMLSourceParser";
  const char* const szClass = "HTMLSourceParser Class";
  const char* const szClsidText = "{49CAC2AD-79FB-4B91-BB70-0239D2E43485}";
  EXPECT_EQ(szClass, ReadValue(HKEY_CLASSES_ROOT, szProgID));
  EXPECT_EQ(szClsidText, ReadValue(HKEY_CLASSES_ROOT, std::string(szProgID) + "\\CLSID"));
  EXPECT_EQ(szClass, ReadValue(HKEY_CLASSES_ROOT, szIndependent));
  EXPECT_EQ(szClsidText, ReadValue(HKEY_CLASSES_ROOT, std::string(szIndependent) + "\\CLSID"));
  EXPECT_EQ(szProgID, ReadValue(HKEY_CLASSES_ROOT, std::string(szIndependent) + "\\CurVer"));
  EXPECT_EQ(szClass, ReadValue(HKEY_CLASSES_ROOT, strClsid));
  EXPECT_EQ(szProgID, ReadValue(HKEY_CLASSES_ROOT, strClsid + "\\ProgID"));
  EXPECT_EQ(szIndependent, ReadValue(HKEY_CLASSES_ROOT, strClsid + "\\VersionIndependentProgID"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, strClsid + "\\Programmable"));
  EXPECT_EQ("<no value>", ReadValue(HKEY_CLASSES_ROOT, strClsid + "\\Programmable"));
  EXPECT_EQ(LibraryPath(), ReadValue(HKEY_CLASSES_ROOT, strClsid + "\\InprocServer32"));
  EXPECT_EQ("Apartment", ReadValue(HKEY_CLASSES_ROOT, strClsid + "\\InprocServer32", "ThreadingModel"));
  EXPECT_EQ("{ADBA0894-4701-40C7-8F70-6EA6B44F8114}", ReadValue(HKEY_CLASSES_ROOT, strClsid + "\\TypeLib"));
  EXPECT_EQ("Bramblewick", ReadValue(HKEY_LOCAL_MACHINE, kBrowserHelperKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, strClsid + "\\Stale"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kBrowserHelperKey) + "\\Stale"));

  // The registered class and type library are usable by name.
  {
    CComRelease<IObjectWithSite> object;
    EXPECT_EQ(S_OK, ::CoCreateInstance(CLSID_HTMLSourceParser, nullptr, CLSCTX_INPROC_SERVER, IID_IObjectWithSite,
                                       object.ReceiveVoid()));
    ASSERT_TRUE(object);
    CComRelease<IDispatch> dispatch;
    EXPECT_EQ(S_OK, object->QueryInterface(IID_IDispatch, dispatch.ReceiveVoid()));
    CLSID clsid = {};
    EXPECT_EQ(S_OK, ::CLSIDFromProgID(L"HTMLSourceParser.HTMLSourceParser", &clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_HTMLSourceParser, clsid));
    CComRelease<ITypeLib> typeLib;
    EXPECT_EQ(S_OK, ::LoadRegTypeLib(LIBID_QUELLMAILLib, 1, 0, LOCALE_NEUTRAL, typeLib.Receive()));
    if (typeLib) {
      CSysFreeString doc;
      EXPECT_EQ(S_OK, typeLib->GetDocumentation(-1, nullptr, doc.Receive(), nullptr, nullptr));
      EXPECT_STREQ(L"Quellmail 1.0 Type Library", doc.Get());
    }
  }

  ASSERT_EQ(0, RunRegsvr32("/u /s"));
  for (const char* szKey : {szProgID, szIndependent, kClsidKey}) {
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, szKey)) << szKey;
  }
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kBrowserHelperKey));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
  CComRelease<ITypeLib> typeLib;
  EXPECT_NE(S_OK, ::LoadRegTypeLib(LIBID_QUELLMAILLib, 1, 0, LOCALE_NEUTRAL, typeLib.Receive()));
  // Unregistering what is not registered succeeds.
  EXPECT_EQ(0, RunRegsvr32("/u /s"));
  ::CoUninitialize();
}

}  // namespace
