#include "standins/flashplayer/MovieFile.h"

#include <cerrno>
#include <cstdlib>

#include "shared/AsciiCase.h"

namespace {

// Splits a line into words; a word in double quotes may hold spaces and the
// escapes \" \\ \n \t and \xHH (the byte with two hex digits). A line whose first word starts with '#' is a comment.
bool SplitWords(const std::string& strLine, std::vector<std::string>& words, std::string& strError) {
  std::size_t i = 0;
  const std::size_t n = strLine.size();
  for (;;) {
    while (i < n && (strLine[i] == ' ' || strLine[i] == '\t' || strLine[i] == '\r')) ++i;
    if (i >= n || (words.empty() && strLine[i] == '#')) return true;
    std::string strWord;
    if (strLine[i] == '"') {
      ++i;
      bool bClosed = false;
      while (i < n) {
        const char c = strLine[i++];
        if (c == '"') {
          bClosed = true;
          break;
        }
        if (c == '\\' && i + 2 < n && strLine[i] == 'x' && HexDigitValue(strLine[i + 1]) >= 0 &&
            HexDigitValue(strLine[i + 2]) >= 0) {
          strWord += static_cast<char>(HexDigitValue(strLine[i + 1]) * 16 + HexDigitValue(strLine[i + 2]));
          i += 3;
        } else if (c == '\\' && i < n) {
          const char e = strLine[i++];
          strWord += e == 'n' ? '\n' : e == 't' ? '\t' : e;
        } else {
          strWord += c;
        }
      }
      if (!bClosed) {
        strError = "unterminated quoted text";
        return false;
      }
    } else {
      while (i < n && strLine[i] != ' ' && strLine[i] != '\t' && strLine[i] != '\r') strWord += strLine[i++];
    }
    words.push_back(strWord);
  }
}

bool ReadNumber(const std::string& strWord, int& nValue) {
  if (strWord.empty()) return false;
  char* pEnd = nullptr;
  errno = 0;
  const long n = std::strtol(strWord.c_str(), &pEnd, 10);
  if (*pEnd != 0 || errno != 0 || n < -1000000 || n > 1000000) return false;
  nValue = static_cast<int>(n);
  return true;
}

struct SControlSyntax {
  const char* szName;
  EMovieControlKind kind;
  std::size_t nRequired;  // words after the id and the four numbers
  std::size_t nOptional;
};

const SControlSyntax kControls[] = {
    {"text", EMovieControlKind::Text, 1, 0},          // text
    {"title", EMovieControlKind::Title, 1, 0},        // text
    {"headline", EMovieControlKind::Headline, 1, 0},  // text
    {"address", EMovieControlKind::Address, 1, 0},    // text
    {"group", EMovieControlKind::Group, 1, 0},        // caption
    {"icon", EMovieControlKind::Icon, 1, 0},          // name
    {"input", EMovieControlKind::Input, 1, 0},        // variable
    {"password", EMovieControlKind::Password, 1, 0},  // variable
    {"button", EMovieControlKind::Button, 3, 1},      // caption command argument [look]
    {"check", EMovieControlKind::Check, 2, 4},        // caption variable [on off [command argument]]
    {"radio", EMovieControlKind::Radio, 3, 2},        // caption variable value [command argument]
    {"stepper", EMovieControlKind::Stepper, 3, 2},    // variable minimum maximum [command argument]
    {"list", EMovieControlKind::List, 2, 3},          // variable columns [command argument] [empty text]
    {"tabs", EMovieControlKind::Tabs, 2, 2},          // variable caption=value|... [command argument]
    {"choice", EMovieControlKind::Choice, 2, 2},      // variable options [command argument]
};

const char* const kIconNames[] = {"protected", "unprotected", "partial", "alert"};

const std::pair<const char*, EButtonLook> kButtonLooks[] = {
    {"default", EButtonLook::Default},
    {"secondary", EButtonLook::Secondary},
    {"minimize", EButtonLook::Minimize},
    {"close", EButtonLook::Close},
};

std::vector<std::string> SplitAtBars(const std::string& strText) {
  std::vector<std::string> parts;
  for (std::size_t nStart = 0;;) {
    const std::size_t nBar = strText.find('|', nStart);
    parts.push_back(strText.substr(nStart, nBar - nStart));
    if (nBar == std::string::npos) return parts;
    nStart = nBar + 1;
  }
}

// "Heading:120" is a heading with its width; a heading without one shares the rest.
void ReadColumns(const std::string& strColumns, SMovieControl& control) {
  for (std::string strHeading : SplitAtBars(strColumns)) {
    int nWidth = 0;
    const std::size_t nColon = strHeading.rfind(':');
    if (nColon != std::string::npos && ReadNumber(strHeading.substr(nColon + 1), nWidth) && nWidth > 0) {
      strHeading.resize(nColon);
    } else {
      nWidth = 0;
    }
    control.columns.push_back(strHeading);
    control.widths.push_back(nWidth);
  }
}

bool ReadTabs(const std::string& strTabs, SMovieControl& control, std::string& strError) {
  for (const std::string& strTab : SplitAtBars(strTabs)) {
    const std::size_t nEquals = strTab.find('=');
    if (nEquals == std::string::npos || nEquals == 0) {
      strError = "each tab is caption=value";
      return false;
    }
    control.columns.push_back(strTab.substr(0, nEquals));
    control.values.push_back(strTab.substr(nEquals + 1));
  }
  return true;
}

bool ReadControl(const SControlSyntax& syntax, const std::vector<std::string>& w, SMovieControl& control,
                 std::string& strError) {
  const std::size_t nWords = w.size() - 6;
  if (w.size() < 6 || nWords < syntax.nRequired || nWords > syntax.nRequired + syntax.nOptional) {
    strError = std::string("wrong number of words for ") + syntax.szName;
    return false;
  }
  control.kind = syntax.kind;
  if (!ReadNumber(w[1], control.nId) || !ReadNumber(w[2], control.x) || !ReadNumber(w[3], control.y) ||
      !ReadNumber(w[4], control.cx) || !ReadNumber(w[5], control.cy)) {
    strError = "id and position must be numbers";
    return false;
  }
  if (control.nId < 1 || control.nId > 65535 || control.cx < 0 || control.cy < 0) {
    strError = "id must be 1 to 65535 and sizes not negative";
    return false;
  }
  auto readCommand = [&](std::size_t nAt) {
    if (w.size() >= nAt + 2) control.command = {w[nAt], w[nAt + 1]};
  };
  switch (syntax.kind) {
    case EMovieControlKind::Text:
    case EMovieControlKind::Title:
    case EMovieControlKind::Headline:
    case EMovieControlKind::Address:
    case EMovieControlKind::Group:
      control.strText = w[6];
      break;
    case EMovieControlKind::Icon: {
      bool bKnown = false;
      for (const char* szName : kIconNames) bKnown = bKnown || w[6] == szName;
      if (!bKnown) {
        strError = "unknown icon \"" + w[6] + "\"";
        return false;
      }
      control.strValue = w[6];
      break;
    }
    case EMovieControlKind::Input:
    case EMovieControlKind::Password:
      control.strVariable = w[6];
      break;
    case EMovieControlKind::Button:
      control.strText = w[6];
      control.command = {w[7], w[8]};
      if (nWords == 4) {
        bool bKnown = false;
        for (const auto& look : kButtonLooks) {
          if (w[9] == look.first) {
            control.look = look.second;
            bKnown = true;
          }
        }
        if (!bKnown) {
          strError = "unknown button look \"" + w[9] + "\"";
          return false;
        }
      }
      break;
    case EMovieControlKind::Check:
      control.strText = w[6];
      control.strVariable = w[7];
      control.strValue = "1";
      control.strOffValue = "0";
      if (nWords == 3 || nWords == 5) {
        strError = "a check box takes both an on and an off value";
        return false;
      }
      if (nWords >= 4) {
        control.strValue = w[8];
        control.strOffValue = w[9];
      }
      readCommand(10);
      break;
    case EMovieControlKind::Radio:
      control.strText = w[6];
      control.strVariable = w[7];
      control.strValue = w[8];
      if (nWords == 4) {
        strError = "a command needs its argument";
        return false;
      }
      readCommand(9);
      break;
    case EMovieControlKind::Stepper:
      control.strVariable = w[6];
      if (!ReadNumber(w[7], control.nMinimum) || !ReadNumber(w[8], control.nMaximum) ||
          control.nMinimum > control.nMaximum) {
        strError = "a stepper needs a minimum not above its maximum";
        return false;
      }
      if (nWords == 4) {
        strError = "a command needs its argument";
        return false;
      }
      readCommand(9);
      break;
    case EMovieControlKind::List:
      // One word more than the command is the text of the empty list.
      control.strVariable = w[6];
      ReadColumns(w[7], control);
      if (nWords == 3 || nWords == 5) control.strEmptyText = w.back();
      if (nWords >= 4) readCommand(8);
      break;
    case EMovieControlKind::Tabs:
    case EMovieControlKind::Choice:
      control.strVariable = w[6];
      if (syntax.kind == EMovieControlKind::Tabs && !ReadTabs(w[7], control, strError)) return false;
      if (syntax.kind == EMovieControlKind::Choice) control.strText = w[7];
      if (nWords == 3) {
        strError = "a command needs its argument";
        return false;
      }
      readCommand(8);
      break;
  }
  return true;
}

bool ReadLine(const std::vector<std::string>& w, SMovie& movie, std::string& strPage,
              std::vector<SMovieCondition>& conditions, std::string& strError) {
  const std::string& strVerb = w[0];
  if (strVerb == "stage") {
    if (w.size() != 3 || !ReadNumber(w[1], movie.cx) || !ReadNumber(w[2], movie.cy) || movie.cx < 0 || movie.cy < 0) {
      strError = "stage takes a width and a height";
      return false;
    }
    return true;
  }
  if (strVerb == "set") {
    if (w.size() != 3) {
      strError = "set takes a variable and a value";
      return false;
    }
    movie.initialValues.emplace_back(w[1], w[2]);
    return true;
  }
  if (strVerb == "onload") {
    if (w.size() != 3) {
      strError = "onload takes a command and an argument";
      return false;
    }
    movie.onLoad.push_back({w[1], w[2]});
    return true;
  }
  if (strVerb == "onpress") {
    if (w.size() != 3) {
      strError = "onpress takes a command and an argument";
      return false;
    }
    movie.onPress = {w[1], w[2]};
    return true;
  }
  if (strVerb == "onset") {
    if (w.size() != 4) {
      strError = "onset takes a variable, a command and an argument";
      return false;
    }
    movie.onSet.push_back({w[1], {w[2], w[3]}});
    return true;
  }
  if (strVerb == "onadd") {
    if (w.size() != 6) {
      strError = "onadd takes a variable, a list, the item variables, a command and an argument";
      return false;
    }
    SMovieRowReaction reaction;
    reaction.strVariable = w[1];
    reaction.strValue = "Add";
    reaction.strList = w[2];
    reaction.itemVariables = SplitAtBars(w[3]);
    reaction.command = {w[4], w[5]};
    movie.rowReactions.push_back(reaction);
    return true;
  }
  if (strVerb == "onupdate") {
    SMovieRowReaction reaction;
    if (w.size() != 7 || !ReadNumber(w[5], reaction.nColumn) || reaction.nColumn < 0) {
      strError = "onupdate takes a variable, a value or *, a list, an index variable, a column and a value variable";
      return false;
    }
    reaction.bUpdate = true;
    reaction.strVariable = w[1];
    reaction.strValue = w[2];
    reaction.strList = w[3];
    reaction.strIndexVariable = w[4];
    reaction.strValueVariable = w[6];
    movie.rowReactions.push_back(reaction);
    return true;
  }
  if (strVerb == "onsend") {
    // onsend CMD remove LIST | onsend CMD clear LIST | onsend CMD cell LIST COLUMN VALUE
    SMovieListEdit edit;
    const std::string strEdit = w.size() > 2 ? w[2] : std::string();
    const bool bCell = strEdit == "cell";
    if ((strEdit != "remove" && strEdit != "clear" && !bCell) || w.size() != (bCell ? 6u : 4u) ||
        (bCell && (!ReadNumber(w[4], edit.nColumn) || edit.nColumn < 0))) {
      strError = "onsend takes a command, then remove or clear and a list, or cell, a list, a column and a value";
      return false;
    }
    edit.strCommand = w[1];
    edit.eEdit = bCell                ? EMovieListEdit::SetCell
                 : strEdit == "clear" ? EMovieListEdit::Clear
                                      : EMovieListEdit::RemoveRow;
    edit.strList = w[3];
    if (bCell) edit.strValue = w[5];
    movie.listEdits.push_back(edit);
    return true;
  }
  if (strVerb == "page") {
    if (w.size() != 2) {
      strError = "page takes a frame label or *";
      return false;
    }
    strPage = w[1] == "*" ? std::string() : w[1];
    bool bKnown = strPage.empty();
    for (const std::string& strLabel : movie.labels) bKnown = bKnown || strLabel == strPage;
    if (!bKnown) movie.labels.push_back(strPage);
    return true;
  }
  if (strVerb == "when") {
    conditions.clear();
    if (w.size() == 2 && w[1] == "*") return true;
    // variable = value [and variable != value ...]
    for (std::size_t i = 1;; i += 4) {
      if (i + 3 > w.size() || (w[i + 1] != "=" && w[i + 1] != "!=") ||
          (i + 3 < w.size() && (w[i + 3] != "and" || i + 4 == w.size()))) {
        strError = "when takes: variable = value, variable != value, joined by and; or *";
        return false;
      }
      conditions.push_back({w[i], w[i + 2], w[i + 1] == "="});
      if (i + 3 == w.size()) return true;
    }
  }
  for (const SControlSyntax& syntax : kControls) {
    if (strVerb == syntax.szName) {
      SMovieControl control;
      if (!ReadControl(syntax, w, control, strError)) return false;
      control.strPage = strPage;
      control.conditions = conditions;
      movie.controls.push_back(control);
      return true;
    }
  }
  strError = "unknown word \"" + strVerb + "\"";
  return false;
}

CResult NotAMovie(const std::string& strWhy) {
  return CResult(RESULT_INVALID_DATA, strWhy);
}

}  // namespace

