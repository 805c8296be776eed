// The normal form of web addresses over published canonicalization examples that
// concern host and path, and the IPv4 spellings the system's resolver takes.
#include <gtest/gtest.h>

#include <string>

#include "engine/WebAddress.h"

namespace {

struct SNormalCase {
  const char* szLink;
  const char* szNormal;  // host, path ("/" for none) and "?query"; the port left out
};

std::string Shown(const SWebAddress& address) {
  return address.strHost + (address.strPath.empty() ? "/" : address.strPath) +
         (address.strQuery.empty() ? "" : "?" + address.strQuery);
}

class NormalForm : public testing::TestWithParam<SNormalCase> {};

TEST_P(NormalForm, OfTheLink) {
  const SNormalCase& test = GetParam();
  const SWebAddress normal = NormalizeWebAddress(WebAddressOfLink(test.szLink));
  EXPECT_EQ(test.szNormal, Shown(normal)) << test.szLink;
  EXPECT_EQ(Shown(normal), Shown(NormalizeWebAddress(normal))) << "twice: " << test.szLink;
}

INSTANTIATE_TEST_SUITE_P(
    PublishedExamples, NormalForm,
    testing::Values(SNormalCase{"http://www.google.com/", "www.google.com/"},
                    SNormalCase{"http://%31%36%38%2e%31%38%38%2e%39%39%2e%32%36/%2E%73%65%63%75%72%65/"
                                "%77%77%77%2E%65%62%61%79%2E%63%6F%6D/",
                                "168.188.99.26/.secure/www.ebay.com/"},
                    SNormalCase{"http://195.127.0.11/uploads/%20%20%20%20/.verify/.eBaysecure=updateuserdataxplimnbqmn-"
                                "xplmvalidateinfoswqpcmlx=hgplmcx/",
                                "195.127.0.11/uploads/%20%20%20%20/.verify/.eBaysecure=updateuserdataxplimnbqmn-"
                                "xplmvalidateinfoswqpcmlx=hgplmcx/"},
                    SNormalCase{"http://3279880203/blah", "195.127.0.11/blah"},
                    SNormalCase{"http://www.google.com/blah/..", "www.google.com/"},
                    SNormalCase{"www.google.com/", "www.google.com/"}, SNormalCase{"www.google.com", "www.google.com/"},
                    SNormalCase{"http://www.evil.com/blah#frag", "www.evil.com/blah"},
                    SNormalCase{"http://www.GOOgle.com/", "www.google.com/"},
                    SNormalCase{"http://www.google.com.../", "www.google.com/"},
                    SNormalCase{"http://www.google.com/q?r?", "www.google.com/q?r?"},
                    SNormalCase{"http://www.google.com/q?r?s", "www.google.com/q?r?s"},
                    SNormalCase{"http://evil.com/foo#bar#baz", "evil.com/foo"},
                    SNormalCase{"http://evil.com/foo;", "evil.com/foo;"},
                    SNormalCase{"http://evil.com/foo?bar;", "evil.com/foo?bar;"},
                    SNormalCase{"http://notrailingslash.com", "notrailingslash.com/"},
                    SNormalCase{"http://www.gotaport.com:1234/", "www.gotaport.com/"},
                    SNormalCase{"http://%20leadingspace.com/", "%20leadingspace.com/"},
                    SNormalCase{"%20leadingspace.com/", "%20leadingspace.com/"},
                    SNormalCase{"https://www.securesite.com/", "www.securesite.com/"},
                    SNormalCase{"http://host.com/ab%23cd", "host.com/ab%23cd"},
                    SNormalCase{"http://host.com//twoslashes?more//slashes", "host.com/twoslashes?more//slashes"}));

INSTANTIATE_TEST_SUITE_P(
    ResolverSpellings, NormalForm,
    testing::Values(SNormalCase{"0xC37F000B/x", "195.127.0.11/x"}, SNormalCase{"0303.0177.0.013/x", "195.127.0.11/x"},
                    SNormalCase{"0xc3.0x7f.0.0xb", "195.127.0.11/"}, SNormalCase{"195.127.11", "195.127.0.11/"},
                    SNormalCase{"195.8323083", "195.127.0.11/"}, SNormalCase{"4294967295", "255.255.255.255/"},
                    SNormalCase{"0", "0.0.0.0/"},
                    // Not addresses: kept as names.
                    SNormalCase{"4294967296", "4294967296/"}, SNormalCase{"256.1.1.1", "256.1.1.1/"},
                    SNormalCase{"1.2.3.4.5", "1.2.3.4.5/"}, SNormalCase{"08.1.1.1", "08.1.1.1/"},
                    SNormalCase{"0x.1.1.1", "0x.1.1.1/"}, SNormalCase{"1..1", "1..1/"},
                    SNormalCase{"1.2.3.0x100", "1.2.3.0x100/"}, SNormalCase{"1e2.1.1.1", "1e2.1.1.1/"}));

INSTANTIATE_TEST_SUITE_P(PathAndQuery, NormalForm,
                         testing::Values(SNormalCase{"h.example/verif%79", "h.example/verify"},
                                         SNormalCase{"h.example/%%34%31",
                                                     "h.example/A"},  // a decoded digit completes an escape
                                         SNormalCase{"h.example/a%2fb%2Fc", "h.example/a%2Fb%2Fc"},
                                         SNormalCase{"h.example/x/%2e%2e/verify", "h.example/verify"},
                                         SNormalCase{"h.example/../../a/./b/", "h.example/a/b/"},
                                         SNormalCase{"h.example?id=%37&r=%2f", "h.example/?id=7&r=%2F"},
                                         SNormalCase{"user@[2001:DB8::1]:8443/p", "[2001:db8::1]/p"}));

TEST(WebAddressParts, PortsHostsAndBareIPv6) {
  const SWebAddress link = WebAddressOfLink("http://u:p@Host.example:8080/a?b#c");
  EXPECT_EQ("Host.example", link.strHost);
  EXPECT_EQ(8080, link.nPort);
  EXPECT_EQ("/a", link.strPath);
  EXPECT_EQ("b", link.strQuery);
  EXPECT_EQ(0, WebAddressOfLink("h.example:99999/").nPort);
  EXPECT_EQ(0, WebAddressOfLink("h.example:8o/").nPort);
  SWebAddress bare;
  bare.strHost = "2001:db8::1";  // as a parsed CONNECT gives it
  EXPECT_EQ("[2001:db8::1]", NormalizeWebAddress(bare).strHost);
  bare.strPath = "verify";  // a path without its "/"
  EXPECT_EQ("/verify", NormalizeWebAddress(bare).strPath);
}

}  // namespace
