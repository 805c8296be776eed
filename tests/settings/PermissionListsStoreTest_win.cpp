// The permission lists through a real save and load in the registry, and the
// stored formats other programs and older files rely on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RegistryTestKey_win.h"
#include "console/settings/PermissionLists.h"
#include "console/settings/store/RegistryStoreKey_win.h"

namespace {

CMailSafeItem FullMailItem(int n) {
  CMailSafeItem item;
  item.nAction = PERMISSION_BLOCK;
  item.strStrictedData = "Called: 'http://phish.example.com/" + std::to_string(n) + "'\nVisible: 'http://bank/'";
  item.kind = EEntryKind::Link;
  item.strProgram = "browser.exe";
  item.strDataTime = "Mon, 7 Dec 2026 14:05:09";
  item.strFrom = "billing@example.net";
  item.strTo = "user@example.org";
  item.strSubject = "verify your account";
  item.strAttachmentFile = "invoice.pdf";
  item.nPort = 8080;
  return item;
}

CWebSiteItem FullWebItem(int n) {
  CWebSiteItem item;
  item.nAction = PERMISSION_ALLOW;
  item.kind = EEntryKind::Url;
  item.strStrictedData = "phish.example.com/" + std::to_string(n);
  item.strScamSite = item.strStrictedData;
  item.strProgram = "browser.exe";
  item.strDataTime = "Monday, December 07, 2026 14:05:09";
  item.strIPAddress = "192.0.2.7";
  item.nPort = 80;
  return item;
}

void ExpectSameMailItem(const CMailSafeItem& expected, const CMailSafeItem& actual) {
  EXPECT_EQ(expected.nAction, actual.nAction);
  EXPECT_EQ(expected.strStrictedData, actual.strStrictedData);
  EXPECT_EQ(StoredTextOf(expected.kind), StoredTextOf(actual.kind));
  EXPECT_EQ(expected.strProgram, actual.strProgram);
  EXPECT_EQ(expected.strDataTime, actual.strDataTime);
  EXPECT_EQ(expected.strFrom, actual.strFrom);
  EXPECT_EQ(expected.strTo, actual.strTo);
  EXPECT_EQ(expected.strSubject, actual.strSubject);
  EXPECT_EQ(expected.strAttachmentFile, actual.strAttachmentFile);
  EXPECT_EQ(expected.nPort, actual.nPort);
}

void ExpectSameWebItem(const CWebSiteItem& expected, const CWebSiteItem& actual) {
  EXPECT_EQ(expected.nAction, actual.nAction);
  EXPECT_EQ(StoredTextOf(expected.kind), StoredTextOf(actual.kind));
  EXPECT_EQ(expected.strStrictedData, actual.strStrictedData);
  EXPECT_EQ(expected.strScamSite, actual.strScamSite);
  EXPECT_EQ(expected.strProgram, actual.strProgram);
  EXPECT_EQ(expected.strDataTime, actual.strDataTime);
  EXPECT_EQ(expected.strIPAddress, actual.strIPAddress);
  EXPECT_EQ(expected.nPort, actual.nPort);
}

TEST(ListsInRegistry, BothListsSurviveSaveAndLoadWithEveryField) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  CMailSafeList mail;
  CWebSiteBlockingList web;
  for (int i = 0; i < 3; ++i) {
    mail.AppendEntry(FullMailItem(i));
    web.AppendEntry(FullWebItem(i));
  }
  mail.SetProtectionState(0);
  mail.SetPermission(PERMISSION_BLOCK);
  web.SetPermission(PERMISSION_ALLOW);
  ASSERT_EQ(RESULT_SUCCESS, mail.WriteToKey(productKey).Code());
  ASSERT_EQ(RESULT_SUCCESS, web.WriteToKey(productKey).Code());

  CMailSafeList mailRead;
  CWebSiteBlockingList webRead;
  mailRead.AppendEntry(CMailSafeItem());  // replaced by the stored entries
  mailRead.ReadFromKey(productKey);
  webRead.ReadFromKey(productKey);
  ASSERT_EQ(3, mailRead.GetCount());
  ASSERT_EQ(3, webRead.GetCount());
  for (int i = 0; i < 3; ++i) {
    ExpectSameMailItem(FullMailItem(i), *mailRead.EntryAt(i));
    ExpectSameWebItem(FullWebItem(i), *webRead.EntryAt(i));
  }
  EXPECT_EQ(0, mailRead.GetProtectionState());
  EXPECT_EQ(PERMISSION_BLOCK, mailRead.GetPermission());
  EXPECT_EQ(1, webRead.GetProtectionState());
  EXPECT_EQ(PERMISSION_ALLOW, webRead.GetPermission());
}

constexpr int kMailPort = 8080;  // FullMailItem's
constexpr int kNoWebPort = -1;

class StoredFormats : public ::testing::TestWithParam<SStoredFormatCase> {};

