// The helper object in a scripted browser session: navigation events from a test
// browser, the scan of the completed page, requests answered by a console
// stand-in in another process, and the block page in place of a blocked mail.
#include <windows.h>

#include <exdispid.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "browser/TestBrowser_win.h"
#include "engine/LSPGlobals.h"
#include "shared/OwnedResources_win.h"
#include "standins/defstool/DefinitionsList.h"
#include "support/ChildProcess_win.h"
#include "support/TempFolder_win.h"

namespace {

using FDllGetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

constexpr char kProductKey[] = "Software\\Corvinth\\Hookwarden";
const CLSID kClsid = {0x49cac2ad, 0x79fb, 0x4b91, {0xbb, 0x70, 0x02, 0x39, 0xd2, 0xe4, 0x34, 0x85}};

constexpr char kDefinitions[] =
    "[From]\nFROM1=billing@bank.example\n"
    "[Subject]\nSUB1=account suspended\n"
    "[Link]\nCLINK1=evil.example/login\nVLINK1=www.bank.example\n"
    "[Text]\nTXT1=verify your password\n";

// Sender and subject listed, no listed link or text.
const wchar_t kListedMail[] =
    L"Inbox\r\nFrom: Billing <BILLING@bank.example>\r\nTo: you@example.net\r\nSubject: Account Suspended\r\n"
    L"Date: Mon, 7 Dec\r\nDear customer\r\n";
const wchar_t kPlainHtml[] = L"<BODY><P>Dear customer</P></BODY>";
// Only the link under misleading text is listed; its target is a listed link too.
const wchar_t kLinkMail[] = L"From: friend@example.org\r\nTo: you@example.net\r\nSubject: photos\r\nlook\r\n";
const wchar_t kLinkHtml[] = L"<BODY><A HREF=\"http://evil.example/login\">www.bank.example</A></BODY>";

// The application folder that "App Path" names while the tests run.
const std::string& AppFolder() {
  static const CTempFolder folder;
  return folder.Path();
}

void WriteDefinitions() {
  const CResultOf<DefinitionsList> parsed = ParsePlainDefinitions(kDefinitions);
  ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  const DefinitionsList& list = parsed.Value();
  const std::string strData = WriteWorkingDefinitions(list);
  CFClose file(std::fopen((AppFolder() + "\\hkwdn2.hwd").c_str(), "wb"));
  ASSERT_TRUE(file);
  ASSERT_EQ(strData.size(), std::fwrite(strData.data(), 1, strData.size(), file.Get()));
}

// The console stand-in: the real request window in a second process.
class CScriptedConsole {
 public:
  ~CScriptedConsole() { Stop(); }

  bool Start(const std::string& strReplies) {
    const std::string strTag = std::to_string(::GetCurrentProcessId());
    m_strLog = GetTestProgramFolder() + "\\scripted-console-" + strTag + ".log";
    ::DeleteFileA(m_strLog.c_str());
    const std::string strReady = "hw-console-ready-" + strTag;
    const std::string strQuit = "hw-console-quit-" + strTag;
    CCloseHandle ready(::CreateEventA(nullptr, TRUE, FALSE, strReady.c_str()));
    m_quit.Reset(::CreateEventA(nullptr, TRUE, FALSE, strQuit.c_str()));
    m_process = StartChild("ScriptedConsole.exe", strReplies + " \"" + m_strLog + "\" " + strReady + " " + strQuit);
    if (!m_process) return false;
    const HANDLE handles[] = {ready.Get(), m_process.Get()};
    return ::WaitForMultipleObjects(2, handles, FALSE, 20000) == WAIT_OBJECT_0;
  }

  // Ends the stand-in and answers the requests it saw, one line each.
  std::vector<std::string> Stop() {
    std::vector<std::string> lines;
    if (!m_process) return lines;
    ::SetEvent(m_quit.Get());
    ::WaitForSingleObject(m_process.Get(), 20000);
    m_process.Reset();
    CFClose file(std::fopen(m_strLog.c_str(), "rb"));
    char szLine[4096];
    while (file && std::fgets(szLine, sizeof(szLine), file.Get())) {
      std::string str(szLine);
      if (!str.empty() && str.back() == '\n') str.pop_back();
      lines.push_back(str);
    }
    file.Reset();
    ::DeleteFileA(m_strLog.c_str());
    return lines;
  }

