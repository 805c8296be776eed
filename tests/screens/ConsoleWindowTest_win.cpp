// The window base hands a dialog's messages to typed handlers, the console's own
// messages by name, and answers with the result a handler set: in DWLP_MSGRESULT for most messages, as the procedure's
// own return value for the few the dialog manager passes on unchanged.
#include "console/screens/ConsoleWindow_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/screens/DialogTemplate_win.h"

namespace {

constexpr UINT kAnsweredMessage = WM_USER + 1;
constexpr LONG_PTR kResult = 0x1234;
constexpr UINT kControlId = 1001;
constexpr UINT kNotificationCode = 7;
constexpr UINT_PTR kTimerId = 42;

class CRecordingDialog : public CConsoleWindow {
 public:
  bool Create() {
    CDialogTemplate dialogTemplate(WS_POPUP, 0, 0, 0, 50, 20, "test");
    return CreateDialogFromTemplate(dialogTemplate, nullptr, &CRecordingDialog::DialogProc, CreationParam()) != nullptr;
  }
  HWND Hwnd() const { return m_wnd.Get(); }

  std::vector<std::string> calls;

 private:
  void OnInitDialog() override { calls.push_back("init"); }
  bool OnCommand(const SCommand& command) override {
    calls.push_back("command " + std::to_string(command.nId) + " " + std::to_string(command.nCode));
    return true;
  }
  bool OnTimer(UINT_PTR nTimerId) override {
    calls.push_back("timer " + std::to_string(nTimerId));
    return true;
  }
  bool OnNotify(const NMHDR& header) override {
    calls.push_back("notify " + std::to_string(header.idFrom) + " " + std::to_string(header.code));
    return true;
  }
  bool OnAppMessage(const SAppMessage& message) override {
    calls.push_back("app " + std::to_string(AppMessageNumber(message.eMessage) - WM_APP) + " " +
                    std::to_string(message.wParam) + " " + std::to_string(message.lParam));
    return SetDialogResult(kResult);
  }
  bool OnMessage(UINT uMsg, WPARAM, LPARAM) override {
    if (uMsg == kAnsweredMessage || uMsg == WM_QUERYDRAGICON) return SetDialogResult(kResult);
    return false;
  }
};

TEST(ConsoleWindow, DialogMessagesReachTheirTypedHandlersAndAnswerTheirResult) {
  CRecordingDialog dialog;
  ASSERT_TRUE(dialog.Create());
  const HWND hWnd = dialog.Hwnd();
  ::SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(kControlId, kNotificationCode), 0);
  ::SendMessageA(hWnd, WM_TIMER, kTimerId, 0);
  NMHDR header = {hWnd, kControlId, kNotificationCode};
  ::SendMessageA(hWnd, WM_NOTIFY, kControlId, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(kResult, ::SendMessageA(hWnd, AppMessageNumber(EAppMessage::UpdaterEnded), 2, 0));
  ::SendMessageA(hWnd, WM_APP, 0, 0);  // not one of the console's own: the dialog manager's
  const std::string strEnded = "app " + std::to_string(AppMessageNumber(EAppMessage::UpdaterEnded) - WM_APP) + " 2 0";
  EXPECT_EQ((std::vector<std::string>{"init", "command 1001 7", "timer 42", "notify 1001 7", strEnded}), dialog.calls);

  EXPECT_EQ(kResult, ::SendMessageA(hWnd, kAnsweredMessage, 0, 0));
  // The drag icon is the procedure's return value, not DWLP_MSGRESULT.
  EXPECT_EQ(kResult, ::SendMessageA(hWnd, WM_QUERYDRAGICON, 0, 0));
}

}  // namespace
