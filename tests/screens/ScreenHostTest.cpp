// The screen host's exchange with a movie: start-up order, command matching, the
// message box's commands and sizing, and the key filter of each kind of screen.
#include <gtest/gtest.h>

#include <climits>

#include "console/screens/FlashScreenHost.h"
#include "console/screens/MsgBoxScreen.h"
#include "console/screens/ScreenText.h"
#include "screens/RecordingPlayer.h"

TEST(ScreenHost, MessageBoxStartUpSendsEverythingInOrder) {
  CRecordingPlayer player;
  CMsgBoxScreen box(246, 124);
  box.m_strMessageText = "Line one\nLine two";
  box.m_strCaption = "Hookwarden";
  box.m_nFlags = MSGBOX_FLAGS_YESNO;
  LoadScreenMovie(player, "C:\\App\\74\\27648\\72877783716688.hwf");
  box.SendStartVariables(player);
  SendLanguagePair(player, "English");
  const std::vector<std::string> expected = {
      "Movie=C:\\App\\74\\27648\\72877783716688.hwf",
      "Scale=NoScale",
      "AlignMode=5",
      "BackgroundColor=51",
      "Set _root.strMessageText=Line one\nLine two",
      "Set _root.strCaption=Hookwarden",
      "Set _root.dwFlags=3",
      "Set _root.bMessageChanged=",
      "Set _root.strCurrentLanguage=English",
      "Set _root.bLanguageChanged=true",
  };
  EXPECT_EQ(expected, player.calls);
}

TEST(ScreenHost, CommandsMatchInAnyLetterCaseOnly) {
  EXPECT_TRUE(IsSameCommand("idc_fs_drag", "IDC_FS_DRAG"));
  EXPECT_TRUE(IsSameCommand("IdC_fS_DrAg", "IDC_FS_DRAG"));
  EXPECT_TRUE(IsDragCommand("Idc_Fs_Drag"));
  EXPECT_FALSE(IsSameCommand("IDC_FS-DRAG", "IDC_FS_DRAG"));
  EXPECT_FALSE(IsSameCommand("IDC_FS_DRAGX", "IDC_FS_DRAG"));
  EXPECT_FALSE(IsSameCommand("IDC_FS_DRA", "IDC_FS_DRAG"));
  EXPECT_FALSE(IsSameCommand(nullptr, "IDC_FS_DRAG"));
  // Only A to Z fold: '@' (0x40) and '`' (0x60) stay different.
  EXPECT_FALSE(IsSameCommand("@", "`"));
  EXPECT_TRUE(IsUndefinedArgument("UNDEFINED"));
  EXPECT_TRUE(IsUndefinedArgument("Undefined"));
  EXPECT_FALSE(IsUndefinedArgument("undefined "));
}

TEST(ScreenHost, ArgumentsReadAsPlainDecimals) {
  EXPECT_EQ(300, ReadDecimalArgument("300"));
  EXPECT_EQ(12, ReadDecimalArgument("12px"));
  EXPECT_EQ(-42, ReadDecimalArgument("  -42"));
  EXPECT_EQ(0, ReadDecimalArgument("abc"));
  EXPECT_EQ(0, ReadDecimalArgument(""));
  EXPECT_EQ(0, ReadDecimalArgument(nullptr));
  EXPECT_EQ(INT_MAX, ReadDecimalArgument("99999999999999999999999"));
  EXPECT_EQ(INT_MIN, ReadDecimalArgument("-99999999999999999999999"));
}

TEST(ScreenHost, MessageBoxEndsWithTheAnswersResult) {
  struct SCase {
    const char* szCommand;
    SScreenReply::EKind eKind;
    int nResult;
  };
  const SCase cases[] = {
      {"IDC_FS_YES", SScreenReply::End, 1},       {"idc_fs_yes", SScreenReply::End, 1},
      {"IDC_FS_NO", SScreenReply::End, 2},        {"IDC_FS_CANCEL", SScreenReply::End, 2},
      {"idc_fs_ok", SScreenReply::End, 1},        {"iDc_Fs_DrAg", SScreenReply::Drag, 0},
      {"IDC_FS_MAYBE", SScreenReply::Ignored, 0}, {"", SScreenReply::Ignored, 0},
  };
  for (const SCase& c : cases) {
    CMsgBoxScreen box(10, 20);
    const SScreenReply reply = box.OnCommand(c.szCommand, "");
    EXPECT_EQ(c.eKind, reply.eKind) << c.szCommand;
    EXPECT_EQ(c.nResult, reply.nResult) << c.szCommand;
    EXPECT_EQ(10, box.Width()) << c.szCommand;
    EXPECT_EQ(20, box.Height()) << c.szCommand;
  }
}

