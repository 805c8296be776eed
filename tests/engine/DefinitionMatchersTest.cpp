// The matchers' list walks and comparisons, over definitions held in memory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/DefinitionMatchers.h"
#include "engine/FakeDefinitionReader.h"

namespace {

using Keys = std::vector<std::string>;

// An output buffer that shows whether a matcher wrote to it.
struct COutput {
  char sz[kMatchOutputSize];
  COutput() { std::memset(sz, '#', sizeof(sz)); }
  bool Untouched() const {
    for (char c : sz) {
      if (c != '#') return false;
    }
    return true;
  }
};

TEST(ListWalk, StopsAtTheFirstMissingOrEmptyKey) {
  CFakeDefinitionReader reader;
  reader.Set("HostIP", "IP1", "10.0.0.1").Set("HostIP", "IP3", "10.0.0.3");
  CDefinitionMatchers matchers(reader);
  EXPECT_TRUE(matchers.IsBadIP("10.0.0.1"));
  reader.ForgetKeysRead();
  EXPECT_FALSE(matchers.IsBadIP("10.0.0.3"));  // behind the gap at IP2
  EXPECT_EQ((Keys{"HostIP/IP1", "HostIP/IP2"}), reader.KeysRead());

  CFakeDefinitionReader empty;
  empty.Set("Text", "TXT1", "wire the money").Set("Text", "TXT2", "").Set("Text", "TXT3", "gift card");
  char szOut[kMatchOutputSize];
  EXPECT_FALSE(CDefinitionMatchers(empty).IsBadMailText("buy a gift card", szOut));
  EXPECT_EQ((Keys{"Text/TXT1", "Text/TXT2"}), empty.KeysRead());
}

TEST(ListWalk, FirstMatchEndsTheWalk) {
  CFakeDefinitionReader reader;
  reader.Set("Subject", "SUB1", "verify").Set("Subject", "SUB2", "account").Set("Subject", "SUB3", "urgent");
  EXPECT_TRUE(CDefinitionMatchers(reader).IsBadMailSubject("urgent: verify your account"));
  EXPECT_EQ((Keys{"Subject/SUB1"}), reader.KeysRead());
}

TEST(ListWalk, AnEntryThatReadsAsEmptyTextMatchesNothingButTheWalkGoesOn) {
  // A stored value whose unscrambled text starts with a byte 0: the reader counts
  // characters, the caller sees empty text, which every text would contain.
  CFakeDefinitionReader reader;
  reader.Set("From", "FROM1", std::string("\0abc", 4)).Set("From", "FROM2", "billing@phish.example");
  CDefinitionMatchers matchers(reader);
  EXPECT_FALSE(matchers.IsBadMailFrom("friend@example.org"));
  EXPECT_TRUE(matchers.IsBadMailFrom("billing@phish.example"));
  EXPECT_EQ((Keys{"From/FROM1", "From/FROM2", "From/FROM3", "From/FROM1", "From/FROM2"}), reader.KeysRead());
}

TEST(ListWalk, KeysCountFromOneAndEveryListHasItsOwnSectionAndPrefix) {
  CFakeDefinitionReader reader;
  char szOut[kMatchOutputSize];
  char szOut2[kMatchOutputSize];
  char szLink[] = "x";
  CDefinitionMatchers matchers(reader);
  matchers.IsBadIP("x");
  matchers.IsBadUrl(szLink);
  matchers.IsBadMailFrom("x");
  matchers.IsBadMailSubject("x");
  matchers.IsBadMailLinks("x", szOut);
  matchers.IsBadVisibleMailLinks("x", szOut, szOut2);
  matchers.IsBadMailText("x", szOut);
  EXPECT_EQ((Keys{"HostIP/IP1", "HostLink/HLINK1", "Link/CLINK1", "From/FROM1", "Subject/SUB1", "Link/CLINK1",
                  "Link/CLINK1", "Text/TXT1"}),
            reader.KeysRead());
}

TEST(HostIP, EqualsAnEntryInEitherLetterCaseWithoutTrimming) {
  CFakeDefinitionReader reader;
  reader.Set("HostIP", "IP1", "FE80::1").Set("HostIP", "IP2", "192.0.2.10");
  CDefinitionMatchers matchers(reader);
  EXPECT_TRUE(matchers.IsBadIP("fe80::1"));
  EXPECT_TRUE(matchers.IsBadIP("192.0.2.10"));
  EXPECT_FALSE(matchers.IsBadIP("192.0.2.1"));
  EXPECT_FALSE(matchers.IsBadIP("192.0.2.100"));
  EXPECT_FALSE(matchers.IsBadIP(" 192.0.2.10"));
  EXPECT_FALSE(matchers.IsBadIP(""));
  EXPECT_FALSE(matchers.IsBadIP(nullptr));
}

TEST(HostIP, EntriesAreReadUpTo99Characters) {
  const std::string strLong(120, '7');
  CFakeDefinitionReader reader;
  reader.Set("HostIP", "IP1", strLong);
  CDefinitionMatchers matchers(reader);
  EXPECT_FALSE(matchers.IsBadIP(strLong.c_str()));
  EXPECT_TRUE(matchers.IsBadIP(strLong.substr(0, 99).c_str()));
}

TEST(Url, LowerCasesTheTextAndFindsTheEntryThatCoversIt) {
  CFakeDefinitionReader reader;
  reader.Set("HostLink", "HLINK1", "Phish.Example.com/Login.php");
  CDefinitionMatchers matchers(reader);
  char szHost[] = "PHISH.example.COM";  // a host alone never meets a listed page
  EXPECT_FALSE(matchers.IsBadUrl(szHost));
  EXPECT_STREQ("phish.example.com", szHost);
  char szFull[] = "phish.example.com/login.php";
  EXPECT_TRUE(matchers.IsBadUrl(szFull));
  char szQuery[] = "phish.example.com/login.php?id=1";  // the query names no other page
  EXPECT_TRUE(matchers.IsBadUrl(szQuery));
  char szHighBytes[] = "PHISH.\xC9XAMPLE";  // only A to Z change
  EXPECT_FALSE(matchers.IsBadUrl(szHighBytes));
  EXPECT_STREQ("phish.\xC9xample", szHighBytes);
}

TEST(Url, SearchesTheLinkListWhenTheHostListHasNothingAndKeepsNullAsText) {
  CFakeDefinitionReader reader;
  reader.Set("HostLink", "HLINK1", "bank-login.example/")
      .Set("Link", "CLINK1", "null")
      .Set("Link", "CLINK2", "paypa1.example/signin");
  CDefinitionMatchers matchers(reader);
  char szLink[] = "paypa1.example/signin/next";
  EXPECT_TRUE(matchers.IsBadUrl(szLink));
  char szNull[] = "null";
  EXPECT_TRUE(matchers.IsBadUrl(szNull));
  reader.ForgetKeysRead();
  char szHost[] = "bank-login.example";
  EXPECT_TRUE(matchers.IsBadUrl(szHost));
  EXPECT_EQ((Keys{"HostLink/HLINK1"}), reader.KeysRead());
}

TEST(Url, EmptyTextIsNeverListed) {
  CFakeDefinitionReader reader;
  reader.Set("HostLink", "HLINK1", "phish.example");
  char szEmpty[] = "";
  EXPECT_FALSE(CDefinitionMatchers(reader).IsBadUrl(szEmpty));
  EXPECT_FALSE(CDefinitionMatchers(reader).IsBadUrl(nullptr));
}

TEST(MailFromAndSubject, TextContainsTheLowerCasedEntryAndIsNotLowerCased) {
  CFakeDefinitionReader reader;
  reader.Set("From", "FROM1", "Security@Bank-Alerts.example").Set("Subject", "SUB1", "suspended");
  CDefinitionMatchers matchers(reader);
  EXPECT_TRUE(matchers.IsBadMailFrom("\"bank\" <security@bank-alerts.example>"));
  EXPECT_FALSE(matchers.IsBadMailFrom("SECURITY@BANK-ALERTS.EXAMPLE"));
  EXPECT_FALSE(matchers.IsBadMailFrom("bank-alerts.example"));  // the text must hold the whole entry
  EXPECT_TRUE(matchers.IsBadMailSubject("your account is suspended"));
  EXPECT_FALSE(matchers.IsBadMailSubject("your account is Suspended"));
  EXPECT_FALSE(matchers.IsBadMailSubject(""));
  EXPECT_FALSE(matchers.IsBadMailSubject(nullptr));
}

TEST(MailLinks, ReportsTheFirstListedLinkAndSkipsRetiredOnes) {
  CFakeDefinitionReader reader;
  reader.Set("Link", "CLINK1", "NULL").Set("Link", "CLINK2", "Evil.Example/Pay").Set("Link", "CLINK3", "evil");
  CDefinitionMatchers matchers(reader);
  COutput out;
  EXPECT_FALSE(matchers.IsBadMailLinks("null and nothing else", out.sz));
  EXPECT_TRUE(out.Untouched());
  EXPECT_TRUE(matchers.IsBadMailLinks("<a href=\"http://evil.example/pay\">pay</a>", out.sz));
  EXPECT_STREQ("evil.example/pay", out.sz);
  EXPECT_TRUE(matchers.IsBadMailLinks("evil only", out.sz));
  EXPECT_STREQ("evil", out.sz);
  EXPECT_TRUE(matchers.IsBadMailLinks("evil only", nullptr));
}

TEST(MailText, ReportsTheMatchedEntryOnlyOnAMatch) {
  const std::string strLong = "claim your prize " + std::string(300, 'z');
  CFakeDefinitionReader reader;
  reader.Set("Text", "TXT1", "Wire Transfer").Set("Text", "TXT2", strLong);
  CDefinitionMatchers matchers(reader);
  COutput out;
  EXPECT_FALSE(matchers.IsBadMailText("Wire Transfer", out.sz));
  EXPECT_TRUE(out.Untouched());
  EXPECT_TRUE(matchers.IsBadMailText("please wire transfer today", out.sz));
  EXPECT_STREQ("wire transfer", out.sz);
  // An entry longer than 260 characters is read cut to 260, and so reported.
  EXPECT_TRUE(matchers.IsBadMailText(strLong.c_str(), out.sz));
  EXPECT_EQ(strLong.substr(0, 260), out.sz);
}

class VisibleMailLinks : public ::testing::Test {
 protected:
  void SetUp() override {
    m_reader.Set("Link", "CLINK1", "null")
        .Set("Link", "VLINK1", "www.bank.example")
        .Set("Link", "CLINK2", "Phish.Example/Login")
        .Set("Link", "VLINK2", "WWW.Bank.Example")
        .Set("Link", "CLINK3", "other.example")
        .Set("Link", "CLINK4", "tail.example")
        .Set("Link", "VLINK4", "click here");
  }
  bool Check(const char* szPage) {
    return CDefinitionMatchers(m_reader).IsBadVisibleMailLinks(szPage, m_visible.sz, m_called.sz);
  }
  CFakeDefinitionReader m_reader;
  COutput m_visible;
  COutput m_called;
};

TEST_F(VisibleMailLinks, CalledLinkUnderItsPairedTextInEitherCase) {
  EXPECT_TRUE(Check("<a href=\"http://phish.example/login\">www.bank.example</a>"));
  EXPECT_STREQ("phish.example/login", m_called.sz);
  EXPECT_STREQ("WWW.Bank.Example", m_visible.sz);  // as stored
}

TEST_F(VisibleMailLinks, OtherTextOrALeadingSpaceIsNoMatch) {
  EXPECT_FALSE(Check("<a href=\"http://phish.example/login\">your bank</a>"));
  EXPECT_FALSE(Check("<a href=\"http://phish.example/login\"> www.bank.example</a>"));
  EXPECT_FALSE(Check("<a href=\"http://phish.example/login\"><b>www.bank.example</b></a>"));
  EXPECT_TRUE(m_visible.Untouched());
  EXPECT_TRUE(m_called.Untouched());
}

TEST_F(VisibleMailLinks, RetiredLinksAndLinksWithoutPairedTextAreSkipped) {
  // "null" occurs under its paired text, and CLINK3 has no VLINK3: neither ends the walk.
  EXPECT_TRUE(Check("null>www.bank.example< other.example>x< <a href=tail.example>click here</a>"));
  EXPECT_STREQ("tail.example", m_called.sz);
  EXPECT_STREQ("click here", m_visible.sz);
}

TEST_F(VisibleMailLinks, OnlyTheFirstOccurrenceOfTheCalledLinkCounts) {
  EXPECT_FALSE(Check("phish.example/login>elsewhere</a> <a href=phish.example/login>www.bank.example</a>"));
}

TEST_F(VisibleMailLinks, NoClosingAngleAfterTheLinkMeansNoVisibleText) {
  EXPECT_FALSE(Check("<a href=phish.example/login title=www.bank.example"));
}

TEST_F(VisibleMailLinks, PageEndingInsideTheShownTextTakesTheRestOfThePage) {
  EXPECT_TRUE(Check("<a href=phish.example/login>www.bank.example"));
  EXPECT_FALSE(Check("<a href=phish.example/login>www.bank.example "));
}

TEST(VisibleMailLinksLimits, ShownTextIsCutTo260Characters) {
  const std::string strShown(300, 'v');
  CFakeDefinitionReader reader;
  reader.Set("Link", "CLINK1", "evil.example").Set("Link", "VLINK1", strShown.substr(0, 260));
  COutput visible;
  COutput called;
  const std::string strPage = "<a href=evil.example>" + strShown + "</a>";
  EXPECT_TRUE(CDefinitionMatchers(reader).IsBadVisibleMailLinks(strPage.c_str(), visible.sz, called.sz));
  EXPECT_EQ(strShown.substr(0, 260), visible.sz);
  EXPECT_EQ('\0', visible.sz[260]);
  EXPECT_FALSE(CDefinitionMatchers(reader).IsBadVisibleMailLinks(nullptr, visible.sz, called.sz));
}

}  // namespace