 private:
  CCloseHandle m_process;
  CCloseHandle m_quit;
  std::string m_strLog;
};

std::string ProgramName() {
  char szPath[MAX_PATH] = "";
  ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
  const char* pszSlash = std::strrchr(szPath, '\\');
  return pszSlash ? pszSlash + 1 : szPath;
}

std::string ClipboardText() {
  std::string str = "<none>";
  if (!::OpenClipboard(nullptr)) return "<not open>";
  if (HANDLE hData = ::GetClipboardData(CF_TEXT)) {
    CGlobalUnlock locked(hData);
    if (locked.Get()) str = static_cast<const char*>(locked.Get());
  }
  ::CloseClipboard();
  return str;
}

void PutClipboardText(const char* szText) {
  CDestroyWindow owner(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  ASSERT_TRUE(::OpenClipboard(owner.Get()));
  ::EmptyClipboard();
  const std::size_t cb = std::strlen(szText) + 1;
  CGlobalFree block(::GlobalAlloc(GMEM_MOVEABLE, cb));
  {
    CGlobalUnlock locked(block.Get());
    std::memcpy(locked.Get(), szText, cb);
  }
  if (::SetClipboardData(CF_TEXT, block.Get())) static_cast<void>(block.Detach());  // the clipboard owns it
  ::CloseClipboard();
}

ULONG RefCount(IUnknown* p) {
  p->AddRef();
  return p->Release();
}

class MailScan : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Keep what the shared prefix had under the product key.
    CRegCloseKey key;
    s_bProductExisted = ::RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
    if (s_bProductExisted) {
      char szValue[300] = "";
      DWORD cb = sizeof(szValue) - 1;
      s_bHadAppPath = ::RegQueryValueExA(key.Get(), "App Path", nullptr, nullptr, reinterpret_cast<BYTE*>(szValue),
                                         &cb) == ERROR_SUCCESS;
      s_strAppPath = szValue;
    }
    key.Reset();
    ::RegCreateKeyA(HKEY_CURRENT_USER, kProductKey, key.Receive());
    const std::string strApp = AppFolder();
    ::RegSetValueExA(key.Get(), "App Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(strApp.c_str()),
                     static_cast<DWORD>(strApp.size() + 1));
    // A console's user folder, which it writes again at its start, would take the
    // working file elsewhere.
    ::RegDeleteValueA(key.Get(), "Data Path");
  }
  static void TearDownTestSuite() {
    if (!s_bProductExisted) {
      ::RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
    } else {
      CRegCloseKey key;
      ::RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_SET_VALUE, key.Receive());
      if (s_bHadAppPath) {
        ::RegSetValueExA(key.Get(), "App Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(s_strAppPath.c_str()),
                         static_cast<DWORD>(s_strAppPath.size() + 1));
      } else {
        ::RegDeleteValueA(key.Get(), "App Path");
      }
    }
  }

  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    // The paths are taken once per process: start from this suite's folder.
    CLSPGlobals::szAppPath[0] = 0;
    CLSPGlobals::szDBPath[0] = 0;
    CLSPGlobals::szPMailPath[0] = 0;
    WriteDefinitions();
    m_library.Reset(::LoadLibraryA((GetTestProgramFolder() + "\\Quellmail.dll").c_str()));
    ASSERT_TRUE(m_library);
    auto pGetClassObject = reinterpret_cast<FDllGetClassObject>(
        reinterpret_cast<void*>(::GetProcAddress(m_library.Get(), "DllGetClassObject")));
    ASSERT_NE(nullptr, pGetClassObject);
    CComRelease<IClassFactory> factory;
    ASSERT_EQ(S_OK, pGetClassObject(kClsid, IID_IClassFactory, factory.ReceiveVoid()));
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IObjectWithSite, m_object.ReceiveVoid()));
  }
  void TearDown() override {
    // As the browser does when it closes: detach, which ends the connection.
    if (m_object) m_object->SetSite(nullptr);
    if (m_browser) {
      EXPECT_EQ(1u, RefCount(m_browser.Get()));
    }
    m_object.Reset();
    m_browser.Reset();
    m_library.Reset();
    ::CoUninitialize();
  }

  // A page with that outer text and HTML, and nothing else set.
  static STestPage Page(const wchar_t* wszOuterText, const wchar_t* wszOuterHtml = kPlainHtml) {
    STestPage page = {};
    page.wszOuterText = wszOuterText;
    page.wszOuterHtml = wszOuterHtml;
    return page;
  }

  // A browser showing the page, with the object attached to it.
  STestBrowserRecord& Attach(const STestPage& page) {
    m_browser.Reset(TestBrowserCreate(&page));
    EXPECT_EQ(S_OK, m_object->SetSite(m_browser.Get()));
    STestBrowserRecord& record = *TestBrowserRecord(m_browser.Get());
    EXPECT_NE(nullptr, record.pSink);
    return record;
  }

  static void Fire(IDispatch* pSink, DISPID event, IDispatch* pFrame) {
    VARIANT url;
    ::VariantInit(&url);
    VARIANT args[2];
    args[0].vt = VT_VARIANT | VT_BYREF;  // the address, second argument
    args[0].pvarVal = &url;
    args[1].vt = VT_DISPATCH;  // the frame, first argument
    args[1].pdispVal = pFrame;
    DISPPARAMS params = {args, nullptr, 2, 0};
    EXPECT_EQ(S_OK,
              pSink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
  }

  // One navigation of the top-level frame, to its completed document.
  void Browse(const STestBrowserRecord& record) {
    Fire(record.pSink, DISPID_NAVIGATECOMPLETE2, m_browser.Get());
    Fire(record.pSink, DISPID_DOCUMENTCOMPLETE, m_browser.Get());
  }

  std::wstring BlockPage() const {
    const std::string str = AppFolder() + "\\hkwdnm.htm";
    return std::wstring(str.begin(), str.end());
  }

  static bool s_bProductExisted;
  static bool s_bHadAppPath;
  static std::string s_strAppPath;
  CFreeLibrary m_library;
  CComRelease<IObjectWithSite> m_object;
  CComRelease<IWebBrowser2> m_browser;
};