TEST(ScreenHost, MessageBoxSizesWidthFirstThenHeight) {
  CMsgBoxScreen box(246, 124);
  // The width alone never resizes.
  EXPECT_EQ(SScreenReply::Handled, box.OnCommand("IDC_FS_WIDTH", "300").eKind);
  EXPECT_EQ(300, box.Width());
  EXPECT_EQ(124, box.Height());
  // The height resizes even when its own argument is undefined.
  EXPECT_EQ(SScreenReply::Resize, box.OnCommand("IDC_FS_HIGH", "undefined").eKind);
  EXPECT_EQ(300, box.Width());
  EXPECT_EQ(124, box.Height());

  EXPECT_EQ(SScreenReply::Handled, box.OnCommand("idc_fs_width", "UNDEFINED").eKind);
  EXPECT_EQ(300, box.Width());
  EXPECT_EQ(SScreenReply::Resize, box.OnCommand("Idc_Fs_High", "150").eKind);
  EXPECT_EQ(150, box.Height());
  EXPECT_EQ(SScreenReply::Resize, box.OnCommand("IDC_FS_HIGH", "tall").eKind);
  EXPECT_EQ(0, box.Height());
}

TEST(ScreenHost, KeyFilterPerKindOfScreen) {
  struct SCase {
    EScreenFilter eFilter;
    EFilterInput eInput;
    bool bClear, bHandled, bEndCancel, bOpenHelp;
  };
  const SCase cases[] = {
      {EScreenFilter::Modal, EFilterInput::RightButtonDownOnControl, true, false, false, false},
      {EScreenFilter::Modal, EFilterInput::ContextKeyDown, true, false, false, false},
      {EScreenFilter::Modal, EFilterInput::F1KeyDown, true, true, false, false},
      {EScreenFilter::Modal, EFilterInput::EscapeKeyDown, true, false, true, false},
      {EScreenFilter::Modal, EFilterInput::Other, false, false, false, false},
      // The alert leaves Escape to the dialog, whose Cancel action ends it.
      {EScreenFilter::Alert, EFilterInput::RightButtonDownOnControl, true, false, false, false},
      {EScreenFilter::Alert, EFilterInput::F1KeyDown, true, true, false, false},
      {EScreenFilter::Alert, EFilterInput::EscapeKeyDown, false, false, false, false},
      {EScreenFilter::MainWindow, EFilterInput::ContextKeyDown, true, false, false, false},
      {EScreenFilter::MainWindow, EFilterInput::F1KeyDown, true, true, false, true},
      {EScreenFilter::MainWindow, EFilterInput::EscapeKeyDown, false, false, false, false},
      {EScreenFilter::None, EFilterInput::RightButtonDownOnControl, false, false, false, false},
      {EScreenFilter::None, EFilterInput::F1KeyDown, false, false, false, false},
      {EScreenFilter::None, EFilterInput::EscapeKeyDown, false, false, false, false},
  };
  for (const SCase& c : cases) {
    const SFilterDecision d = DecideScreenFilter(c.eFilter, c.eInput);
    const std::string strWhich =
        std::to_string(static_cast<int>(c.eFilter)) + "/" + std::to_string(static_cast<int>(c.eInput));
    EXPECT_EQ(c.bClear, d.bClear) << strWhich;
    EXPECT_EQ(c.bHandled, d.bHandled) << strWhich;
    EXPECT_EQ(c.bEndCancel, d.bEndCancel) << strWhich;
    EXPECT_EQ(c.bOpenHelp, d.bOpenHelp) << strWhich;
  }
}
