// Test helper: a console stand-in in its own process. It hosts the real request
// window, answers mail requests from a script and writes one line per request.
//   ScriptedConsole REPLIES LOGFILE READY_EVENT QUIT_EVENT
// REPLIES is a list such as "1,0": the replies in order; later requests get 1.
// Each log line: kind|from|to|subject|date|attachment|text|visible|called|process|port|host

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "console/core/RequestWindow_win.h"
#include "shared/OwnedResources_win.h"
#include "shared/RequestChannel.h"

namespace {

class CScriptedHandlers : public IRequestHandlers {
 public:
  CScriptedHandlers(std::vector<int> replies, std::string strLog)
      : m_replies(std::move(replies)), m_strLog(std::move(strLog)) {}

  int HandleWebRequest(const SWebRequest&) override { return 1; }
  int HandleMailRequest(const SMailRequest& request) override {
    CFClose file(std::fopen(m_strLog.c_str(), "ab"));
    if (file) {
      std::fprintf(file.Get(), "%c|%s|%s|%s|%s|%s|%s|%s|%s|%s|%d|%s\n", MailKindByte(request.eKind),
                   request.strFrom.c_str(), request.strTo.c_str(), request.strSubject.c_str(), request.strDate.c_str(),
                   request.strAttachment.c_str(), request.strText.c_str(), request.strVisibleLink.c_str(),
                   request.strCalledLink.c_str(), request.source.strProgram.c_str(),
                   static_cast<int>(request.source.nPort), request.source.strHostIP.c_str());
    }
    const std::size_t n = m_nAnswered++;
    return n < m_replies.size() ? m_replies[n] : 1;
  }

 private:
  std::vector<int> m_replies;
  std::string m_strLog;
  std::size_t m_nAnswered = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return 100;
  std::vector<int> replies;
  for (const char* p = argv[1]; *p; ++p) {
    if (*p >= '0' && *p <= '9') replies.push_back(*p - '0');
  }
  CScriptedHandlers handlers(replies, argv[2]);
  CRequestWindow window(handlers);
  if (!window.Create(nullptr)) return 101;
  CCloseHandle ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]));
  CCloseHandle quit(::OpenEventA(SYNCHRONIZE, FALSE, argv[4]));
  if (!ready || !quit) return 102;
  ::SetEvent(ready.Get());
  for (;;) {
    const HANDLE hQuit = quit.Get();
    const DWORD dwWait = ::MsgWaitForMultipleObjects(1, &hQuit, FALSE, 60000, QS_ALLINPUT);
    if (dwWait != WAIT_OBJECT_0 + 1) break;  // quit, or the test is gone
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  return 0;
}
