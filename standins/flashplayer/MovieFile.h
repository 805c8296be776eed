// A stand-in movie: the stage size, the commands sent once it is loaded, and the
// controls that show its variables and send its commands. The text format is
// described in MOVIE-FORMAT.md beside this file.
#pragma once

#include <string>
#include <vector>

#include "shared/Result.h"

enum class EMovieControlKind {
  Text,
  Title,
  Headline,
  Address,
  Group,
  Icon,
  Input,
  Password,
  Button,
  Check,
  Radio,
  Stepper,
  List,
  Tabs,
  Choice,
};

// The look of a button: the default one is the screen's safe answer and takes
// the focus, a secondary one reads as the lesser choice; minimize and close draw
// their sign and keep the caption as their name.
enum class EButtonLook { Normal, Default, Secondary, Minimize, Close };

// Shows a control only while a variable holds (or does not hold) a value.
struct SMovieCondition {
  std::string strVariable;
  std::string strValue;
  bool bEquals = true;
};

// A command with its argument; an argument "$name" stands for the value of the
// variable name when the command is sent ("undefined" when it has none), and "#"
// for the selected row of a list (0 upward, "undefined" for none).
struct SMovieCommand {
  std::string strCommand;
  std::string strArgument;
};

struct SMovieControl {
  EMovieControlKind kind = EMovieControlKind::Text;
  int nId = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string strText;               // text, caption, choice's options; "$(name)" is replaced by the variable's value
  std::string strVariable;           // input, password, check, radio, stepper, list, tabs, choice: the bound variable
  std::string strValue;              // radio: the value it stands for; check: its "on" value; icon: its name
  std::string strOffValue;           // check: its "off" value
  std::vector<std::string> columns;  // list: column headings; tabs: their captions
  std::vector<int> widths;           // list: column widths in stage pixels, 0 for an even share
  std::vector<std::string> values;   // tabs: the value each tab sets
  std::string strEmptyText;          // list: shown while it has no rows
  EButtonLook look = EButtonLook::Normal;
  int nMinimum = 0, nMaximum = 0;           // stepper
  SMovieCommand command;                    // button: sent when pressed; others: sent on change when set
  std::string strPage;                      // frame label the control belongs to; empty: every label
  std::vector<SMovieCondition> conditions;  // all must hold
};

// Sent when the console sets a variable.
struct SMovieReaction {
  std::string strVariable;
  SMovieCommand command;
};

// The movie's side of a list's row exchange: when the console sets strVariable to
// strValue ("*" any value), either a row of the values of itemVariables is appended
// to the list variable strList and command is sent (add), or the cell nColumn of
// the row named by strIndexVariable becomes strValueVariable's value (update).
struct SMovieRowReaction {
  bool bUpdate = false;
  std::string strVariable;
  std::string strValue;
  std::string strList;
  std::vector<std::string> itemVariables;
  SMovieCommand command;
  std::string strIndexVariable;
  int nColumn = 0;
  std::string strValueVariable;
};

// The movie's own change of a list when it sends a command: the row the command's
// argument names is removed, the list is emptied, or the cell nColumn of that row
// becomes strValue. A list that loses rows loses its selection too.
enum class EMovieListEdit { RemoveRow, Clear, SetCell };
struct SMovieListEdit {
  std::string strCommand;
  EMovieListEdit eEdit = EMovieListEdit::RemoveRow;
  std::string strList;
  int nColumn = 0;
  std::string strValue;
};

struct SMovie {
  int cx = 0, cy = 0;
  std::vector<SMovieCommand> onLoad;
  SMovieCommand onPress;  // left button down on the stage outside the controls
  std::vector<SMovieReaction> onSet;
  std::vector<SMovieRowReaction> rowReactions;
  std::vector<SMovieListEdit> listEdits;
  std::vector<std::pair<std::string, std::string>> initialValues;
  std::vector<std::string> labels;  // in the order of their first "page" line
  std::vector<SMovieControl> controls;
};

// Reads a movie from its text; RESULT_INVALID_DATA with a message that names the
// line for text that is not one.
CResultOf<SMovie> ParseMovie(const std::string& strText);

// The parts of an address around its host, so that the host can be shown apart.
// The address is the text's last word: "Site: https://login.example.com/verify"
// gives "Site: https://", "login.example.com" and "/verify"; a mail address
// "a@example.net" gives "a@" and "example.net". A text whose last word has no
// host (no dot) is all in strBefore.
struct SAddressParts {
  std::string strBefore;
  std::string strHost;
  std::string strAfter;
};
SAddressParts SplitAddressHost(const std::string& strText);

// A whole decimal number of at most a million either way, as in a movie's lines.
bool ReadStageNumber(const std::string& strWord, int& nValue);

// Options joined with "|" as a list; empty options are dropped.
std::vector<std::string> SplitOptions(const std::string& strText);

// Replaces every "$(name)" in strText by lookup(name).
template <class Lookup>
std::string ExpandMovieText(const std::string& strText, Lookup lookup) {
  std::string strResult;
  std::size_t i = 0;
  while (i < strText.size()) {
    if (strText.compare(i, 2, "$(") == 0) {
      const std::size_t nClose = strText.find(')', i + 2);
      if (nClose != std::string::npos) {
        strResult += lookup(strText.substr(i + 2, nClose - i - 2));
        i = nClose + 1;
        continue;
      }
    }
    strResult += strText[i++];
  }
  return strResult;
}