TEST_P(StoredFormats, OfValues) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  CMailSafeList mail;
  CWebSiteBlockingList web;
  mail.AppendEntry(FullMailItem(0));
  CWebSiteItem webItem = FullWebItem(0);
  webItem.nPort = kNoWebPort;
  web.AppendEntry(webItem);
  ASSERT_EQ(RESULT_SUCCESS, mail.WriteToKey(productKey).Code());
  ASSERT_EQ(RESULT_SUCCESS, web.WriteToKey(productKey).Code());
  testKey.ExpectStored(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    ListsInRegistry, StoredFormats,
    ::testing::Values(
        // The mail port: its raw little-endian bytes under the text type.
        SStoredFormatCase{"MailSafe\\MailSafeItem0", "Port", EStoredCheck::TypeAndBytes, REG_SZ,
                          Bytes({kMailPort & 0xFF, kMailPort >> 8, 0, 0})},
        SStoredFormatCase{"MailSafe\\MailSafeItem0", "Action", EStoredCheck::TypeAndBytes, REG_BINARY,
                          Bytes({PERMISSION_BLOCK, 0, 0, 0})},
        SStoredFormatCase{"MailSafe\\MailSafeItem0", "Type", EStoredCheck::Text, REG_SZ, "Link"},
        SStoredFormatCase{"MailSafe", "MailSafeItems No", EStoredCheck::TypeAndBytes, REG_BINARY, Bytes({1, 0, 0, 0})},
        SStoredFormatCase{"MailSafe", "MailSafeProtectionState", EStoredCheck::Bytes, kAnyType, Bytes({1, 0, 0, 0})},
        SStoredFormatCase{"MailSafe", "MailSafePermession", EStoredCheck::Bytes, kAnyType,
                          Bytes({PERMISSION_ASK, 0, 0, 0})},
        // The web port: decimal text.
        SStoredFormatCase{"WebSiteBlocking\\WebSiteBlockingItem0", "Port", EStoredCheck::Text, REG_SZ, "-1"},
        SStoredFormatCase{"WebSiteBlocking", "WebSiteBlockingItems No", EStoredCheck::Bytes, kAnyType,
                          Bytes({1, 0, 0, 0})},
        SStoredFormatCase{"WebSiteBlocking", "WebSiteBlockingProtectionState", EStoredCheck::Presence, kAnyType, ""},
        SStoredFormatCase{"WebSiteBlocking", "WebSiteBlockingPermession", EStoredCheck::Presence, kAnyType, ""}));

TEST(ListsInRegistry, MailPortsOfEveryByteRoundTrip) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  const std::vector<int> ports = {0, 21, 80, 443, 8080, 65535, -1};
  CMailSafeList mail;
  for (int nPort : ports) {
    CMailSafeItem item;
    item.nPort = nPort;
    mail.AppendEntry(item);
  }
  ASSERT_EQ(RESULT_SUCCESS, mail.WriteToKey(productKey).Code());
  CMailSafeList read;
  read.ReadFromKey(productKey);
  ASSERT_EQ(static_cast<int>(ports.size()), read.GetCount());
  for (std::size_t i = 0; i < ports.size(); ++i) EXPECT_EQ(ports[i], read.EntryAt(static_cast<int>(i))->nPort);
}

TEST(ListsInRegistry, RemovedEntryLeavesOnlyContiguousSubkeys) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  CMailSafeList mail;
  for (int i = 0; i < 3; ++i) mail.AppendEntry(FullMailItem(i));
  mail.RemoveEntry(0);
  ASSERT_EQ(RESULT_SUCCESS, mail.WriteToKey(productKey).Code());
  EXPECT_EQ((std::vector<std::string>{"MailSafeItem0", "MailSafeItem1"}), testKey.SubKeyNames("MailSafe"));
  CMailSafeList read;
  read.ReadFromKey(productKey);
  ASSERT_EQ(2, read.GetCount());
  ExpectSameMailItem(FullMailItem(1), *read.EntryAt(0));
  ExpectSameMailItem(FullMailItem(2), *read.EntryAt(1));
}

TEST(ListsInRegistry, GapsCloseUpAndTooLargeCountsReadWhatExists) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  CWebSiteBlockingList web;
  for (int i = 0; i < 4; ++i) web.AppendEntry(FullWebItem(i));
  ASSERT_EQ(RESULT_SUCCESS, web.WriteToKey(productKey).Code());
  testKey.DeleteSubKey("WebSiteBlocking\\WebSiteBlockingItem1");
  CWebSiteBlockingList read;
  read.ReadFromKey(productKey);
  ASSERT_EQ(3, read.GetCount());
  EXPECT_EQ("phish.example.com/0", read.EntryAt(0)->strScamSite);
  EXPECT_EQ("phish.example.com/2", read.EntryAt(1)->strScamSite);
  EXPECT_EQ("phish.example.com/3", read.EntryAt(2)->strScamSite);

  // A damaged count far beyond the subkeys loads the subkeys at once.
  testKey.SetRaw("WebSiteBlocking", "WebSiteBlockingItems No", REG_BINARY, Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
  read.ReadFromKey(productKey);
  EXPECT_EQ(3, read.GetCount());
  // Names are found without regard to case; a number with a leading zero is
  // another name.
  testKey.SetRaw("WebSiteBlocking\\websiteblockingitem5", "ScamSite", REG_SZ, "five");
  testKey.SetRaw("WebSiteBlocking\\WebSiteBlockingItem04", "ScamSite", REG_SZ, "zero four");
  testKey.SetRaw("WebSiteBlocking\\Other", "ScamSite", REG_SZ, "other");
  read.ReadFromKey(productKey);
  ASSERT_EQ(4, read.GetCount());
  EXPECT_EQ("five", read.EntryAt(3)->strScamSite);
  testKey.DeleteSubKey("WebSiteBlocking\\websiteblockingitem5");
  // A count smaller than the subkeys reads only the first numbers.
  testKey.SetRaw("WebSiteBlocking", "WebSiteBlockingItems No", REG_BINARY, Bytes({3, 0, 0, 0}));
  read.ReadFromKey(productKey);
  EXPECT_EQ(2, read.GetCount());
}