bool MailScan::s_bProductExisted = false;
bool MailScan::s_bHadAppPath = false;
std::string MailScan::s_strAppPath;

TEST_F(MailScan, PageThatIsNoMailSendsNothing) {
  CScriptedConsole console;
  ASSERT_TRUE(console.Start("0"));
  STestPage page = Page(L"From: billing@bank.example\r\nAccount suspended\r\n");  // no recipient
  STestBrowserRecord& record = Attach(page);
  Browse(record);
  EXPECT_EQ(1, record.nGetDocument);
  EXPECT_TRUE(console.Stop().empty());
  EXPECT_EQ(0, record.nStop);
  EXPECT_EQ(0, record.nPutUrl);
}

TEST_F(MailScan, ListedSenderAndSubjectAllowedThenBlocked) {
  CScriptedConsole console;
  ASSERT_TRUE(console.Start("1,0"));
  STestPage page = Page(kListedMail);
  STestBrowserRecord& record = Attach(page);
  Browse(record);
  const std::vector<std::string> requests = console.Stop();
  const std::string strFields = "billing <billing@bank.example>|you@example.net|account suspended|mon, 7 dec|";
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ("F|" + strFields + "||||" + ProgramName() + "|80|", requests[0]);
  EXPECT_EQ("S|" + strFields + "||||" + ProgramName() + "|80|", requests[1]);
  EXPECT_EQ(1, record.nStop);
  EXPECT_EQ(1, record.nPutUrl);
  EXPECT_EQ(BlockPage(), record.wszUrl);
  EXPECT_EQ(0, record.nGoBack);
}

TEST_F(MailScan, BlockedSenderEndsTheRequests) {
  CScriptedConsole console;
  ASSERT_TRUE(console.Start("0"));
  STestPage page = Page(kListedMail);
  STestBrowserRecord& record = Attach(page);
  Browse(record);
  const std::vector<std::string> requests = console.Stop();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ('F', requests[0][0]);
  EXPECT_EQ(BlockPage(), record.wszUrl);
}

TEST_F(MailScan, VisibleLinkFindingSuppressesTheListedLinkCheck) {
  CScriptedConsole console;
  ASSERT_TRUE(console.Start("1"));
  STestPage page = Page(kLinkMail, kLinkHtml);
  STestBrowserRecord& record = Attach(page);
  Browse(record);
  const std::vector<std::string> requests = console.Stop();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ(
      "L|friend@example.org|you@example.net|photos||||www.bank.example|evil.example/login|" + ProgramName() + "|80|",
      requests[0]);
  EXPECT_EQ(0, record.nStop);
  EXPECT_EQ(0, record.nPutUrl);
}

TEST_F(MailScan, WithoutConsoleAListedMailIsBlocked) {
  STestPage page = Page(kListedMail);
  STestBrowserRecord& record = Attach(page);
  Browse(record);
  EXPECT_EQ(nullptr, CLSPGlobals::hMainWnd);
  EXPECT_EQ(1, record.nStop);
  EXPECT_EQ(BlockPage(), record.wszUrl);
}

TEST_F(MailScan, BlockPageFailingFallsBackToGoBackThenRefresh) {
  STestPage page = Page(kListedMail);
  page.bPutUrlFails = 1;
  STestBrowserRecord& record = Attach(page);
  Browse(record);
  EXPECT_EQ(1, record.nPutUrl);
  EXPECT_EQ(1, record.nGoBack);
  EXPECT_EQ(0, record.nRefresh);

  page.bGoBackFails = 1;
  STestBrowserRecord& second = Attach(page);
  Browse(second);
  EXPECT_EQ(1, second.nGoBack);
  EXPECT_EQ(1, second.nRefresh);
}

