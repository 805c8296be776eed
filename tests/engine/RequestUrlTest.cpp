// Cutting the address out of request heads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/RequestUrl.h"

namespace {

std::string Cut(const std::string& strRequest) {
  char szUrl[kRequestUrlSize];
  std::memset(szUrl, '#', sizeof(szUrl));
  CutRequestUrl(strRequest.c_str(), szUrl);
  // The whole buffer is cleared, not only the text's end, also after "www." or a query went.
  const std::size_t nLength = std::strlen(szUrl);
  EXPECT_LT(nLength, kRequestUrlSize - 1);
  for (std::size_t i = nLength; i < kRequestUrlSize; ++i) EXPECT_EQ('\0', szUrl[i]) << "at " << i;
  return szUrl;
}

std::string Head(const std::string& strPath, const std::string& strHost) {
  return "get " + strPath + " http/1.1\r\nhost: " + strHost + "\r\naccept: */*\r\n\r\n";
}

TEST(RequestUrl, HostAndPathWithoutWwwAndWithoutQuery) {
  EXPECT_EQ("phish.example.com/login.php", Cut(Head("/login.php", "phish.example.com")));
  EXPECT_EQ("bank.example/a/b", Cut(Head("/a/b", "www.bank.example")));
  EXPECT_EQ("bank.example/signin", Cut(Head("/signin?user=me&next=/x", "www.bank.example")));
  EXPECT_EQ("bank.example/q", Cut(Head("/q?", "bank.example")));
  // Only a leading "www." goes, and only once.
  EXPECT_EQ("www.bank.example/x", Cut(Head("/x", "www.www.bank.example")));
  EXPECT_EQ("shop.www.example/x", Cut(Head("/x", "shop.www.example")));
}

TEST(RequestUrl, TheSiteRootIsTheHostAlone) {
  EXPECT_EQ("bank.example", Cut(Head("/", "www.bank.example")));
  EXPECT_EQ("bank.example", Cut(Head("/", "bank.example")));
  EXPECT_EQ("www", Cut(Head("/", "www")));
}

TEST(RequestUrl, OnlyLowerCaseHttp11GetRequestsCount) {
  EXPECT_EQ("", Cut("get /login http/1.0\r\nhost: bank.example\r\n\r\n"));
  EXPECT_EQ("", Cut("GET /login HTTP/1.1\r\nHost: bank.example\r\n\r\n"));
  EXPECT_EQ("", Cut("GET /login http/1.1\r\nhost: bank.example\r\n\r\n"));
  EXPECT_EQ("", Cut("post /login http/1.1\r\nhost: bank.example\r\n\r\n"));
  EXPECT_EQ("", Cut(""));
}

TEST(RequestUrl, ImageStyleSoundXmlAndScriptResourcesAreSkipped) {
  for (const char* szPath :
       {"/a/logo.jpg", "/logo.GIF", "/p.jpeg", "/s/site.css", "/x.wav", "/feed.xml", "/app.js", "/a.jpg?v=2"}) {
    EXPECT_EQ("", Cut(Head(szPath, "cdn.example"))) << szPath;
  }
  EXPECT_EQ("cdn.example/page.jsp", Cut(Head("/page.jsp", "cdn.example")));
  EXPECT_EQ("cdn.example/app.js", Cut(Head("/app.js?v=1", "cdn.example")));
  EXPECT_EQ("cdn.example/a.min.js", Cut(Head("/a.min.js", "cdn.example")));          // the first "." decides
  EXPECT_EQ("cdn.example/img.jpg/view", Cut(Head("/img.jpg/view", "cdn.example")));  // behind the last "/"
}

TEST(RequestUrl, HostLineRules) {
  // The character in front of "\n" is taken for the carriage return.
  EXPECT_EQ("bank.exampl/x", Cut("get /x http/1.1\nhost: bank.example\n\n"));
  EXPECT_EQ("", Cut("get /x http/1.1\r\n\r\n"));
  EXPECT_EQ("", Cut("get /x http/1.1\r\nhost: bank.example"));  // host line at the very end
  EXPECT_EQ("", Cut("get /x http/1.1\r\nhost: \n"));
  EXPECT_EQ("", Cut("get /x http/1.1\r\nhost: \r\n\r\n"));  // an empty host names no site
  EXPECT_EQ("", Cut("host: bank.example\r\n"));
  // The host line may come first; the first "host: " is taken.
  EXPECT_EQ("a.example/x", Cut("host: a.example\r\nget /x http/1.1\r\nhost: b.example\r\n"));
}

TEST(RequestUrl, PathRules) {
  EXPECT_EQ("", Cut(Head("login", "bank.example")));  // no "/" at all
  EXPECT_EQ("", Cut(Head("", "bank.example")));
  EXPECT_EQ("bank.example//", Cut(Head("//", "bank.example")));
  EXPECT_EQ("", Cut("get /x\r\nhost: bank.example\r\n"));
}

TEST(RequestUrl, OverLongHostsAndPathsGiveNothing) {
  const std::string strHost259(259, 'h');
  const std::string strHost260(260, 'h');
  EXPECT_EQ(strHost259, Cut(Head("/", strHost259)));
  EXPECT_EQ("", Cut(Head("/", strHost260)));
  EXPECT_EQ("", Cut(Head("/", std::string(261, 'h'))));
  EXPECT_EQ("", Cut(Head("/" + std::string(260, 'p'), "h.example")));
  EXPECT_EQ("", Cut(Head("/" + std::string(5000, 'p'), std::string(5000, 'h'))));

  // Host and path together stay under 260 characters.
  const std::string strHost = "h.example";
  const std::string strFits = "/" + std::string(259 - strHost.size() - 1, 'p');
  EXPECT_EQ(strHost + strFits, Cut(Head(strFits, strHost)));
  EXPECT_EQ("", Cut(Head(strFits + "p", strHost)));
  // The limit counts before "www." and the query go.
  const std::string strQuery = "/a?" + std::string(250, 'q');
  EXPECT_EQ("", Cut(Head(strQuery, "www.example")));
}

TEST(RequestUrl, BytesAbove0x7FPassThroughAndNullArgumentsAreSafe) {
  EXPECT_EQ("b\xE4nk.example/\xFF\x80", Cut(Head("/\xFF\x80", "b\xE4nk.example")));
  char szUrl[kRequestUrlSize] = "old";
  CutRequestUrl(nullptr, szUrl);
  EXPECT_STREQ("", szUrl);
  CutRequestUrl("get / http/1.1\r\nhost: a\r\n", nullptr);
}

}  // namespace
