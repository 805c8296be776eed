// The stand-in player's movie reader: what it makes of each kind of line, and the
// line it names for a broken movie.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <utility>

#include "standins/flashplayer/MovieFile.h"
#include "standins/flashplayer/MovieRows.h"

TEST(MovieFile, ReadsPagesConditionsAndControls) {
  const std::string strText =
      "hwmovie 1\r\n"
      "  # comment\n"
      "stage 330 150\n"
      "set _root.x \"two words\"\n"
      "onload IDC_FS_WIDTH 330\n"
      "onpress IDC_FS_DRAG \"\"\n"
      "onset _root.rows IDC_FS_FED #\n"
      "page one\n"
      "text 10 1 2 3 4 \"Hello \\\"$(_root.x)\\\"\\n\" \n"
      "when _root.dwFlags != 3\n"
      "button 11 5 6 7 8 OK IDC_FS_OK $_root.x\n"
      "page *\n"
      "when *\n"
      "check 12 0 0 9 9 Remember _root.bRemember true false IDC_FS_CHECK \"\"\n"
      "radio 13 0 0 9 9 Block _root.nAction \"\\x01\\x4A\\xg\"\n"
      "stepper 14 0 0 9 9 _root.nDays 1 365\n"
      "list 15 0 0 9 9 _root.rows Name|Date IDC_FS_PICK #\n"
      "page two\n"
      "password 16 0 0 9 9 _root.strPasswordValue\n"
      "when _root.a = 1 and _root.b != \"\"\n"
      "tabs 17 0 0 9 9 page \"One=one|Two=two\"\n"
      "list 18 0 0 9 9 _root.log \"Name:120|Date\" \"Nothing yet\"\n"
      "button 19 0 0 9 9 Block IDC_FS_BLOCK \"\" default\n";
  const CResultOf<SMovie> parsed = ParseMovie(strText);
  ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  const SMovie& movie = parsed.Value();
  EXPECT_EQ(330, movie.cx);
  EXPECT_EQ(150, movie.cy);
  ASSERT_EQ(1u, movie.initialValues.size());
  EXPECT_EQ("two words", movie.initialValues[0].second);
  ASSERT_EQ(1u, movie.onLoad.size());
  EXPECT_EQ("IDC_FS_WIDTH", movie.onLoad[0].strCommand);
  EXPECT_EQ("330", movie.onLoad[0].strArgument);
  EXPECT_EQ("IDC_FS_DRAG", movie.onPress.strCommand);
  ASSERT_EQ(1u, movie.onSet.size());
  EXPECT_EQ("_root.rows", movie.onSet[0].strVariable);
  EXPECT_EQ((std::vector<std::string>{"one", "two"}), movie.labels);
  ASSERT_EQ(10u, movie.controls.size());

  const SMovieControl& text = movie.controls[0];
  EXPECT_EQ(EMovieControlKind::Text, text.kind);
  EXPECT_EQ("Hello \"$(_root.x)\"\n", text.strText);
  EXPECT_EQ("one", text.strPage);
  EXPECT_TRUE(text.conditions.empty());

  const SMovieControl& button = movie.controls[1];
  EXPECT_EQ(11, button.nId);
  EXPECT_EQ(8, button.cy);
  EXPECT_EQ("$_root.x", button.command.strArgument);
  ASSERT_EQ(1u, button.conditions.size());
  EXPECT_EQ("_root.dwFlags", button.conditions[0].strVariable);
  EXPECT_FALSE(button.conditions[0].bEquals);
  EXPECT_EQ(EButtonLook::Normal, button.look);

  const SMovieControl& check = movie.controls[2];
  EXPECT_EQ("", check.strPage);
  EXPECT_TRUE(check.conditions.empty());
  EXPECT_EQ("true", check.strValue);
  EXPECT_EQ("false", check.strOffValue);
  EXPECT_EQ("IDC_FS_CHECK", check.command.strCommand);
  EXPECT_EQ("\x01Jxg", movie.controls[3].strValue);
  EXPECT_EQ(365, movie.controls[4].nMaximum);
  EXPECT_EQ((std::vector<std::string>{"Name", "Date"}), movie.controls[5].columns);
  EXPECT_EQ("two", movie.controls[6].strPage);
  EXPECT_EQ(EMovieControlKind::Password, movie.controls[6].kind);

  const SMovieControl& tabs = movie.controls[7];
  ASSERT_EQ(2u, tabs.conditions.size());
  EXPECT_EQ("_root.b", tabs.conditions[1].strVariable);
  EXPECT_FALSE(tabs.conditions[1].bEquals);
  EXPECT_EQ((std::vector<std::string>{"One", "Two"}), tabs.columns);
  EXPECT_EQ((std::vector<std::string>{"one", "two"}), tabs.values);
  EXPECT_EQ((std::vector<std::string>{"Name", "Date"}), movie.controls[8].columns);
  EXPECT_EQ((std::vector<int>{120, 0}), movie.controls[8].widths);
  EXPECT_EQ("Nothing yet", movie.controls[8].strEmptyText);
  EXPECT_TRUE(movie.controls[8].command.strCommand.empty());
  EXPECT_EQ(EButtonLook::Default, movie.controls[9].look);
}