TEST_F(MailScan, FramesCompletingBeforeTheTopFrameGiveOneScanPerNavigation) {
  STestPage page = Page(L"no mail here");
  STestBrowserRecord& record = Attach(page);
  CComRelease<IWebBrowser2> frame(TestBrowserCreate(&page));
  Fire(record.pSink, DISPID_NAVIGATECOMPLETE2, m_browser.Get());
  Fire(record.pSink, DISPID_NAVIGATECOMPLETE2, frame.Get());
  Fire(record.pSink, DISPID_DOCUMENTCOMPLETE, frame.Get());
  EXPECT_EQ(0, record.nGetDocument);
  Fire(record.pSink, DISPID_DOCUMENTCOMPLETE, m_browser.Get());
  EXPECT_EQ(1, record.nGetDocument);
  Fire(record.pSink, DISPID_DOCUMENTCOMPLETE, m_browser.Get());
  EXPECT_EQ(1, record.nGetDocument);
  // An inner frame that navigates again after the page completed scans nothing.
  Fire(record.pSink, DISPID_NAVIGATECOMPLETE2, frame.Get());
  Fire(record.pSink, DISPID_DOCUMENTCOMPLETE, frame.Get());
  EXPECT_EQ(1, record.nGetDocument);
  // The next navigation starts afresh.
  Browse(record);
  EXPECT_EQ(2, record.nGetDocument);
  EXPECT_EQ(1u, RefCount(frame.Get()));
}

TEST_F(MailScan, ClipboardFallbackLeavesTheUsersTextInPlace) {
  PutClipboardText("the user's own words");
  CScriptedConsole console;
  ASSERT_TRUE(console.Start("1"));
  STestPage page = Page(nullptr);  // the body gives no outer text at all
  page.szCopiedText = "From: billing@bank.example\r\nTo: you\r\n";
  STestBrowserRecord& record = Attach(page);
  Browse(record);
  const std::vector<std::string> requests = console.Stop();
  EXPECT_STREQ("Unselect;SelectAll;Copy;Unselect;", record.szCommands);
  ASSERT_EQ(1u, requests.size());  // the copied text was scanned
  EXPECT_EQ("F|billing@bank.example|you|||||||" + ProgramName() + "|80|", requests[0]);
  EXPECT_EQ("the user's own words", ClipboardText());
}

TEST_F(MailScan, EmptyOuterTextOrFailedSelectionEndsTheScan) {
  PutClipboardText("kept");
  STestPage page = Page(L"");
  page.szCopiedText = "From: billing@bank.example\r\nTo: you\r\n";
  STestBrowserRecord& record = Attach(page);
  Browse(record);
  EXPECT_STREQ("", record.szCommands);
  EXPECT_EQ(0, record.nStop);

  page.wszOuterText = nullptr;
  page.bSelectAllFails = 1;
  STestBrowserRecord& failing = Attach(page);
  Browse(failing);
  EXPECT_STREQ("Unselect;SelectAll;Unselect;", failing.szCommands);
  EXPECT_EQ(0, failing.nStop);
  EXPECT_EQ("kept", ClipboardText());
}

TEST_F(MailScan, QuitAndDetachEndTheConnectionAndFreeTheBrowser) {
  STestPage page = Page(L"x");
  STestBrowserRecord& record = Attach(page);
  EXPECT_EQ(1, record.nAdvise);
  Fire(record.pSink, DISPID_ONQUIT, m_browser.Get());
  EXPECT_EQ(1, record.nUnadvise);
  EXPECT_EQ(nullptr, record.pSink);
  EXPECT_EQ(E_INVALIDARG, m_object->SetSite(nullptr));
  EXPECT_EQ(1u, RefCount(m_browser.Get()));

  // Detached without a quit: the connection ends as well.
  STestBrowserRecord& second = Attach(page);
  EXPECT_EQ(E_INVALIDARG, m_object->SetSite(nullptr));
  EXPECT_EQ(1, second.nUnadvise);
  EXPECT_EQ(1u, RefCount(m_browser.Get()));
  EXPECT_EQ(1u, RefCount(m_object.Get()));

  // A browser without connection points.
  page.bNoConnectionPoints = 1;
  m_browser.Reset(TestBrowserCreate(&page));
  EXPECT_EQ(E_POINTER, m_object->SetSite(m_browser.Get()));
  EXPECT_EQ(E_INVALIDARG, m_object->SetSite(nullptr));
  EXPECT_EQ(1u, RefCount(m_browser.Get()));
}

}  // namespace
