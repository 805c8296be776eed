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
#include <condition_variable>
#include <deque>
#include <functional>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "browser/host/HostChecks_win.h"
#include "browser/host/HostFraming.h"
#include "browser/host/HostMessages.h"
#include "engine/LSPGlobals.h"

namespace {

// More questions than this at once (alerts waiting for the user) are refused.
constexpr int kMaxWaitingQuestions = 32;

// Threads that ask the console, kept for the next question: a new thread's first
// cross-process message costs Wine about 20 ms, a kept one's a fraction of that.
// A question that finds every thread waiting (an alert open) gets a new one.
class CAskingThreads {
 public:
  void Run(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tasks.push_back(std::move(task));
    if (m_nIdle == 0) {
      std::thread([this] { Work(); }).detach();
    } else {
      m_wake.notify_one();
    }
  }

 private:
  void Work() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
      if (m_tasks.empty()) {
        ++m_nIdle;
        m_wake.wait(lock, [this] { return !m_tasks.empty(); });
        --m_nIdle;
      }
      std::function<void()> task = std::move(m_tasks.front());
      m_tasks.pop_front();
      lock.unlock();
      task();
      lock.lock();
    }
  }

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_tasks;
  int m_nIdle = 0;
};

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
        Send(EncodeErrorReply(SHostRequest(), "the message is longer than the host takes"));
        continue;
      }
      SHostRequest request;
      std::string strError;
      if (!DecodeHostRequest(strFrame, &request, &strError)) {
        Send(EncodeErrorReply(request, strError));
        continue;
      }
      Handle(request);
    }
  }

 private:
  void Handle(const SHostRequest& request) {
    switch (request.eType) {
      case EHostRequestType::Hello:
        // The extension's name for its browser counts only when the system does not tell.
        Browser(request.strBrowser);
        Send(EncodeHelloReply(request.nId, IsConsoleRunning()));
        return;
      case EHostRequestType::Address:
        if (!IsListedAddress(request.strHost, request.nPort, request.strPath, request.strQuery)) {
          Send(EncodeUnlistedReply(request.nId, IsConsoleRunning()));
          return;
        }
        if (!IsConsoleRunning()) {
          // Nobody to ask: the page loads, and the extension says protection is off.
          Send(EncodeListedReply(request.nId, EVerdictAnswer::Allow, false, AddressForConsole(request),
                                 Browser("").strName));
          return;
        }
        Send(EncodePendingReply(request.nId));
        AskOnThread(request, [this](const SHostRequest& asked) {
          const std::string strAddress = AddressForConsole(asked);
          const SBrowserProgram browser = Browser("");
          const SConsoleAnswer answer = AskConsoleAboutAddress(browser, asked, strAddress);
          return EncodeListedReply(asked.nId, answer.eVerdict, answer.bConsole, strAddress, browser.strName);
        });
        return;
      case EHostRequestType::Mail:
        AskOnThread(request, [this](const SHostRequest& asked) {
          const SMailAnswer mail = ScanMailPageText(Browser(""), asked.strText, asked.strHtml);
          return EncodeMailReply(asked.nId, mail.bMail, mail.bFinding, mail.answer.eVerdict, mail.answer.bConsole);
        });
        return;
    }
  }

  template <typename TAsk>
  void AskOnThread(const SHostRequest& request, TAsk ask) {
    if (m_nWaiting.fetch_add(1) >= kMaxWaitingQuestions) {
      m_nWaiting.fetch_sub(1);
      Send(EncodeErrorReply(request, "too many questions wait for the console"));
      return;
    }
    m_asking.Run([this, request, ask] {
      Send(ask(request));
      m_nWaiting.fetch_sub(1);
    });
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

  void Send(const std::string& strJson) {
    std::string strFrame = EncodeFrame(strJson);
    if (strFrame.empty()) strFrame = EncodeFrame(EncodeErrorReply(SHostRequest(), "the answer is too long"));
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
  std::atomic<int> m_nWaiting{0};
  CAskingThreads m_asking;
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