TEST(ListsInRegistry, MissingSubkeyKeepsDefaultsAndCurrentEntries) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  CMailSafeList mail;
  mail.AppendEntry(FullMailItem(0));
  mail.SetPermission(PERMISSION_BLOCK);
  mail.ReadFromKey(productKey);
  EXPECT_EQ(1, mail.GetCount());
  EXPECT_EQ(PERMISSION_BLOCK, mail.GetPermission());

  // A key without count, state or permission: empty list, values kept.
  testKey.SetRaw("MailSafe", "unrelated", REG_SZ, "x");
  mail.ReadFromKey(productKey);
  EXPECT_EQ(0, mail.GetCount());
  EXPECT_EQ(PERMISSION_BLOCK, mail.GetPermission());
  EXPECT_EQ(1, mail.GetProtectionState());
}

TEST(ListsInRegistry, EntriesWithMissingOrOddValues) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  testKey.SetRaw("MailSafe", "MailSafeItems No", REG_BINARY, Bytes({2, 0, 0, 0}));
  testKey.SetRaw("MailSafe\\MailSafeItem0", "StrictedData", REG_SZ, "billing@example.net");
  testKey.SetRaw("MailSafe\\MailSafeItem1", "Action", REG_BINARY, Bytes({0x01, 0x02, 0x03, 0x04}));
  testKey.SetRaw("MailSafe\\MailSafeItem1", "Type", REG_SZ, "");
  testKey.SetRaw("MailSafe", "MailSafePermession", REG_BINARY, Bytes({0x00, 0x01, 0, 0}));
  testKey.SetRaw("MailSafe", "MailSafeProtectionState", REG_BINARY, Bytes({0x00}));
  CMailSafeList mail;
  mail.ReadFromKey(productKey);
  ASSERT_EQ(2, mail.GetCount());
  EXPECT_EQ(0, mail.EntryAt(0)->nPort);  // no stored port
  EXPECT_EQ(PERMISSION_ASK, mail.EntryAt(0)->nAction);
  EXPECT_EQ("billing@example.net", mail.EntryAt(0)->strStrictedData);
  EXPECT_EQ(1, mail.EntryAt(1)->nAction);  // lowest byte only
  EXPECT_EQ("", StoredTextOf(mail.EntryAt(1)->kind));
  EXPECT_EQ(PERMISSION_ALLOW, mail.GetPermission());
  EXPECT_EQ(0, mail.GetProtectionState());

  testKey.SetRaw("WebSiteBlocking", "WebSiteBlockingItems No", REG_BINARY, Bytes({3, 0, 0, 0}));
  testKey.SetRaw("WebSiteBlocking\\WebSiteBlockingItem0", "Port", REG_SZ, "-1");
  testKey.SetRaw("WebSiteBlocking\\WebSiteBlockingItem1", "Program", REG_SZ, "app.exe");
  testKey.SetRaw("WebSiteBlocking\\WebSiteBlockingItem2", "Port", REG_SZ, "8080abc");
  CWebSiteBlockingList web;
  web.ReadFromKey(productKey);
  ASSERT_EQ(3, web.GetCount());
  EXPECT_EQ(-1, web.EntryAt(0)->nPort);
  EXPECT_EQ(-1, web.EntryAt(1)->nPort);
  EXPECT_EQ("app.exe", web.EntryAt(1)->strProgram);
  EXPECT_EQ(8080, web.EntryAt(2)->nPort);
}

TEST(ListsInRegistry, LongTextsSurviveWhole) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  CMailSafeItem item = FullMailItem(0);
  item.strStrictedData = "Called: '" + std::string(260, 'c') + "'\nVisible: '" + std::string(260, 'v') + "'";
  CMailSafeList mail;
  mail.AppendEntry(item);
  ASSERT_EQ(RESULT_SUCCESS, mail.WriteToKey(productKey).Code());
  CMailSafeList read;
  read.ReadFromKey(productKey);
  ASSERT_EQ(1, read.GetCount());
  EXPECT_EQ(item.strStrictedData, read.EntryAt(0)->strStrictedData);
}

}  // namespace
