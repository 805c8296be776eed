#include "console/screens/FlashScreenHost.h"

#include "console/screens/ScreenText.h"

void LoadScreenMovie(IFlashPlayer& player, const std::string& strMoviePath) {
  player.PutMovie(strMoviePath);
  player.PutScale("NoScale");
  player.PutAlignMode(5);
  player.PutBackgroundColor(51);
}

void SendLanguagePair(IFlashPlayer& player, const std::string& strLanguage) {
  player.SetVariable("_root.strCurrentLanguage", strLanguage);
  player.SetVariable("_root.bLanguageChanged", "true");
}

bool IsDragCommand(const char* szCommand) {
  return IsSameCommand(szCommand, "IDC_FS_DRAG");
}

SFilterDecision DecideScreenFilter(EScreenFilter eFilter, EFilterInput eInput) {
  SFilterDecision decision;
  if (eFilter == EScreenFilter::None) return decision;
  switch (eInput) {
    case EFilterInput::RightButtonDownOnControl:  // the player's context menu never opens
    case EFilterInput::ContextKeyDown:
      decision.bClear = true;
      break;
    case EFilterInput::F1KeyDown:
      decision.bClear = true;
      decision.bHandled = true;
      decision.bOpenHelp = eFilter == EScreenFilter::MainWindow;
      break;
    case EFilterInput::EscapeKeyDown:
      if (eFilter == EScreenFilter::Modal) {
        decision.bClear = true;
        decision.bEndCancel = true;
      }
      break;
    case EFilterInput::Other:
      break;
  }
  return decision;
}
