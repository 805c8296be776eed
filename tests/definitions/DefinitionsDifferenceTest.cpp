// The difference between two lists: made, read and applied to the working text;
// and the check that a decrypted shipped file is definitions at all.
#include <gtest/gtest.h>

#include "definitions/ShippedDefinitionsText.h"
#include "standins/defstool/DefinitionsList.h"
#include "standins/defstool/DifferenceMaker.h"
#include "definitions/DefinitionsDifference.h"

namespace {

DefinitionsList List(const std::string& strPlain) {
  const CResultOf<DefinitionsList> parsed = ParsePlainDefinitions(strPlain);
  EXPECT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  return parsed.Value();
}

const char kOld[] =
    "[HostIP]\nIP1=192.0.2.1\nIP2=192.0.2.2\nIP3=192.0.2.3\n"
    "[HostLink]\nHLINK1=a.example/x\nHLINK2=b.example/y\n"
    "[Link]\nCLINK1=http://c1.example/\nVLINK1=http://v1.example/\nCLINK2=http://c2.example/\nVLINK2=http://v2.example/"
    "\n"
    "[Text]\nTXT1=verify your account\n";

TEST(DefinitionsDifference, GivesTheNewListsFileExactly) {
  const struct {
    const char* szName;
    std::string strNew;
  } cases[] = {
      {"added, removed and moved",
       "[HostIP]\nIP1=192.0.2.3\nIP2=192.0.2.9\nIP3=192.0.2.1\n"
       "[HostLink]\nHLINK1=a.example/x\nHLINK2=b.example/y\nHLINK3=c.example/z\n"
       "[Link]\nCLINK1=http://c2.example/\nVLINK1=http://v2.example/\nCLINK2=http://c3.example/\nVLINK2=http://"
       "v3.example/\n"
       "[Text]\nTXT1=verify your account\n"},
      {"a section emptied",
       "[HostIP]\n[HostLink]\nHLINK1=a.example/x\nHLINK2=b.example/y\n"
       "[Link]\nCLINK1=http://c1.example/\nVLINK1=http://v1.example/\nCLINK2=http://c2.example/\n"
       "VLINK2=http://v2.example/\n[Text]\nTXT1=verify your account\n"},
      {"nothing changed", kOld},
  };
  for (const auto& c : cases) {
    const CResultOf<std::string> made = MakeDefinitionsDifference(List(kOld), List(c.strNew));
    ASSERT_TRUE(made.IsOk()) << c.szName << made.Result().Text();
    // The maker checks the result itself; applied here once more as the updater does.
    const CResultOf<SDefinitionsDifference> difference = ParseDefinitionsDifference(made.Value());
    ASSERT_TRUE(difference.IsOk()) << difference.Result().Text();
    const CResultOf<std::string> applied =
        ApplyDefinitionsDifference(WriteWorkingDefinitions(List(kOld)) + "   ", difference.Value());
    ASSERT_TRUE(applied.IsOk()) << applied.Result().Text();
    EXPECT_EQ(applied.Value(), WriteWorkingDefinitions(List(c.strNew))) << c.szName;
  }
}

TEST(DefinitionsDifference, ListsThatAllowNoneAreNamed) {
  const struct {
    std::string strNew;
    const char* szWhy;
  } cases[] = {
      {"[HostIP]\nIP1=192.0.2.1\n", "the lists do not have the same sections"},
      {std::string(kOld) + "[Mine]\nX=1\n", "the lists do not have the same sections"},
      {std::string(kOld).replace(std::string(kOld).find("IP2"), 3, "IP7"),
       "the keys of section \"HostIP\" are not numbered from 1 in order"},
  };
  for (const auto& c : cases) {
    const CResultOf<std::string> made = MakeDefinitionsDifference(List(kOld), List(c.strNew));
    EXPECT_FALSE(made.IsOk()) << c.szWhy;
    EXPECT_EQ(made.Result().Text(), c.szWhy);
  }
}

TEST(DefinitionsDifference, WhatDoesNotFitIsRefusedWithTheReason) {
  const std::string strWorking = WriteWorkingDefinitions(List(kOld));
  const std::string strHead = std::string(kDifferenceFirstLine) + "\n";
  const struct {
    std::string strDifference;
    const char* szWhy;
  } cases[] = {
      {strHead + "[HostIP]\n-192.0.2.7\n", "section \"HostIP\" does not hold the removed entry \"192.0.2.7\""},
      {strHead + "[HostIP]\n=4\n", "section \"HostIP\" has fewer entries than the difference keeps"},
      {strHead + "[Link]\n+http://only-one.example/\n",
       "the difference leaves an entry of section \"Link\" incomplete"},
      {strHead + "[From]\n+a@example.com\n", "the definitions have no section \"From\""},
  };
  for (const auto& c : cases) {
    const CResultOf<SDefinitionsDifference> difference = ParseDefinitionsDifference(c.strDifference);
    ASSERT_TRUE(difference.IsOk()) << difference.Result().Text();
    const CResultOf<std::string> applied = ApplyDefinitionsDifference(strWorking, difference.Value());
    EXPECT_FALSE(applied.IsOk()) << c.szWhy;
    EXPECT_EQ(applied.Result().Text(), c.szWhy);
  }
  // A section whose keys the tool would not have written so.
  const CResultOf<SDefinitionsDifference> difference = ParseDefinitionsDifference(strHead + "[HostIP]\n+192.0.2.8\n");
  ASSERT_TRUE(difference.IsOk());
  const CResultOf<std::string> applied =
      ApplyDefinitionsDifference(WriteWorkingDefinitions(List("[HostIP]\nIP2=192.0.2.2\n")), difference.Value());
  EXPECT_FALSE(applied.IsOk());
  EXPECT_EQ(applied.Result().Text(), "section \"HostIP\" does not hold IP1 where the difference needs it");
}

TEST(DefinitionsDifference, ReaderRefusesWhatIsNotADifference) {
  const std::string strHead = std::string(kDifferenceFirstLine) + "\n";
  const struct {
    std::string strText;
    const char* szWhy;
  } cases[] = {
      {"", "the text is not a Hookwarden definitions difference"},
      {"Hookwarden definitions difference 2\n", "the text is not a Hookwarden definitions difference"},
      {strHead + "+192.0.2.1\n", "line 2 of the difference comes before any section"},
      {strHead + "[Mine]\n", "line 2 of the difference names a section the matchers do not read"},
      {strHead + "[HostIP]\n[HostIP]\n", "line 3 of the difference names a section a second time"},
      {strHead + "[HostIP\n", "line 2 of the difference is a section name without \"]\""},
      {strHead + "[HostIP]\n=x\n", "line 3 of the difference keeps a count that is not a number"},
      {strHead + "[HostIP]\n=9999999999999\n", "line 3 of the difference keeps a count that is not a number"},
      {strHead + "[HostIP]\n*1\n", "line 3 of the difference is neither a section nor a step (=, - or +)"},
      {strHead + "[HostIP]\n+a" + std::string(1, '\0') + "b\n", "line 3 of the difference holds a zero byte"},
  };
  for (const auto& c : cases) {
    const CResultOf<SDefinitionsDifference> difference = ParseDefinitionsDifference(c.strText);
    EXPECT_FALSE(difference.IsOk()) << c.szWhy;
    EXPECT_EQ(difference.Result().Text(), c.szWhy);
  }
}

TEST(ShippedDefinitionsText, OnlyDecryptedDefinitionsPass) {
  std::string strShipped;
  ASSERT_TRUE(EncryptShippedDefinitions(WriteWorkingDefinitions(List(kOld)), "12/09/2026.2", strShipped).IsOk());
  std::vector<unsigned char> text;
  ASSERT_TRUE(
      DecryptShippedDefinitions(reinterpret_cast<const unsigned char*>(strShipped.data()), strShipped.size(), text));
  const CResult checked = IsDefinitionsText(text.data(), text.size());
  EXPECT_TRUE(checked.IsOk()) << checked.Text();

  // A right header line before plain text that was never encrypted.
  std::string strPlain = "12/09/2026.3  \r\n[HostIP]\r\nIP1=192.0.2.1\r\n";
  strPlain.resize((strPlain.size() + 7) / 8 * 8, ' ');
  ASSERT_TRUE(
      DecryptShippedDefinitions(reinterpret_cast<const unsigned char*>(strPlain.data()), strPlain.size(), text));
  EXPECT_FALSE(IsDefinitionsText(text.data(), text.size()).IsOk());
  // Scrambled text of sections no matcher reads.
  ASSERT_TRUE(
      EncryptShippedDefinitions(WriteWorkingDefinitions(List("[Mine]\nX=1\n")), "12/09/2026", strShipped).IsOk());
  ASSERT_TRUE(
      DecryptShippedDefinitions(reinterpret_cast<const unsigned char*>(strShipped.data()), strShipped.size(), text));
  const CResult refused = IsDefinitionsText(text.data(), text.size());
  EXPECT_EQ(RESULT_INVALID_DATA, refused.Code());
  EXPECT_EQ(refused.Text(), "its decrypted text has none of the sections the matchers read");
  EXPECT_FALSE(DecryptShippedDefinitions(text.data(), 12, text));  // shorter than the header
}

}  // namespace

