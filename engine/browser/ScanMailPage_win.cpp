// HTMLSourceParser::ScanMailPage: reads the completed page's text and HTML from
// the browser, lets the mail checks decide, and replaces a blocked page by the
// local mail block page.
#include <string>

#include "engine/LSPGlobals.h"
#include "engine/browser/HTMLSourceParser_win.h"
#include "engine/browser/EngineMailMatchers_win.h"
#include "engine/browser/MailPageScan.h"
#include "engine/browser/PageClipboard_win.h"
#include "shared/RequestChannel_win.h"

namespace {

// The request channel to the console's window, beside the engine's matchers. The
// browser's own thread waits for the verdict as long as the console takes, and
// keeps serving the messages sent to it meanwhile; no console answers Block.
class CEngineScanSite : public CEngineMailMatchers {
 public:
  long SendMailRequest(const SMailRequest& request) override {
    const HWND hConsole = __atomic_load_n(&CLSPGlobals::hMainWnd, __ATOMIC_ACQUIRE);
    return SendToConsole(hConsole, request, EConsoleWait::UntilAnswered).nVerdict;
  }
};

std::string ToAnsi(BSTR bstr) {
  const int nWide = static_cast<int>(::SysStringLen(bstr));
  if (nWide == 0) return std::string();
  const int nBytes = ::WideCharToMultiByte(CP_ACP, 0, bstr, nWide, nullptr, 0, nullptr, nullptr);
  if (nBytes <= 0) return std::string();
  std::string str(static_cast<std::size_t>(nBytes), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, bstr, nWide, &str[0], nBytes, nullptr, nullptr);
  return str;
}

CSysFreeString ToBstr(const char* sz) {
  const int nWide = ::MultiByteToWideChar(CP_ACP, 0, sz, -1, nullptr, 0);
  if (nWide <= 0) return CSysFreeString();
  CSysFreeString bstr(::SysAllocStringLen(nullptr, static_cast<UINT>(nWide - 1)));
  if (bstr) ::MultiByteToWideChar(CP_ACP, 0, sz, -1, bstr.Get(), nWide);
  return bstr;
}

}  // namespace

void CHTMLSourceParser::ScanMailPage() {
  if (!m_spWebBrowser2) return;
  CComRelease<IDispatch> spDocumentDispatch;
  if (FAILED(m_spWebBrowser2->get_Document(spDocumentDispatch.Receive())) || !spDocumentDispatch) return;
  CComRelease<IHTMLDocument2> spDocument;
  if (FAILED(spDocumentDispatch->QueryInterface(IID_IHTMLDocument2, spDocument.ReceiveVoid())) || !spDocument) {
    return;
  }
  CComRelease<IHTMLElement> spBody;
  if (FAILED(spDocument->get_body(spBody.Receive())) || !spBody) return;

  CSysFreeString outerText;
  if (FAILED(spBody->get_outerText(outerText.Receive()))) return;
  std::string strText;
  bool bHaveText = false;
  if (outerText) {
    bHaveText = ::SysStringLen(outerText.Get()) > 0;
    strText = ToAnsi(outerText.Get());
  } else if (!CopyPageTextThroughClipboard(spDocument.Get(), strText, bHaveText)) {
    return;
  }

  CSysFreeString outerHtml;
  if (FAILED(spBody->get_outerHTML(outerHtml.Receive()))) return;
  if (!bHaveText || ::SysStringLen(outerHtml.Get()) == 0) return;
  const std::string strHtml = ToAnsi(outerHtml.Get());

  char szProcessPath[261] = "";
  ::GetModuleFileNameA(nullptr, szProcessPath, sizeof(szProcessPath) - 1);
  CEngineScanSite site;
  if (ScanMailText(strText.c_str(), strHtml.c_str(), szProcessPath, site) == EMailScanResult::Blocked) {
    ShowBlockPage(spDocument.Get());
  }
}

void CHTMLSourceParser::ShowBlockPage(IHTMLDocument2* pDocument) {
  m_spWebBrowser2->Stop();
  CSysFreeString blockPage = ToBstr(CLSPGlobals::szPMailPath);
  if (blockPage && SUCCEEDED(pDocument->put_URL(blockPage.Get()))) return;
  if (SUCCEEDED(m_spWebBrowser2->GoBack())) return;
  m_spWebBrowser2->Refresh();
}