TEST(MovieFile, BrokenMoviesNameTheLine) {
  struct SCase {
    const char* szText;
    const char* szError;
  };
  const SCase cases[] = {
      {"", "empty movie"},
      {"# only a comment\n", "empty movie"},
      {"hwmovie 2\n", "line 1: not a movie"},
      {"hwmovie 1\nbogus 1\n", "line 2: unknown word \"bogus\""},
      {"hwmovie 1\n\ntext 1 2 3 4\n", "line 3: wrong number of words for text"},
      {"hwmovie 1\ntext x 2 3 4 5 hi\n", "line 2: id and position must be numbers"},
      {"hwmovie 1\ntext 0 2 3 4 5 hi\n", "line 2: id must be"},
      {"hwmovie 1\ntext 70000 2 3 4 5 hi\n", "line 2: id must be"},
      {"hwmovie 1\ntext 1 2 3 -4 5 hi\n", "line 2: id must be"},
      {"hwmovie 1\ntext 1 2 3 99999999999 5 hi\n", "line 2: id and position"},
      {"hwmovie 1\ntext 1 2 3 4 5 \"open\n", "line 2: unterminated quoted text"},
      {"hwmovie 1\nwhen a b c\n", "line 2: when takes"},
      {"hwmovie 1\nwhen a = 1 and\n", "line 2: when takes"},
      {"hwmovie 1\nicon 1 0 0 1 1 bogus\n", "line 2: unknown icon"},
      {"hwmovie 1\nbutton 1 0 0 1 1 OK CMD \"\" shiny\n", "line 2: unknown button look"},
      {"hwmovie 1\ntabs 1 0 0 1 1 v NoValue\n", "line 2: each tab is caption=value"},
      {"hwmovie 1\ncheck 1 0 0 1 1 c v on\n", "line 2: a check box takes both"},
      {"hwmovie 1\nstepper 1 0 0 1 1 v 9 1\n", "line 2: a stepper needs"},
      {"hwmovie 1\nradio 1 0 0 1 1 c v 1 CMD\n", "line 2: a command needs its argument"},
      {"hwmovie 1\nbutton 1 0 0 1 1 OK CMD\n", "line 2: wrong number of words for button"},
      {"hwmovie 1\nstage 1\n", "line 2: stage takes"},
      {"hwmovie 1\nonsend DEL drop rows\n", "line 2: onsend takes"},
      {"hwmovie 1\nonsend OK cell rows -1 Allow\n", "line 2: onsend takes"},
  };
  for (const SCase& c : cases) {
    const CResultOf<SMovie> parsed = ParseMovie(c.szText);
    EXPECT_FALSE(parsed.IsOk()) << c.szText;
    EXPECT_EQ(0u, parsed.Result().Text().find(c.szError)) << c.szText << " gave: " << parsed.Result().Text();
  }
}

TEST(MovieFile, ExpandsVariablesInTexts) {
  auto lookup = [](const std::string& strName) { return strName == "a" ? std::string("1") : std::string(); };
  EXPECT_EQ("x1y", ExpandMovieText("x$(a)y", lookup));
  EXPECT_EQ("xy", ExpandMovieText("x$(b)y", lookup));
  EXPECT_EQ("x$(a", ExpandMovieText("x$(a", lookup));
  EXPECT_EQ("$$1", ExpandMovieText("$$$(a)", lookup));
}

