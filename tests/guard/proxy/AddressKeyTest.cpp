// The key of a listed address, as the web guard and the browser host write it:
// one page gives one key through either, so that an answer remembered through one
// meets the page through the other.
#include <gtest/gtest.h>

#include <string>

#include "browser/host/HostAddressKey.h"
#include "browser/host/HostMessages.h"
#include "engine/WebAddressKey.h"
#include "guard/proxy/ProxyRequestHead.h"
#include "guard/proxy/RequestAddress.h"

namespace {

std::string GuardKey(const std::string& strRequestLine, bool bListedWithoutQuery) {
  SProxyRequest request;
  const CResult parsed = ParseRequestHead(strRequestLine + " HTTP/1.1\r\n\r\n", &request);
  EXPECT_TRUE(parsed.IsOk()) << parsed.Text();
  return ShownWebAddress(request, bListedWithoutQuery);
}

// The extension's address message for scheme://host:port + path + "?" + query.
std::string HostKey(const std::string& strScheme, const std::string& strHost, unsigned nPort,
                    const std::string& strPath, const std::string& strQuery, bool bListedWithoutQuery) {
  const std::string strJson = "{\"id\":1,\"type\":\"address\",\"scheme\":\"" + strScheme + "\",\"host\":\"" + strHost +
                              "\",\"port\":" + std::to_string(nPort) + ",\"path\":\"" + strPath + "\",\"query\":\"" +
                              strQuery + "\"}";
  const SDecodedRequest decoded = DecodeHostRequest(strJson);
  EXPECT_TRUE(decoded.request.IsOk()) << strJson << ": " << decoded.request.Result().Text();
  return HostAddressKey(decoded.request.Value(), bListedWithoutQuery);
}

struct SKeyCase {
  const char* szName;
  const char* szGuardLine;  // the guard's request line; null where the guard cannot see the page
  const char* szScheme;     // the browser host's request; null where the extension sends none
  const char* szHost;
  unsigned nPort;
  const char* szPath;
  const char* szQuery;
  bool bListedWithoutQuery;
  const char* szKey;
};

const SKeyCase kKeyCases[] = {
    {"WwwSpelled", "GET http://WWW.Login.Example.com/Verify", "http", "www.login.example.com", 80, "/Verify", "", true,
     "login.example.com/verify"},
    {"Port80Spelled", "GET http://login.example.com:80/verify", "http", "login.example.com", 80, "/verify", "", true,
     "login.example.com/verify"},
    {"OtherPort", "GET http://www.login.example.com:8080/verify", "http", "login.example.com", 8080, "/verify", "",
     true, "login.example.com:8080/verify"},
    {"HttpOn443", "GET http://login.example.com:443/verify", "http", "login.example.com", 443, "/verify", "", true,
     "login.example.com:443/verify"},
    {"Https443", nullptr, "https", "www.login.example.com", 443, "/verify", "", true, "login.example.com/verify"},
    {"HttpsOtherPort", nullptr, "https", "login.example.com", 8443, "/verify", "", true,
     "login.example.com:8443/verify"},
    {"RootPage", "GET http://www.Bad.Example./", "http", "www.bad.example", 80, "/", "", true, "bad.example"},
    {"TunnelAndHttpsRoot", "CONNECT www.bad.example:443", "https", "www.bad.example", 443, "/", "", true,
     "bad.example"},
    {"NormalForm", "GET http://login.example.com//x/../verif%79", "http", "login.example.com", 80, "/x/../verif%79", "",
     true, "login.example.com/verify"},
    {"RedirectListedWithItsQuery", "GET http://www.google.com/url?q=http://Evil.example/", "http", "www.google.com", 80,
     "/url", "q=http://Evil.example/", false, "google.com/url?q=http://evil.example/"},
    {"QuerySpelledDifferently", "GET http://google.com/url?%71=http://evil.example/", "http", "google.com", 80, "/url",
     "%71=http://evil.example/", false, "google.com/url?q=http://evil.example/"},
    {"ListedWithoutItsQuery", "GET http://www.google.com/url?q=http://evil.example/", "http", "www.google.com", 80,
     "/url", "q=http://evil.example/", true, "google.com/url"},
    {"RawHashEscaped", nullptr, "http", "login.example.com", 80, "/a#b", "", true, "login.example.com/a%23b"},
};

void PrintTo(const SKeyCase& test, std::ostream* pOut) {
  *pOut << test.szName;
}

class AddressKey : public testing::TestWithParam<SKeyCase> {};

TEST_P(AddressKey, IsTheSameThroughTheGuardAndTheBrowserHost) {
  const SKeyCase& test = GetParam();
  if (test.szGuardLine) EXPECT_EQ(test.szKey, GuardKey(test.szGuardLine, test.bListedWithoutQuery));
  if (test.szScheme)
    EXPECT_EQ(test.szKey,
              HostKey(test.szScheme, test.szHost, test.nPort, test.szPath, test.szQuery, test.bListedWithoutQuery));
}

INSTANTIATE_TEST_SUITE_P(ListedAddresses, AddressKey, testing::ValuesIn(kKeyCases),
                         [](const testing::TestParamInfo<SKeyCase>& info) { return info.param.szName; });

TEST(AddressKey, LongAddressesSharingTheirBeginningKeepApartWithinTheField) {
  const std::string strShared = "/" + std::string(300, 'a');
  const std::string strOne = HostKey("http", "long.example", 80, strShared + "/one", "", true);
  const std::string strTwo = HostKey("http", "long.example", 80, strShared + "/two", "", true);
  EXPECT_NE(strOne, strTwo);
  for (const std::string& strKey : {strOne, strTwo}) {
    EXPECT_EQ(kMaxWebAddressKey, strKey.size());
    EXPECT_EQ(0u, strKey.find("long.example/aaa"));
    EXPECT_EQ(kMaxWebAddressKey - 33, strKey.find('#')) << strKey;
    EXPECT_EQ(std::string::npos, strKey.find_first_not_of("0123456789abcdef", kMaxWebAddressKey - 32)) << strKey;
  }
  // Stable: the same page through the guard, and again.
  EXPECT_EQ(strOne, GuardKey("GET http://www.long.example" + strShared + "/one", true));
  // A key that fits is kept whole.
  const std::string strFits = "/" + std::string(kMaxWebAddressKey - 13, 'b');
  EXPECT_EQ("long.example" + strFits, HostKey("http", "long.example", 80, strFits, "", true));
}

}  // namespace