CResultOf<SMovie> ParseMovie(const std::string& strText) {
  SMovie movie;
  std::string strPage;
  std::vector<SMovieCondition> conditions;
  std::size_t nStart = 0;
  int nLine = 0;
  bool bFirst = true;
  while (nStart <= strText.size()) {
    std::size_t nEnd = strText.find('\n', nStart);
    if (nEnd == std::string::npos) nEnd = strText.size();
    const std::string strLine = strText.substr(nStart, nEnd - nStart);
    nStart = nEnd + 1;
    ++nLine;
    std::vector<std::string> words;
    std::string strWhy;
    if (!SplitWords(strLine, words, strWhy)) {
      return NotAMovie("line " + std::to_string(nLine) + ": " + strWhy);
    }
    if (words.empty()) continue;
    if (bFirst) {
      // The first line names the format, so that any other file is refused.
      if (words.size() != 2 || words[0] != "hwmovie" || words[1] != "1") {
        return NotAMovie("line " + std::to_string(nLine) + ": not a movie (first line must be \"hwmovie 1\")");
      }
      bFirst = false;
      continue;
    }
    if (!ReadLine(words, movie, strPage, conditions, strWhy)) {
      return NotAMovie("line " + std::to_string(nLine) + ": " + strWhy);
    }
  }
  if (bFirst) {
    return NotAMovie("empty movie");
  }
  return movie;
}

