// The mail test and the header fields cut out of a page's visible text.
#include <gtest/gtest.h>

#include <string>

#include "engine/browser/MailHeaderParser.h"

namespace {

TEST(MailHeaderParser, CapitalLabelsAndNamesAreLowerCasedAndTrimmed) {
  CMailHeaderParser parser("Inbox\r\nFrom:   ALICE SMITH  \r\nTo: BOB@EXAMPLE.NET\r\nHello Bob\r\n");
  ASSERT_TRUE(parser.IsMail());
  EXPECT_TRUE(parser.HasFrom());
  EXPECT_TRUE(parser.HasTo());
  EXPECT_STREQ("alice smith", parser.GetFrom());
  EXPECT_STREQ("bob@example.net", parser.GetTo());
  // The mail test sets nothing else.
  EXPECT_FALSE(parser.HasSubject());
  EXPECT_FALSE(parser.HasBody());
  EXPECT_STREQ("", parser.GetBody());
}

TEST(MailHeaderParser, SpacedLabelsAndTheFirstColonOfTheLine) {
  CMailHeaderParser parser("from : carol\nto : dave\nsubject : hi: there\n");
  ASSERT_TRUE(parser.IsMail());
  parser.ExtractHeaders();
  EXPECT_STREQ("carol", parser.GetFrom());
  EXPECT_STREQ("dave", parser.GetTo());
  EXPECT_STREQ("hi: there", parser.GetSubject());
}

TEST(MailHeaderParser, LabelAfterOtherWordsIsKeptInTheValue) {
  CMailHeaderParser parser("Reply From: someone\nFrom: real sender\nTo: me\n");
  ASSERT_TRUE(parser.IsMail());
  EXPECT_STREQ("from: someone", parser.GetFrom());
  EXPECT_STREQ("me", parser.GetTo());
}

TEST(MailHeaderParser, MailtoLineAboveTheRecipientLineIsTheRecipient) {
  CMailHeaderParser parser("From: x\r\nwrite to mailto:help@example.org\r\nTo: me\r\n");
  ASSERT_TRUE(parser.IsMail());
  EXPECT_STREQ("to:help@example.org", parser.GetTo());
}

TEST(MailHeaderParser, SenderAndRecipientMayShareOneLine) {
  CMailHeaderParser parser("From: a To: b\n");
  ASSERT_TRUE(parser.IsMail());
  EXPECT_STREQ("a to: b", parser.GetFrom());
  EXPECT_STREQ("to: b", parser.GetTo());
}

TEST(MailHeaderParser, MissingSenderOrRecipientSetsNothing) {
  for (const char* szText : {"From: a\nSubject: b\n", "To: a\nFrom - b\n", "", "\n\n\n"}) {
    CMailHeaderParser parser(szText);
    EXPECT_FALSE(parser.IsMail()) << szText;
    EXPECT_FALSE(parser.HasFrom()) << szText;
    EXPECT_FALSE(parser.HasTo()) << szText;
    EXPECT_STREQ("", parser.GetFrom()) << szText;
  }
}

TEST(MailHeaderParser, WithoutTextNothingIsFound) {
  CMailHeaderParser parser(nullptr);
  EXPECT_FALSE(parser.IsMail());
  parser.ExtractHeaders();
  EXPECT_FALSE(parser.HasBody());
  EXPECT_FALSE(parser.HasSubject());
  EXPECT_STREQ("", parser.GetBody());
}

TEST(MailHeaderParser, SentAboveDateAndDateTriedBeforeSent) {
  {
    CMailHeaderParser parser("Sent: Monday\nDate: Tuesday\n");
    parser.ExtractHeaders();
    EXPECT_STREQ("monday", parser.GetDate());
  }
  {
    CMailHeaderParser parser("Sent: Monday, Date: Tuesday\n");
    parser.ExtractHeaders();
    EXPECT_STREQ("date: tuesday", parser.GetDate());
  }
}

TEST(MailHeaderParser, FieldPassesAreIndependentOfEachOther) {
  // The subject stands above the sender; every pass starts at the top.
  CMailHeaderParser parser(
      "Attachement: invoice.pdf\nSubject: Pay now\nFrom: bank\nTo: you\nDate: today\n"
      "Attachment: other.zip\n");
  ASSERT_TRUE(parser.IsMail());
  parser.ExtractHeaders();
  EXPECT_STREQ("pay now", parser.GetSubject());
  EXPECT_STREQ("today", parser.GetDate());
  EXPECT_STREQ("invoice.pdf", parser.GetAttachment());
  EXPECT_TRUE(parser.HasBody());
}

TEST(MailHeaderParser, ExtractHeadersFindsSenderAndRecipientWithoutTheMailTest) {
  CMailHeaderParser parser("From: only a sender\n");
  parser.ExtractHeaders();
  EXPECT_TRUE(parser.HasFrom());
  EXPECT_STREQ("only a sender", parser.GetFrom());
  EXPECT_FALSE(parser.HasTo());
  EXPECT_FALSE(parser.HasDate());
  EXPECT_FALSE(parser.HasAttachment());
}

TEST(MailHeaderParser, EmptyValueCountsAsFound) {
  CMailHeaderParser parser("From: a\nTo: b\nSubject:\n   subject :   \r\n");
  parser.ExtractHeaders();
  EXPECT_TRUE(parser.HasSubject());
  EXPECT_STREQ("", parser.GetSubject());
}

TEST(MailHeaderParser, LastLineWithoutLineEndRunsToTheEndOfTheText) {
  CMailHeaderParser parser("From: a\nTo: b\nSubject: the end");
  parser.ExtractHeaders();
  EXPECT_STREQ("the end", parser.GetSubject());
}

TEST(MailHeaderParser, ValueEndsAtTheFirstCarriageReturn) {
  CMailHeaderParser parser("From: a\rmore\r\nTo: b\n");
  ASSERT_TRUE(parser.IsMail());
  EXPECT_STREQ("a", parser.GetFrom());
}

TEST(MailHeaderParser, TabsAreKeptOnlySpacesAreTrimmed) {
  CMailHeaderParser parser("  From: \tAlice\t \n\tTo: bob\n");
  ASSERT_TRUE(parser.IsMail());
  EXPECT_STREQ("\talice\t", parser.GetFrom());
  // The tab is not trimmed, so the label does not open the line and stays in.
  EXPECT_STREQ("to: bob", parser.GetTo());
}

TEST(MailHeaderParser, OnlyLettersAToZAreLowerCased) {
  CMailHeaderParser parser("From: \xC4RGER Z\nTo: x\n");
  ASSERT_TRUE(parser.IsMail());
  EXPECT_STREQ("\xC4rger z", parser.GetFrom());
}

TEST(MailHeaderParser, BodyIsTheLowerCasedTextUntilReplaced) {
  CMailHeaderParser parser("From: A\nTo: B\nClick HERE\n");
  ASSERT_TRUE(parser.IsMail());
  parser.ExtractHeaders();
  EXPECT_STREQ("from: a\nto: b\nclick here\n", parser.GetBody());
  parser.SetBody("<A HREF=\"X\">Y</A>");
  EXPECT_TRUE(parser.HasBody());
  EXPECT_STREQ("<a href=\"x\">y</a>", parser.GetBody());
}

TEST(MailHeaderParser, SetBodyDoesNotSetTheBodyFlag) {
  CMailHeaderParser parser("nothing");
  parser.SetBody("<html>");
  EXPECT_FALSE(parser.HasBody());
  EXPECT_STREQ("", parser.GetBody());
  parser.ExtractHeaders();
  parser.SetBody(nullptr);
  EXPECT_TRUE(parser.HasBody());
  EXPECT_STREQ("", parser.GetBody());
}

TEST(MailHeaderParser, ValuesHaveNoLengthLimit) {
  const std::string strName(100000, 'n');
  CMailHeaderParser parser(("From: " + strName + "\nTo: x").c_str());
  ASSERT_TRUE(parser.IsMail());
  EXPECT_EQ(strName, parser.GetFrom());
}

}  // namespace
