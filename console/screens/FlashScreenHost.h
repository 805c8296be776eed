// What every screen does with its movie, apart from the window that hosts it:
// the load sequence, the language pair, the key and mouse filter's decisions and
// the reply to a command.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <string>

#include "console/screens/FlashPlayer.h"

// Modal results.
enum : int { SCREEN_RESULT_OK = 1, SCREEN_RESULT_CANCEL = 2 };

// Movie, Scale "NoScale", AlignMode 5 and BackgroundColor 51, in this order.
void LoadScreenMovie(IFlashPlayer& player, const std::string& strMoviePath);

// The last step of every screen's start-up: the current language, then the flag
// that tells the movie to fetch its texts again.
void SendLanguagePair(IFlashPlayer& player, const std::string& strLanguage);

// What a screen does about one command of its movie.
struct SScreenReply {
  enum EKind { Ignored, Handled, Drag, End, Resize };
  EKind eKind = Ignored;
  int nResult = 0;  // for End

  static SScreenReply Make(EKind eKind, int nResult = 0) {
    SScreenReply reply;
    reply.eKind = eKind;
    reply.nResult = nResult;
    return reply;
  }
};

// "IDC_FS_DRAG" comes before every screen's own commands.
bool IsDragCommand(const char* szCommand);

// Which steps of the key and mouse filter a screen has.
enum class EScreenFilter {
  Modal,       // context menu, application key, F1 and Escape (message box, password, settings screens)
  Alert,       // as Modal without Escape, which reaches the dialog's Cancel action
  MainWindow,  // context menu and application key; F1 opens the help
  None,        // about box
};

enum class EFilterInput { RightButtonDownOnControl, ContextKeyDown, F1KeyDown, EscapeKeyDown, Other };

struct SFilterDecision {
  bool bClear = false;      // the message becomes a null message
  bool bHandled = false;    // and is not passed on
  bool bEndCancel = false;  // the screen ends with Cancel
  bool bOpenHelp = false;   // the main window opens its help file
};

SFilterDecision DecideScreenFilter(EScreenFilter eFilter, EFilterInput eInput);
