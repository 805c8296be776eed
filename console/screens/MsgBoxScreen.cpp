#include "console/screens/MsgBoxScreen.h"

#include "console/screens/ScreenText.h"

void CMsgBoxScreen::SendStartVariables(IFlashPlayer& player) const {
  player.SetVariable("_root.strMessageText", m_strMessageText);
  player.SetVariable("_root.strCaption", m_strCaption);
  player.SetVariable("_root.dwFlags", DecimalText(m_nFlags));
  player.SetVariable("_root.bMessageChanged", "");
}

SScreenReply CMsgBoxScreen::OnCommand(const char* szCommand, const char* szArgs) {
  if (IsDragCommand(szCommand)) return SScreenReply::Make(SScreenReply::Drag);
  if (IsSameCommand(szCommand, "IDC_FS_YES")) return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_OK);
  if (IsSameCommand(szCommand, "IDC_FS_Cancel")) return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_CANCEL);
  if (IsSameCommand(szCommand, "IDC_FS_NO")) return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_CANCEL);
  if (IsSameCommand(szCommand, "IDC_FS_OK")) return SScreenReply::Make(SScreenReply::End, SCREEN_RESULT_OK);
  if (IsSameCommand(szCommand, "IDC_FS_WIDTH")) {
    // The width waits for the height, which the movie sends second.
    if (!IsUndefinedArgument(szArgs)) m_nWidth = ReadDecimalArgument(szArgs);
    return SScreenReply::Make(SScreenReply::Handled);
  }
  if (IsSameCommand(szCommand, "IDC_FS_HIGH")) {
    if (!IsUndefinedArgument(szArgs)) m_nHeight = ReadDecimalArgument(szArgs);
    return SScreenReply::Make(SScreenReply::Resize);
  }
  return SScreenReply::Make(SScreenReply::Ignored);
}
