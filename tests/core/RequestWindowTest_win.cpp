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

int Send(const std::string& strArguments) {
  return RunChildPumping("RequestSender.exe", strArguments);
}

TEST(RequestWindow, SenderWithoutConsoleGetsBlock) {
  ASSERT_EQ(nullptr, ::FindWindowA(nullptr, REQUEST_WINDOW_TITLE));
  EXPECT_EQ(0, Send("1125 I 654"));
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
  EXPECT_EQ(1, Send("1125 I 654"));
  m_handlers.nReply = 0;
  EXPECT_EQ(0, Send("1126 U 654"));
  EXPECT_EQ(0, Send("1126 U 1681"));  // web request passed with the whole record
  m_handlers.nReply = 1;
  EXPECT_EQ(1, Send("1127 L 1681"));
  EXPECT_EQ((std::vector<std::string>{"ip", "url", "url", "mail"}), m_handlers.calls);
  EXPECT_STREQ("8080", m_handlers.last.szPort);
}

TEST_F(RequestWindowTest, ReceiverTableRowsWithoutHandler) {
  m_handlers.nReply = 0;
  EXPECT_EQ(1, Send("1125 U 654"));  // kind of another code
  EXPECT_EQ(1, Send("1126 I 654"));
  EXPECT_EQ(1, Send("1127 I 1681"));
  EXPECT_EQ(0, Send("1128 I 1681"));  // unknown code: default processing
  EXPECT_EQ(0, Send("1127 F 654"));   // shorter than the mail layout
  EXPECT_EQ(0, Send("1125 I 653"));
  EXPECT_EQ(0, Send("1125 I 654 unterminated"));
  EXPECT_TRUE(m_handlers.calls.empty());
}

// A handler that runs out of memory blocks its request; the console stays and
// answers the next one.
TEST(RequestWindow, HandlerThatThrowsBlocksAndTheWindowGoesOn) {
  class CFailingHandlers : public CRecordingHandlers {
   public:
    int HandleUrlRequest(const EngineRequest&) override { throw std::bad_alloc(); }
  } handlers;
  CRequestWindow window(handlers);
  ASSERT_TRUE(window.Create(nullptr));
  EXPECT_EQ(0, Send("1126 U 654"));
  EXPECT_EQ(1, Send("1125 I 654"));
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