// Feeds the text to add() cut at nCut and then in pieces of nPiece bytes, up to the
// first failure; each piece a copy of its own, as a file's reads are.
template <class Add>
void InPieces(const std::string& strText, std::size_t nCut, std::size_t nPiece, Add add) {
  auto addCopy = [&add](std::string_view piece) {
    const std::vector<char> copy(piece.begin(), piece.end());
    return add(std::string_view(copy.data(), copy.size()));
  };
  if (!addCopy(std::string_view(strText).substr(0, nCut)).IsOk()) return;
  for (std::size_t at = nCut; at < strText.size(); at += nPiece) {
    if (!addCopy(std::string_view(strText).substr(at, nPiece)).IsOk()) return;
  }
}

TEST(DefinitionsInPieces, AnyCutGivesWhatTheWholeTextGives) {
  const std::string strOld = WriteWorkingDefinitions(List(kOld)) + "\r\n   ";
  const std::string strNew =
      "[HostIP]\nIP1=192.0.2.3\nIP2=192.0.2.9\n[HostLink]\nHLINK1=a.example/x\nHLINK2=b.example/y\nHLINK3=c.example/z\n"
      "[Link]\nCLINK1=http://c2.example/\nVLINK1=http://v2.example/\n[Text]\nTXT1=verify your account\n";
  const CResultOf<std::string> made = MakeDefinitionsDifference(List(kOld), List(strNew));
  ASSERT_TRUE(made.IsOk()) << made.Result().Text();
  const CResultOf<SDefinitionsDifference> parsed = ParseDefinitionsDifference(made.Value());
  ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  const SDefinitionsDifference& difference = parsed.Value();
  const CResultOf<std::string> whole = ApplyDefinitionsDifference(strOld, difference);
  ASSERT_TRUE(whole.IsOk()) << whole.Result().Text();
  const std::string& strWhole = whole.Value();
  std::string strShipped;
  ASSERT_TRUE(EncryptShippedDefinitions(strWhole, "12/09/2026.4", strShipped).IsOk());
  const CResultOf<SDefinitionsDifference> wrong =
      ParseDefinitionsDifference(std::string(kDifferenceFirstLine) + "\n[Text]\n=1\n-gone\n");
  ASSERT_TRUE(wrong.IsOk());
  for (std::size_t nPiece : {1, 3, 8, 13, 4096}) {
    for (std::size_t nCut = 0; nCut <= strOld.size(); nCut += nPiece == 1 ? 1 : 7) {
      // The difference applied, the result encrypted and decrypted again, all in pieces.
      std::string strApplied, strEncrypted, strDecrypted;
      CShippedEncryptor encryptor([&](std::string_view piece) {
        strEncrypted.append(piece);
        return CResult();
      });
      ASSERT_TRUE(encryptor.Start("12/09/2026.4").IsOk());
      CDifferenceApplier applier(difference, [&](std::string_view piece) {
        strApplied.append(piece);
        return encryptor.Add(piece);
      });
      InPieces(strOld, nCut, nPiece, [&](std::string_view piece) { return applier.Add(piece); });
      ASSERT_TRUE(applier.Finish().IsOk());
      ASSERT_TRUE(encryptor.Finish().IsOk());
      EXPECT_EQ(strWhole, strApplied) << "cut at " << nCut << ", pieces of " << nPiece;
      EXPECT_EQ(strShipped, strEncrypted) << "cut at " << nCut << ", pieces of " << nPiece;
      CShippedDecryptor decryptor([&](std::string_view piece) {
        strDecrypted.append(piece);
        return CResult();
      });
      InPieces(strShipped, std::min(nCut, strShipped.size()), nPiece,
               [&](std::string_view piece) { return decryptor.Add(piece); });
      ASSERT_TRUE(decryptor.Finish().IsOk());
      strApplied.resize((strApplied.size() + 7) / 8 * 8, ' ');
      EXPECT_EQ(strApplied, strDecrypted) << "cut at " << nCut << ", pieces of " << nPiece;

      // A difference that does not fit fails with the same reason however it is cut.
      CDifferenceApplier refusing(wrong.Value(), [](std::string_view) { return CResult(); });
      InPieces(strOld, nCut, nPiece, [&](std::string_view piece) { return refusing.Add(piece); });
      EXPECT_EQ("section \"Text\" does not hold the removed entry \"gone\"", refusing.Finish().Text())
          << "cut at " << nCut;
      // So does the check of the text.
      CDefinitionsTextCheck check;
      const std::string strBad = strWhole + "no entry\r\n";
      InPieces(strBad, std::min(nCut, strBad.size()), nPiece, [&](std::string_view piece) { return check.Add(piece); });
      EXPECT_EQ("line 19 of its decrypted text is neither a section nor an entry", check.Finish().Text());
    }
  }
  // Pieces that do not add up to whole blocks are refused at the end.
  CShippedDecryptor decryptor([](std::string_view) { return CResult(); });
  ASSERT_TRUE(decryptor.Add(std::string_view(strShipped).substr(0, 21)).IsOk());
  EXPECT_EQ("it is not whole blocks", decryptor.Finish().Text());
}
