// HookwdnBrowserHost.exe: the native-messaging host of the browser extension. The
// browser starts it once per profile and keeps the connection open; each request
// is one frame on standard input, each answer one frame on standard output.
//
// An unlisted address is answered at once from the definitions; a listed one is
// answered "pending" at once and its verdict later, from an asking thread, so
// that an open alert holds up no other tab. Mail pages are scanned there too.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "browser/host/HostChecks_win.h"
#include "browser/host/HostFraming.h"
#include "browser/host/HostMessages.h"
#include "engine/LSPGlobals.h"
#include "shared/Policies_win.h"
#include "shared/WorkerPool.h"

namespace {

// Questions asked at once (alerts waiting for the user), and questions waiting for
// one of those threads. A question beyond both is answered Block for a listed
// address, never Allow.
constexpr std::size_t kMaxAskingThreads = 32;
constexpr std::size_t kMaxQueuedQuestions = 1024;
// Threads that asked are kept for the next question: a kept thread's message to the
// console costs a fraction of a new one's under Wine.
constexpr unsigned kAskingThreadIdleMs = 10 * 60 * 1000;
// Mail questions hold a whole page each: fewer of them wait.
constexpr int kMaxWaitingMailPages = 8;

class CStdinInput : public IByteInput {
 public:
  std::size_t Read(void* pBuffer, std::size_t cbMax) override {
    DWORD cbRead = 0;
    const DWORD cbAsk = cbMax > 0x10000 ? 0x10000 : static_cast<DWORD>(cbMax);
    if (!::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), pBuffer, cbAsk, &cbRead, nullptr)) return 0;
    return cbRead;
  }
};

class CHost {
 public:
  CHost(int argc, char** argv) : m_argc(argc), m_argv(argv) {}

  int Run() {
    CStdinInput input;
    CFrameReader reader(input);
    std::string strFrame;
    for (;;) {
      const EFrameRead eRead = reader.Next(&strFrame);
      if (eRead == EFrameRead::End || eRead == EFrameRead::Truncated) return 0;  // the browser closed the port
      if (eRead == EFrameRead::TooLong) {
        Send(std::nullopt, EncodeErrorReply(std::nullopt, "the message is longer than the host takes"));
        continue;
      }
      const SDecodedRequest decoded = DecodeHostRequest(strFrame);
      if (!decoded.request.IsOk()) {
        Send(decoded.id, EncodeErrorReply(decoded.id, decoded.request.Result().Text()));
        continue;
      }
      Handle(decoded.request.Value());
    }
  }

 private:
  void Handle(const SHostRequest& request) {
    switch (request.eType) {
      case EHostRequestType::Hello:
        // The extension's name for its browser counts only when the system does not tell.
        Browser(request.strBrowser);
        Send(request.nId,
             EncodeHelloReply(request.nId, IsConsoleRunning(), ReadPolicies().IsOn(EPolicy::ExtensionRequired)));
        return;
      case EHostRequestType::Address:
        HandleAddress(request);
        return;
      case EHostRequestType::Mail:
        HandleMail(request);
        return;
    }
  }

  void HandleAddress(const SHostRequest& request) {
    if (!IsListedAddress(request.strHost, request.nPort, request.strPath, request.strQuery)) {
      Send(request.nId, EncodeUnlistedReply(request.nId, IsConsoleRunning()));
      return;
    }
    if (!IsConsoleRunning()) {
      SendUnaskedBlock(request, false);  // nobody to ask: a listed page stays blocked
      return;
    }
    Send(request.nId, EncodePendingReply(request.nId));
    auto pAsked = std::make_shared<const SHostRequest>(request);
    const bool bQueued = m_asking.Run([this, pAsked] {
      const std::string strAddress = AddressForConsole(*pAsked);
      const SBrowserProgram browser = Browser("");
      // A console that ended or did not answer decided nothing: the channel's Block.
      const SConsoleAnswer answer = AskConsoleAboutAddress(browser, *pAsked, strAddress);
      Send(pAsked->nId, EncodeListedReply(pAsked->nId, answer.eVerdict, answer.bConsole || IsConsoleRunning(),
                                          answer.bConsole, strAddress, browser.strName));
    });
    if (!bQueued) SendUnaskedBlock(request, true);
  }

  void SendUnaskedBlock(const SHostRequest& request, bool bConsole) {
    Send(request.nId, EncodeListedReply(request.nId, EVerdictAnswer::Block, bConsole, false, AddressForConsole(request),
                                        Browser("").strName));
  }

  void HandleMail(const SHostRequest& request) {
    if (m_nWaitingMailPages.fetch_add(1) >= kMaxWaitingMailPages) {
      m_nWaitingMailPages.fetch_sub(1);
      Send(request.nId, EncodeErrorReply(request.nId, "too many mail pages wait to be scanned"));
      return;
    }
    auto pAsked = std::make_shared<const SHostRequest>(request);
    const bool bQueued = m_asking.Run([this, pAsked] {
      // A finding that no console decided comes back blocked, as a listed address does.
      const SMailAnswer mail = ScanMailPageText(Browser(""), pAsked->strText, pAsked->strHtml);
      m_nWaitingMailPages.fetch_sub(1);
      Send(pAsked->nId,
           EncodeMailReply(pAsked->nId, mail.bMail, mail.bFinding, mail.answer.eVerdict, mail.answer.bConsole));
    });
    if (!bQueued) {
      m_nWaitingMailPages.fetch_sub(1);
      Send(request.nId, EncodeErrorReply(request.nId, "too many questions wait for the console"));
    }
  }

  SBrowserProgram Browser(const std::string& strHint) {
    std::lock_guard<std::mutex> lock(m_browserMutex);
    if (!m_bBrowserKnown || (!strHint.empty() && m_bBrowserFromHint)) {
      m_browser = FindBrowserProgram(m_argc, m_argv, strHint);
      m_bBrowserKnown = true;
      m_bBrowserFromHint = m_browser.strPath.find('\\') == std::string::npos;
    }
    return m_browser;
  }

  // The answer to the request of that id; one too long for the browser becomes an
  // error that names the request.
  void Send(std::optional<long long> id, const std::string& strJson) {
    CResultOf<std::string> frame = EncodeFrame(strJson);
    if (!frame.IsOk()) frame = EncodeFrame(EncodeErrorReply(id, frame.Result().Text()));
    const std::string& strFrame = frame.Value();
    std::lock_guard<std::mutex> lock(m_sendMutex);
    DWORD cbWritten = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), strFrame.data(), static_cast<DWORD>(strFrame.size()), &cbWritten,
                nullptr);
  }

  int m_argc;
  char** m_argv;
  std::mutex m_sendMutex;
  std::mutex m_browserMutex;
  SBrowserProgram m_browser;
  bool m_bBrowserKnown = false;
  bool m_bBrowserFromHint = false;
  std::atomic<int> m_nWaitingMailPages{0};
  CWorkerPool m_asking{kMaxAskingThreads, kAskingThreadIdleMs, kMaxQueuedQuestions};
};

}  // namespace

int main(int argc, char** argv) {
  // Frames are bytes: no text-mode translation of line ends.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  CLSPGlobals::InitializeAppVars();
  CHost host(argc, argv);
  const int nExit = host.Run();
  // Questions still waiting for the console have nobody left to answer.
  std::fflush(stdout);
  ::ExitProcess(static_cast<UINT>(nExit));
}