// The rows of the lists fed by the console: appended, one cell changed, removed;
// and the movie's own edits of them.
TEST(MovieFile, RowsAreAppendedAndCellsReplaced) {
  CMovieRows rows;
  rows.Append({"URL", "a\tb\nc", "Ask"});
  EXPECT_EQ("URL\ta b c\tAsk", rows.Text());
  rows.Append({"IP", "", "Block"});
  EXPECT_TRUE(rows.SetCell(0, 2, "Allow"));
  EXPECT_EQ("URL\ta b c\tAllow\nIP\t\tBlock", rows.Text());
  EXPECT_TRUE(rows.SetCell(1, 4, "7"));
  EXPECT_EQ("URL\ta b c\tAllow\nIP\t\tBlock\t\t7", rows.Text());
  const std::string strRows = rows.Text();
  EXPECT_FALSE(rows.SetCell(2, 0, "x"));
  EXPECT_FALSE(rows.SetCell(-1, 0, "x"));
  EXPECT_EQ(strRows, rows.Text());
  EXPECT_EQ("7", rows.Cell(1, 4));
  EXPECT_EQ("", rows.Cell(1, 5));
  rows.Assign(strRows);
  EXPECT_EQ(2, rows.Count());
  EXPECT_EQ(strRows, rows.Text());
  // Removed rows close up; a row number is digits only.
  EXPECT_FALSE(rows.RemoveRow(2));
  EXPECT_TRUE(rows.RemoveRow(0));
  EXPECT_EQ("IP\t\tBlock\t\t7", rows.Text());
  for (const char* szNotRow : {"", "undefined", "-1", "1x", " 1", "1234567890"}) {
    EXPECT_EQ(-1, ReadRowNumber(szNotRow)) << szNotRow;
  }
  EXPECT_EQ(12, ReadRowNumber("012"));
  rows.Assign("");
  EXPECT_EQ(0, rows.Count());

  const CResultOf<SMovie> parsed =
      ParseMovie("hwmovie 1\nonadd op rows \"a|b\" ACK \"\"\nonupdate op Update rows i 2 v\n");
  ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  const SMovie& movie = parsed.Value();
  ASSERT_EQ(2u, movie.rowReactions.size());
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), movie.rowReactions[0].itemVariables);
  EXPECT_EQ("Add", movie.rowReactions[0].strValue);
  EXPECT_EQ(2, movie.rowReactions[1].nColumn);
  EXPECT_FALSE(ParseMovie("hwmovie 1\nonupdate op Update rows i -1 v\n").IsOk());

  const CResultOf<SMovie> edits = ParseMovie("hwmovie 1\nonsend DEL remove rows\nonsend OK cell rows 2 Allow\n");
  ASSERT_TRUE(edits.IsOk()) << edits.Result().Text();
  const std::vector<SMovieListEdit>& listEdits = edits.Value().listEdits;
  ASSERT_EQ(2u, listEdits.size());
  EXPECT_EQ(EMovieListEdit::RemoveRow, listEdits[0].eEdit);
  EXPECT_EQ("OK rows 2 Allow", listEdits[1].strCommand + " " + listEdits[1].strList + " " +
                                   std::to_string(listEdits[1].nColumn) + " " + listEdits[1].strValue);
}

#ifdef HW_MOVIES_DIR
// The movies that the build ships are read without error.
TEST(MovieFile, ShippedMoviesAreValid) {
  for (const char* szName : {"HWMsgBx", "HWPass", "HWMain", "AB"}) {
    std::ifstream file(std::string(HW_MOVIES_DIR) + "/" + szName + ".movie", std::ios::binary);
    ASSERT_TRUE(file.good()) << szName;
    std::stringstream text;
    text << file.rdbuf();
    const CResultOf<SMovie> parsed = ParseMovie(text.str());
    EXPECT_TRUE(parsed.IsOk()) << szName << ": " << parsed.Result().Text();
    EXPECT_FALSE(parsed.Value().controls.empty()) << szName;
  }
}
#endif

// The host of an address shows in bold: it is found in the text's last word,
// after a scheme and a user, before a port, path, query or fragment.
TEST(MovieFile, FindsTheHostOfAnAddress) {
  const std::pair<const char*, const char*> cases[] = {
      // The text and its parts: "before[host]after".
      {"Site: login.example.com/verify", "Site: [login.example.com]/verify"},
      {"https://user@www.example.com:8080/a?b#c", "https://user@[www.example.com]:8080/a?b#c"},
      {"billing@example.net", "billing@[example.net]"},
      {"203.0.113.5", "[203.0.113.5]"},
      {"localhost/path", "localhost/path[]"},
      {"", "[]"},
  };
  for (const auto& [szText, szParts] : cases) {
    const SAddressParts parts = SplitAddressHost(szText);
    EXPECT_EQ(szParts, parts.strBefore + "[" + parts.strHost + "]" + parts.strAfter) << szText;
  }
}
