// The request window under Wine: a real second process finds it by its title and
// gets the handlers' verdicts back through WM_COPYDATA.
#include "console/core/RequestWindow_win.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "support/ChildProcess_win.h"
#include "support/RecordingHandlers.h"

namespace {

// What RequestSender.exe sends: a record under a code, with a kind byte, cut to
// cbData bytes, its port field left unterminated when asked.
struct SRecordToSend {
  unsigned long dwCode;
  char cKind;
  std::size_t cbData;
  bool bUnterminated = false;
};

int Send(const SRecordToSend& record) {
  return RunChildPumping("RequestSender.exe", std::to_string(record.dwCode) + " " + record.cKind + " " +
                                                  std::to_string(record.cbData) +
                                                  (record.bUnterminated ? " unterminated" : ""));
}

constexpr unsigned long kUnknownCode = REQUEST_MAIL + 1;
const SRecordToSend kHostIp{REQUEST_HOST_IP, KIND_HOST_IP, WEB_REQUEST_SIZE};
const SRecordToSend kUrl{REQUEST_URL, KIND_URL, WEB_REQUEST_SIZE};

TEST(RequestWindow, SenderWithoutConsoleGetsBlock) {
  ASSERT_EQ(nullptr, ::FindWindowA(nullptr, REQUEST_WINDOW_TITLE));
  EXPECT_EQ(0, Send(kHostIp));
}

class RequestWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_window.Create(nullptr)); }
  CRecordingHandlers m_handlers;
  CRequestWindow m_window{m_handlers};
};

TEST_F(RequestWindowTest, IsHiddenAndFoundByItsTitleAlone) {
  EXPECT_EQ(m_window.GetHwnd(), ::FindWindowA(nullptr, "Tessaline Server Handler"));
  EXPECT_FALSE(::IsWindowVisible(m_window.GetHwnd()));
  const LONG_PTR style = ::GetWindowLongPtrA(m_window.GetHwnd(), GWL_STYLE);
  EXPECT_EQ(WS_CAPTION, style & WS_CAPTION) << std::hex << style;
  EXPECT_EQ(WS_SYSMENU, style & WS_SYSMENU) << std::hex << style;
  // OK and Cancel do not dismiss it.
  ::SendMessageA(m_window.GetHwnd(), WM_COMMAND, IDCANCEL, 0);
  ::SendMessageA(m_window.GetHwnd(), WM_COMMAND, IDOK, 0);
  ::SendMessageA(m_window.GetHwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(m_window.GetHwnd()));
}

TEST_F(RequestWindowTest, SecondProcessGetsTheHandlersVerdict) {
  m_handlers.nReply = 1;
  EXPECT_EQ(1, Send(kHostIp));
  m_handlers.nReply = 0;
  EXPECT_EQ(0, Send(kUrl));
  EXPECT_EQ(0, Send({REQUEST_URL, KIND_URL, MAIL_REQUEST_SIZE}));  // web request passed with the whole record
  m_handlers.nReply = 1;
  EXPECT_EQ(1, Send({REQUEST_MAIL, KIND_MAIL_LINK, MAIL_REQUEST_SIZE}));
  EXPECT_EQ((std::vector<std::string>{"ip", "url", "url", "mail"}), m_handlers.calls);
  EXPECT_EQ(8080, m_handlers.lastMail.source.nPort);  // the sender's port
}

TEST_F(RequestWindowTest, ReceiverTableRowsWithoutHandler) {
  struct SCase {
    const char* szWhat;
    SRecordToSend record;
    int nVerdict;
  };
  const SCase cases[] = {
      {"kind of another code", {REQUEST_HOST_IP, KIND_URL, WEB_REQUEST_SIZE}, VERDICT_ALLOW},
      {"kind of another code", {REQUEST_URL, KIND_HOST_IP, WEB_REQUEST_SIZE}, VERDICT_ALLOW},
      {"web kind in a mail request", {REQUEST_MAIL, KIND_HOST_IP, MAIL_REQUEST_SIZE}, VERDICT_ALLOW},
      {"unknown code: default processing", {kUnknownCode, KIND_HOST_IP, MAIL_REQUEST_SIZE}, 0},
      {"shorter than the mail layout", {REQUEST_MAIL, KIND_MAIL_FROM, WEB_REQUEST_SIZE}, VERDICT_BLOCK},
      {"shorter than the web layout", {REQUEST_HOST_IP, KIND_HOST_IP, WEB_REQUEST_SIZE - 1}, VERDICT_BLOCK},
      {"unterminated port", {REQUEST_HOST_IP, KIND_HOST_IP, WEB_REQUEST_SIZE, true}, VERDICT_BLOCK},
  };
  m_handlers.nReply = 0;
  for (const SCase& c : cases) EXPECT_EQ(c.nVerdict, Send(c.record)) << c.szWhat;
  EXPECT_TRUE(m_handlers.calls.empty());
}

// A handler that runs out of memory blocks its request; the console stays and
// answers the next one.
TEST(RequestWindow, HandlerThatThrowsBlocksAndTheWindowGoesOn) {
  class CFailingHandlers : public CRecordingHandlers {
   public:
    int HandleWebRequest(const SWebRequest& request) override {
      if (request.eKind == EWebKind::Url) throw std::bad_alloc();
      return CRecordingHandlers::HandleWebRequest(request);
    }
  } handlers;
  CRequestWindow window(handlers);
  ASSERT_TRUE(window.Create(nullptr));
  EXPECT_EQ(0, Send(kUrl));
  EXPECT_EQ(1, Send(kHostIp));
}

TEST(RequestWindow, GoesWithItsOwnerAndItsObjectLetsGo) {
  CRecordingHandlers handlers;
  CRequestWindow window(handlers);
  CDestroyWindow owner(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window.Create(owner.Get()));
  owner.Reset();
  EXPECT_EQ(nullptr, window.GetHwnd());
}

}  // namespace
