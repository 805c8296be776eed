// The feed importer on small samples of each feed format, malformed lines included.
#include <gtest/gtest.h>

#include "engine/DefinitionsIndex.h"
#include "standins/defstool/DefinitionsList.h"
#include "standins/defstool/FeedImport.h"
#include "standins/defstool/ReadBackCheck.h"

namespace {

struct SNormalized {
  const char* szEntry;
  EFeedEntry kind;
  const char* szValue;
};

TEST(FeedImport, EntriesAreStoredAsTheRequestTextTheEngineCompares) {
  const std::string strLong = "http://long.example.com/" + std::string(300, 'a');
  const SNormalized cases[] = {
      {"https://www.Login.Example.COM/Verify?user=1#top", EFeedEntry::HostLink, "login.example.com/verify?user=1"},
      {"  http://victim@phish.test:80/  ", EFeedEntry::HostLink, "phish.test"},
      {"https://phish.test:443/a/b/", EFeedEntry::HostLink, "phish.test/a/b/"},
      {"https://phish.test:8443/a", EFeedEntry::HostLink, "phish.test:8443/a"},
      {"secure-bank.test.", EFeedEntry::HostLink, "secure-bank.test"},
      {"192.0.2.5", EFeedEntry::HostAddress, "192.0.2.5"},
      {"http://198.51.100.7/", EFeedEntry::HostAddress, "198.51.100.7"},
      {"http://198.51.100.7/signin", EFeedEntry::HostLink, "198.51.100.7/signin"},
      {"999.0.2.5", EFeedEntry::HostLink, "999.0.2.5"},  // no address: taken as a name
      {"ftp://files.example.com/x", EFeedEntry::Malformed, ""},
      {"two words.test", EFeedEntry::Malformed, ""},
      {"<td>phish.test</td>", EFeedEntry::Malformed, ""},
      {"http:///path-only", EFeedEntry::Malformed, ""},
      {"a..b.test", EFeedEntry::Malformed, ""},
      {"phish.test:port/x", EFeedEntry::Malformed, ""},
      {strLong.c_str(), EFeedEntry::Unstorable, ""},
  };
  for (const auto& c : cases) {
    std::string strValue;
    EXPECT_EQ(NormalizeFeedEntry(c.szEntry, strValue), c.kind) << c.szEntry;
    if (c.kind == EFeedEntry::HostLink || c.kind == EFeedEntry::HostAddress) EXPECT_EQ(strValue, c.szValue);
  }
}

// What an import wrote must go through the tool unchanged: parsed, and every entry
// reading back as written.
void ExpectStorable(const CFeedImport& import) {
  const CResultOf<DefinitionsList> list = ParsePlainDefinitions(import.WritePlainList());
  ASSERT_TRUE(list.IsOk()) << list.Result().Text();
  EXPECT_TRUE(FindReadBackFaults(list.Value()).empty());
}

::testing::AssertionResult Added(CFeedImport& import, const std::string& strName, const std::string& strFeed) {
  const CResult added = import.AddFeed(strName, strFeed);
  if (added.IsOk()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << strName << ": " << added.Text();
}

std::string RefusalOf(const std::string& strFeed) {
  const CResult added = CFeedImport().AddFeed("refused", strFeed);
  EXPECT_FALSE(added.IsOk()) << strFeed.substr(0, 40);
  return added.Text();
}

TEST(FeedImport, LineFeedsDropCommentsDuplicatesAndMalformedLines) {
  const std::string strFeed =
      "# OpenPhish-style list\r\n"
      "https://login.example.com/verify\r\n"
      "http://WWW.login.example.com/verify?session=7\r\n"  // another page of the same host
      "\r\n"
      "phish.example.net\n"
      "not a url\n"
      "203.0.113.9\n";
  CFeedImport import;
  ASSERT_TRUE(Added(import, "openphish.txt", strFeed));
  // A second feed naming what the first had counts it as a duplicate.
  ASSERT_TRUE(Added(import, "domains.txt", "phish.example.net\nnew.example.org\n"));
  EXPECT_EQ(import.CountHostLinks(), 5u);
  EXPECT_EQ(import.CountHostAddresses(), 1u);
  EXPECT_EQ(import.CountDuplicates(), 1u);
  EXPECT_EQ(import.CountMalformed(), 1u);
  ASSERT_EQ(import.Notes().size(), 1u);
  EXPECT_EQ(import.Notes()[0], "openphish.txt:6: \"not a url\": not a host or web address");
  EXPECT_EQ(import.WritePlainList(),
            "; Imported phishing feeds: 6 entries\n\n[HostIP]\nIP1=203.0.113.9\n\n[HostLink]\n"
            "HLINK1=login.example.com/verify\nHLINK2=login.example.com\nHLINK3=login.example.com/verify?session=7\n"
            "HLINK4=phish.example.net\nHLINK5=new.example.org\n");
  ExpectStorable(import);
}

TEST(FeedImport, PhishTankCsvTakesTheUrlColumn) {
  const std::string strFeed =
      "phish_id,url,phish_detail_url,submission_time,verified,verification_time,online,target\n"
      "1,https://bank.example.com/login,http://www.phishtank.com/phish_detail.php?phish_id=1,t,yes,t,yes,Other\n"
      "2,\"http://pay.example.net/a,b?x=\"\"1\"\"\",d,t,yes,t,yes,\"Multi\nline\"\n"
      "3,http://short.example.org/\n"  // too few fields
      "4,ftp://bad.example.org/,d,t,yes,t,yes,Other\n";
  CFeedImport import;
  ASSERT_TRUE(Added(import, "phishtank.csv", strFeed));
  EXPECT_EQ(import.CountHostLinks(), 4u);
  EXPECT_EQ(import.CountMalformed(), 2u);
  EXPECT_NE(import.WritePlainList().find("HLINK3=pay.example.net/a,b?x=\"1\"\n"), std::string::npos);
  ASSERT_EQ(import.Notes().size(), 2u);
  EXPECT_EQ(import.Notes()[0], "phishtank.csv:5: a row whose fields do not match the header");
  EXPECT_EQ(import.Notes()[1].substr(0, 16), "phishtank.csv:6:");
  ExpectStorable(import);

  CFeedImport broken;
  const CResult noUrl = broken.AddFeed("x.csv", "phish_id,link\n1,http://a.example.com/\n");
  EXPECT_FALSE(noUrl.IsOk());
  EXPECT_EQ(noUrl.Text(), "line 1: the header names no \"url\" column");
  const CResult unclosed = broken.AddFeed("x.csv", "phish_id,url\n1,\"http://a.example.com/\n");
  EXPECT_FALSE(unclosed.IsOk());
  EXPECT_EQ(unclosed.Text(), "line 2: a quoted field without its closing quote");
  EXPECT_EQ(broken.CountKept() + broken.CountMalformed(), 0u);
}

TEST(FeedImport, JsonTakesTheBlockListsOnly) {
  const std::string strFeed =
      "{\n \"version\": 2, \"tolerance\": 2.5e0,\n"
      " \"fuzzylist\": [\"metamask.io\"], \"whitelist\": [\"example.com\"],\n"
      " \"nested\": {\"blacklist\": [\"not-top-level.example\"], \"x\": [true, null, -1]},\n"
      " \"blacklist\": [\"wallet-phish.example\", \"claim\\u002eexample.net\", 7],\n"
      " \"blocklist\": [\"wallet-phish.example\", \"bad host\"]\n}\n";
  CFeedImport import;
  ASSERT_TRUE(Added(import, "config.json", strFeed));
  EXPECT_EQ(import.WritePlainList(),
            "; Imported phishing feeds: 2 entries\n\n[HostLink]\nHLINK1=wallet-phish.example\n"
            "HLINK2=claim.example.net\n");
  EXPECT_EQ(import.CountDuplicates(), 1u);
  EXPECT_EQ(import.CountMalformed(), 2u);
  EXPECT_EQ(import.Notes()[0], "config.json:5: not a text");

  // Broken JSON adds nothing; deep nesting is refused, not recursed into.
  for (const std::string& strBroken :
       {std::string("{\"blacklist\": [\"a.example\",]}"), std::string("{\"blacklist\": [\"a.example\"]} x"),
        std::string("{\"blacklist\": [\"a.example\\q\"]}"), "{\"x\": " + std::string(100000, '[')}) {
    CFeedImport broken;
    EXPECT_FALSE(broken.AddFeed("b.json", strBroken).IsOk()) << strBroken.substr(0, 40);
    EXPECT_EQ(broken.CountKept(), 0u);
  }
}

// Elements and faults are named by their own lines, also a number read up to the
// line end after it; a byte-order mark does not break the text.
TEST(FeedImport, JsonElementsAndFaultsAreNamedByTheirLines) {
  CFeedImport import;
  ASSERT_TRUE(Added(import, "j.json", "\xEF\xBB\xBF{\"blocklist\": [\n 7\n, \"ok.example\", {\n}]}"));
  EXPECT_EQ(import.CountKept(), 1u);
  EXPECT_EQ(import.Notes()[0], "j.json:2: not a text");
  EXPECT_EQ(import.Notes()[1], "j.json:3: not a text");
  // A fault is named by the line it is found on.
  for (const auto& [strBroken, szLine] :
       {std::pair{std::string("{\n\"blacklist\": [\"a.example\",\n]}"), "line 3: "},
        std::pair{std::string("{\"x\":\n\n") + std::string(70, '['), "line 3: nested too deeply"}}) {
    const std::string strWhy = RefusalOf(strBroken);
    EXPECT_EQ(strWhy.find(szLine), 0u) << strWhy;
  }
}

// A small public suffix list: one platform, one whose every name is a platform,
// and an exception to it.
constexpr char kSuffixes[] =
    "// ===BEGIN ICANN DOMAINS===\nio\n// ===END ICANN DOMAINS===\n"
    "// ===BEGIN PRIVATE DOMAINS===\ngithub.io\n*.cloud.example\n!www.eu.cloud.example\n"
    "// ===END PRIVATE DOMAINS===\n";

TEST(FeedCuration, SharedPlatformsKeepTheirPagesOwnHostsAreListedWhole) {
  CFeedImport import;
  EXPECT_EQ(import.SharedHosts().AddPublicSuffixList(kSuffixes), 3u);
  EXPECT_EQ(import.SharedHosts().AddHosts("rank,domain\n1,popular.example\n"), 1u);
  for (const auto& [szHost, bShared] :
       std::initializer_list<std::pair<const char*, bool>>{{"docs.google.com", true},
                                                           {"google.com", true},
                                                           {"github.io", true},
                                                           {"a.github.io", false},
                                                           {"x.a.github.io", false},
                                                           {"eu.cloud.example", true},
                                                           {"app.eu.cloud.example", false},
                                                           {"www.eu.cloud.example", false},
                                                           {"bucket.storage.googleapis.com", true},
                                                           {"cid.ipfs.dweb.link", false},
                                                           {"ipfs.dweb.link", true},
                                                           {"io", false},
                                                           {"popular.example", true},
                                                           {"phish.example", false}}) {
    EXPECT_EQ(bShared, import.SharedHosts().IsShared(szHost)) << szHost;
  }

  const std::string strFeed =
      "https://docs.google.com/forms/d/e/1FAIpQ/viewform\n"
      "https://www.google.com/url?q=http://evil.example/\n"
      "https://ipfs.io/ipfs/bafyabc/login.html\n"
      "https://bafyabc.ipfs.dweb.link/login.html\n"
      "https://evil-user.github.io/signin\n"
      "https://popular.example/hacked/page.php\n"
      "https://secure-login.phish.example/account/verify\n"
      "http://3279880203/account\n"
      "docs.google.com\n"
      "https://github.io/\n";
  ASSERT_TRUE(Added(import, "feed.txt", strFeed));
  EXPECT_EQ(import.CountPages(), 8u);
  EXPECT_EQ(import.CountWholeHosts(), 4u);
  EXPECT_EQ(import.CountRefusedShared(), 2u);
  EXPECT_EQ(import.SharedPagesSummary(2), "docs.google.com 1, google.com 1, ... (4 hosts)");
  ASSERT_EQ(import.Notes().size(), 2u);
  EXPECT_EQ(import.Notes()[0], "feed.txt:9: \"docs.google.com\": a shared platform, never listed whole");
  EXPECT_EQ(import.WritePlainList(),
            "; Imported phishing feeds: 12 entries\n\n[HostLink]\n"
            "HLINK1=docs.google.com/forms/d/e/1faipq/viewform\n"
            "HLINK2=google.com/url?q=http://evil.example/\n"
            "HLINK3=ipfs.io/ipfs/bafyabc/login.html\n"
            "HLINK4=bafyabc.ipfs.dweb.link/login.html\nHLINK5=bafyabc.ipfs.dweb.link\n"
            "HLINK6=evil-user.github.io/signin\nHLINK7=evil-user.github.io\n"
            "HLINK8=popular.example/hacked/page.php\n"
            "HLINK9=secure-login.phish.example/account/verify\nHLINK10=secure-login.phish.example\n"
            "HLINK11=195.127.0.11/account\nHLINK12=195.127.0.11\n");
  ExpectStorable(import);

  // What the engine makes of the list: the platforms' tunnels pass, the phishing host's do not.
  const CResultOf<DefinitionsList> list = ParsePlainDefinitions(import.WritePlainList());
  ASSERT_TRUE(list.IsOk()) << list.Result().Text();
  const auto pIndex = CDefinitionsIndex::FromFileBytes(WriteWorkingDefinitions(list.Value()));
  ASSERT_TRUE(pIndex);
  for (const auto& [szLink, bListed] :
       std::initializer_list<std::pair<const char*, bool>>{{"www.google.com", false},
                                                           {"docs.google.com:443", false},
                                                           {"google.com/url?q=http://good.example/", false},
                                                           {"www.google.com/url?q=http://evil.example/", true},
                                                           {"ipfs.io", false},
                                                           {"secure-login.phish.example:443", true},
                                                           {"evil-user.github.io", true},
                                                           {"github.io", false}}) {
    std::string strLink = szLink;
    EXPECT_EQ(bListed, pIndex->IsBadUrl(&strLink[0])) << szLink;
  }
}

}  // namespace
