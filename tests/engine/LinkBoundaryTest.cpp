// Which links a listed link covers: hosts listed whole, pages, queries, tunnels and
// parents, on host labels and path segments, never pieces of text, and in the
// normal form on both sides; the walk through the lists and the index answer alike.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "engine/DefinitionMatchers.h"
#include "engine/DefinitionsIndex.h"
#include "engine/FakeDefinitionReader.h"
#include "standins/defstool/DefinitionsList.h"

namespace {

struct SCase {
  const char* szListed;
  const char* szLink;  // as the proxy or GetUrl hands it over
  bool bListed;
};

constexpr SCase kCases[] = {
    // A phishing host named after a brand blocks itself, never the brand.
    {"paypal.com.account-verify.example/login", "paypal.com.account-verify.example/login", true},
    {"paypal.com.account-verify.example/login", "paypal.com", false},
    {"paypal.com.account-verify.example/login", "paypal.com/", false},
    {"paypal.com.account-verify.example/login", "account-verify.example/login", false},
    {"paypal.com.account-verify.example/login", "xpaypal.com.account-verify.example/login", false},
    // Its sub-pages and sub-hosts; not its neighbours.
    {"paypal.com.account-verify.example/login", "paypal.com.account-verify.example/login/step2", true},
    {"paypal.com.account-verify.example/login", "secure.paypal.com.account-verify.example/login", true},
    {"paypal.com.account-verify.example/login", "paypal.com.account-verify.example/loginx", false},
    {"paypal.com.account-verify.example/login", "paypal.com.account-verify.example/other", false},
    // A host alone (a tunnel, or the root page) meets hosts listed whole only, never a listed page of it.
    {"paypal.com.account-verify.example/login", "paypal.com.account-verify.example", false},
    {"paypal.com.account-verify.example/login", "paypal.com.account-verify.example:443", false},
    // Query, fragment, "www.", port, scheme, user and trailing "/" or "." name no other page.
    {"login.example.com/verify", "login.example.com/verify?next=1", true},
    {"login.example.com/verify", "www.login.example.com/verify#top", true},
    {"login.example.com/verify", "login.example.com./verify/", true},
    {"http://www.phish.example:8080/a/", "phish.example/a", true},
    {"http://www.phish.example:8080/a/", "http://mail.phish.example:9090/a/b", true},
    {"http://www.phish.example:8080/a/", "phish.example/b", false},
    {"pay.example/login.php?id=7", "pay.example/login.php", false},
    {"paypal.com@evil.example/x", "evil.example/x/y", true},
    {"paypal.com@evil.example/x", "paypal.com", false},
    // A listed host without a path covers all of it.
    {"bad.example", "bad.example/any/page", true},
    {"bad.example", "a.b.bad.example", true},
    {"bad.example", "notbad.example", false},
    {"bad.example", "example", false},
    {"[2001:db8::1]:8443/p", "[2001:db8::1]/p/q", true},
    // Tunnels and root pages of hosts listed whole, and of their sub-hosts; never of a parent.
    {"bad.example", "bad.example", true},
    {"bad.example", "login.bad.example:443", true},
    {"bad.example", "www.bad.example/", true},
    {"login.bad.example", "bad.example", false},
    {"docs.shared.example/forms/d/e/1/viewform", "docs.shared.example", false},
    {"docs.shared.example/forms/d/e/1/viewform", "docs.shared.example/", false},
    {"docs.shared.example/forms/d/e/1/viewform", "docs.shared.example/forms/d/e/1/viewform?usp=send", true},
    {"docs.shared.example/forms/d/e/1/viewform", "docs.shared.example/forms/d/e/2/viewform", false},
    // A page listed with its query meets that host, path and query only.
    {"shared.example/url?q=http://evil.example/", "www.shared.example/url?q=http://evil.example/", true},
    {"shared.example/url?q=http://evil.example/", "shared.example/url?q=http://other.example/", false},
    {"shared.example/url?q=http://evil.example/", "shared.example/url", false},
    {"shared.example/url?q=http://evil.example/", "shared.example/url/x?q=http://evil.example/", false},
    {"shared.example/url?q=http://evil.example/", "mail.shared.example/url?q=http://evil.example/", false},
    {"shared.example/url?q=http://evil.example/", "shared.example", false},
    {"pay.example/login.php?id=7", "pay.example/login.php?id=%37#top", true},
    {"pay.example/login.php?id=7", "pay.example/./login.php?id=7", true},
    // Other spellings of a listed address, on either side.
    {"195.127.0.11/blah", "3279880203/blah", true},
    {"195.127.0.11/blah", "0xc37f000b/blah/x", true},
    {"195.127.0.11/blah", "0303.0177.0.013/blah", true},
    {"195.127.0.11/blah", "195.127.11/blah", true},
    {"3279880203", "195.127.0.11", true},
    {"195.127.0.11/blah", "195.127.0.12/blah", false},
    {"login.example.com/verify", "login.example.com//x/../verif%79/", true},
    {"login.example.com/verify", "login.example.com/verify%2fx", false},
    // Without a host, nothing is named.
    {"/verify", "/verify", false},
    {"bad.example", "/bad.example", false},
};

class LinkBoundary : public testing::TestWithParam<std::size_t> {};

TEST_P(LinkBoundary, ListedLinksCoverTheirPagesAndSubHostsOnly) {
  const SCase& test = kCases[GetParam()];
  // Every other case from the second list.
  const bool bHostList = GetParam() % 2 == 0;
  CFakeDefinitionReader reader;
  reader.Set(bHostList ? "HostLink" : "Link", bHostList ? "HLINK1" : "CLINK1", test.szListed);
  const std::string strPlain =
      std::string(bHostList ? "[HostLink]\nHLINK1=" : "[Link]\nCLINK1=") + test.szListed + "\n";
  const CResultOf<DefinitionsList> parsed = ParsePlainDefinitions(strPlain);
  ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  const DefinitionsList& list = parsed.Value();
  const auto pIndex = CDefinitionsIndex::FromFileBytes(WriteWorkingDefinitions(list));
  ASSERT_TRUE(pIndex);

  std::string strWalk = test.szLink, strIndex = test.szLink;
  EXPECT_EQ(test.bListed, CDefinitionMatchers(reader).IsBadUrl(&strWalk[0]))
      << "walk: " << test.szLink << " against " << test.szListed;
  EXPECT_EQ(test.bListed, pIndex->IsBadUrl(&strIndex[0])) << "index: " << test.szLink << " against " << test.szListed;
}

INSTANTIATE_TEST_SUITE_P(Cases, LinkBoundary, testing::Range<std::size_t>(0, std::size(kCases)));

}  // namespace