SAddressParts SplitAddressHost(const std::string& strText) {
  SAddressParts parts;
  // The address is the text's last word, after a label such as "Site: ".
  const std::size_t nBlank = strText.find_last_of(" \t\r\n");
  std::size_t nStart = nBlank == std::string::npos ? 0 : nBlank + 1;
  const std::size_t nScheme = strText.find("://", nStart);
  if (nScheme != std::string::npos) nStart = nScheme + 3;
  std::size_t nEnd = strText.find_first_of("/?#", nStart);
  if (nEnd == std::string::npos) nEnd = strText.size();
  std::string strHost = strText.substr(nStart, nEnd - nStart);
  // The user before the host (of a mail address too) and the port after it are not part of it.
  const std::size_t nAt = strHost.rfind('@');
  if (nAt != std::string::npos) {
    nStart += nAt + 1;
    strHost.erase(0, nAt + 1);
  }
  const std::size_t nColon = strHost.find(':');
  if (nColon != std::string::npos && strHost.find(']') == std::string::npos) {
    nEnd = nStart + nColon;
    strHost.resize(nColon);
  }
  if (strHost.empty() || strHost.find('.') == std::string::npos ||
      strHost.find_first_of(" \t\r\n") != std::string::npos) {
    parts.strBefore = strText;
    return parts;
  }
  parts.strBefore = strText.substr(0, nStart);
  parts.strHost = strHost;
  parts.strAfter = strText.substr(nEnd);
  return parts;
}

std::vector<std::string> SplitOptions(const std::string& strText) {
  std::vector<std::string> options;
  for (const std::string& strOption : SplitAtBars(strText)) {
    if (!strOption.empty()) options.push_back(strOption);
  }
  return options;
}

bool ReadStageNumber(const std::string& strWord, int& nValue) {
  return ReadNumber(strWord, nValue);
}
