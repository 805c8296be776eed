// The browser host's side of native messaging: frames, JSON and the typed requests
// decoded from them, with the faults a browser or a broken peer can produce.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "browser/host/HostFraming.h"
#include "browser/host/HostJson.h"
#include "browser/host/HostMessages.h"
#include "engine/DefinitionMatchers.h"
#include "engine/FakeDefinitionReader.h"

namespace {

// Hands out a byte string at most nChunk bytes per read, as a pipe may.
class CChunkedInput : public IByteInput {
 public:
  CChunkedInput(std::string strBytes, std::size_t nChunk) : m_str(std::move(strBytes)), m_nChunk(nChunk) {}
  std::size_t Read(void* pBuffer, std::size_t cbMax) override {
    std::size_t n = std::min({cbMax, m_nChunk, m_str.size() - m_nPos});
    std::memcpy(pBuffer, m_str.data() + m_nPos, n);
    m_nPos += n;
    return n;
  }

 private:
  std::string m_str;
  std::size_t m_nChunk;
  std::size_t m_nPos = 0;
};

std::string Frames(std::initializer_list<std::string> bodies) {
  std::string str;
  for (const auto& strBody : bodies) str += EncodeFrame(strBody).Value();
  return str;
}

std::vector<std::string> ReadAll(const std::string& strBytes, std::size_t nChunk, std::size_t cbMax,
                                 EFrameRead* peLast) {
  CChunkedInput input(strBytes, nChunk);
  CFrameReader reader(input, cbMax);
  std::vector<std::string> frames;
  std::string strFrame;
  for (;;) {
    const EFrameRead e = reader.Next(&strFrame);
    if (e == EFrameRead::Frame) frames.push_back(strFrame);
    if (e == EFrameRead::TooLong) frames.push_back("<too long>");
    if (e == EFrameRead::End || e == EFrameRead::Truncated) {
      *peLast = e;
      return frames;
    }
  }
}

TEST(HostFraming, FramesSurviveAnySplitAndALongFrameIsSkippedWhole) {
  const std::string strStream = Frames({"{\"a\":1}", "", std::string(40, 'x'), "[]"});
  for (std::size_t nChunk : {1u, 3u, 4096u}) {
    EFrameRead eLast;
    const auto frames = ReadAll(strStream, nChunk, 16, &eLast);
    const std::vector<std::string> expected = {"{\"a\":1}", "", "<too long>", "[]"};
    EXPECT_EQ(expected, frames) << "reads of " << nChunk << " bytes";
    EXPECT_EQ(EFrameRead::End, eLast);
  }
}

TEST(HostFraming, InputEndingInsideAFrameIsTruncated) {
  const std::string strFrame = EncodeFrame("{\"id\":1}").Value();
  for (std::size_t nCut : {std::size_t{2}, std::size_t{4}, strFrame.size() - 1}) {
    EFrameRead eLast;
    EXPECT_TRUE(ReadAll(strFrame.substr(0, nCut), 1, 1024, &eLast).empty());
    EXPECT_EQ(EFrameRead::Truncated, eLast) << "cut after " << nCut << " bytes";
  }
  // A length that claims more than the stream holds, beyond the limit too.
  EFrameRead eLast;
  EXPECT_TRUE(ReadAll(std::string("\xff\xff\xff\xff", 4) + "abc", 7, 1024, &eLast).empty());
  EXPECT_EQ(EFrameRead::Truncated, eLast);
}

TEST(HostFraming, LengthIsLittleEndianAndAnswersOverOneMegabyteAreRefused) {
  EXPECT_EQ(std::string("\x03\x01\x00\x00", 4) + std::string(259, 'a'), EncodeFrame(std::string(259, 'a')).Value());
  EXPECT_EQ(4 + kMaxFrameOut, EncodeFrame(std::string(kMaxFrameOut, 'a')).Value().size());
  EXPECT_FALSE(EncodeFrame(std::string(kMaxFrameOut + 1, 'a')).IsOk());
}

TEST(HostJson, EscapesDecodeToUtf8) {
  const CResultOf<nlohmann::json> parsed =
      ParseHostJson(R"( {"t":"a\"\\\/\n\u00e9\u20ac\ud83d\ude00\ud800x","n":-1.5e2,"b":[true,null]} )");
  ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  const nlohmann::json& value = parsed.Value();
  EXPECT_EQ("a\"\\/\n\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xef\xbf\xbdx", value["t"].get<std::string>());
  EXPECT_EQ(-150, value["n"].get<double>());
  EXPECT_EQ(2u, value["b"].size());
}

// A page's text may hold halves of surrogate pairs, which JSON.stringify escapes
// alone: each reads as U+FFFD, and nothing else changes.
TEST(HostJson, SurrogatesOutsidePairsReadAsReplacements) {
  const struct {
    const char* szJson;
    const char* szText;
  } kCases[] = {
      {R"("\ud83d\u0078")", "\xef\xbf\xbdx"},                       // a high half before another escape
      {R"("a\uDE00")", "a\xef\xbf\xbd"},                            // a low half alone, in capitals
      {R"("\ud800\ud83d\ude00")", "\xef\xbf\xbd\xf0\x9f\x98\x80"},  // then a whole pair
      {R"("\\ud800")", "\\ud800"},                                  // an escaped backslash: no escape at all
      {R"("\ud800)", nullptr},                                      // still refused when broken otherwise
  };
  for (const auto& c : kCases) {
    const CResultOf<nlohmann::json> parsed = ParseHostJson(c.szJson);
    ASSERT_EQ(c.szText != nullptr, parsed.IsOk()) << c.szJson << ": " << parsed.Result().Text();
    if (c.szText) EXPECT_EQ(c.szText, parsed.Value().get<std::string>()) << c.szJson;
  }
}

TEST(HostJson, MalformedTextIsAnErrorNeverAValue) {
  const std::string strDeep = std::string(kMaxJsonDepth + 2, '[') + std::string(kMaxJsonDepth + 2, ']');
  for (const std::string& strBad :
       {std::string(""), std::string("{"), std::string("{\"a\"}"), std::string("{\"a\":1,}"), std::string("[1 2]"),
        std::string("\"ab"), std::string("\"a\x01\""), std::string("\"\\x\""), std::string("\"\\u12\""),
        std::string("01"), std::string("1."), std::string("-"), std::string("tru"), std::string("{} {}"), strDeep}) {
    const CResultOf<nlohmann::json> parsed = ParseHostJson(strBad);
    EXPECT_FALSE(parsed.IsOk()) << "accepted: " << strBad;
    EXPECT_NE("", parsed.Result().Text());
  }
  // Longer than a frame: refused before it is read.
  EXPECT_EQ(0u, ParseHostJson(std::string(kMaxFrameIn + 1, ' ')).Result().Text().find("the message is longer"));
}

TEST(HostJson, WrittenTextIsAlwaysValidUtf8Json) {
  const std::string strWritten = CJsonObjectWriter().Add("s", std::string("a\"\x01\xff\xc3\xa9\xed\xa0\x80")).Text();
  EXPECT_EQ("{\"s\":\"a\\\"\\u0001\\ufffd\xc3\xa9\\ufffd\\ufffd\\ufffd\"}", strWritten);
  EXPECT_TRUE(ParseHostJson(strWritten).IsOk());
}

struct SAddressCase {
  const char* szJson;
  bool bOk;
  const char* szCheckedWithPort;  // or the error's start
};

class HostAddressRequest : public testing::TestWithParam<SAddressCase> {};

TEST_P(HostAddressRequest, DecodesIntoTheCheckedAddress) {
  const SAddressCase& c = GetParam();
  const SDecodedRequest decoded = DecodeHostRequest(c.szJson);
  const std::string& strError = decoded.request.Result().Text();
  ASSERT_EQ(c.bOk, decoded.request.IsOk()) << strError;
  if (c.bOk)
    EXPECT_EQ(c.szCheckedWithPort, CheckedAddressText(decoded.request.Value(), true));
  else
    EXPECT_EQ(0u, strError.find(c.szCheckedWithPort)) << strError;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostAddressRequest,
    testing::Values(
        SAddressCase{R"({"id":1,"type":"address","scheme":"HTTPS","host":"Login.Example.COM.","path":"/verify"})", true,
                     "login.example.com/verify"},
        SAddressCase{R"({"id":1,"type":"address","scheme":"http","host":"a.example","port":443,"path":"/"})", true,
                     "a.example:443/"},
        SAddressCase{R"({"id":1,"type":"address","scheme":"https","host":"a.example","port":8443,"query":"?x=1"})",
                     true, "a.example:8443"},
        SAddressCase{R"({"id":1,"type":"address","scheme":"ftp","host":"a.example"})", false, "only http"},
        SAddressCase{R"({"id":1,"type":"address","scheme":"http","host":"a b"})", false, "\"host\""},
        SAddressCase{R"({"id":1,"type":"address","scheme":"http","host":"a","port":70000})", false, "\"port\""},
        SAddressCase{R"({"id":1,"type":"address","scheme":"http","host":"a","port":"80"})", false, "\"port\""},
        SAddressCase{R"({"id":1,"type":"address","scheme":"http","host":"a","path":"x"})", false, "\"path\""},
        SAddressCase{R"({"id":1,"type":"address","scheme":"http","host":"a","path":"/\r\n"})", false, "\"path\""},
        SAddressCase{R"({"id":1.5,"type":"address"})", false, "\"id\""},
        SAddressCase{R"({"id":1,"type":"navigate"})", false, "unknown"},
        SAddressCase{R"([1])", false, "the message is not an object"}));

// The address of a page as the host checks it, against the engine's walk over the
// whole address: however long the path or query, the verdict is the walk's.
struct SLongAddressCase {
  const char* szName;
  std::string strHost, strPath, strQuery;
  bool bListed;
};

class HostLongAddress : public testing::TestWithParam<SLongAddressCase> {};

// The extension's message for https://HOST PATH?QUERY, decoded.
SHostRequest HttpsAddressRequest(const std::string& strHost, const std::string& strPath, const std::string& strQuery) {
  const std::string strJson = CJsonObjectWriter()
                                  .Add("id", 1LL)
                                  .Add("type", "address")
                                  .Add("scheme", "https")
                                  .Add("host", strHost)
                                  .Add("path", strPath)
                                  .Add("query", strQuery)
                                  .Text();
  const SDecodedRequest decoded = DecodeHostRequest(strJson);
  EXPECT_TRUE(decoded.request.IsOk()) << decoded.request.Result().Text();
  return decoded.request.Value();
}

TEST_P(HostLongAddress, MeetsTheDefinitionsAsTheWholeAddressDoes) {
  const SLongAddressCase& c = GetParam();
  CFakeDefinitionReader reader;
  reader.Set("HostLink", "HLINK1", "bad.example/login")
      .Set("HostLink", "HLINK2", "pay.example/verify?id=7")
      .Set("HostLink", "HLINK3", "deep.example/" + std::string(240, 'd'));
  const CDefinitionMatchers walk(reader);
  const SHostRequest request = HttpsAddressRequest(c.strHost, c.strPath, c.strQuery);
  EXPECT_LE(request.strPath.size(), kMaxCheckedPart) << c.szName;
  EXPECT_LE(request.strQuery.size(), kMaxCheckedPart) << c.szName;
  EXPECT_EQ(c.bListed, walk.IsBadWebAddress({c.strHost, 443, c.strPath, c.strQuery})) << c.szName << ", whole";
  EXPECT_EQ(c.bListed, walk.IsBadWebAddress({request.strHost, 443, request.strPath, request.strQuery}))
      << c.szName << ", as checked";
}

const std::string kLong(20 * 1024, 'x');  // a 20 KB path or query
// "/verify/aaa.../..x": a cut right after ".." must not let normalising again take
// the path back to "/verify".
const std::string kDotsAtTheCut = "/verify/" + std::string(kMaxCheckedPart - 11, 'a') + "/..x";

INSTANTIATE_TEST_SUITE_P(
    Cases, HostLongAddress,
    testing::Values(
        SLongAddressCase{"a listed page with a long query", "bad.example", "/login", "pad=" + kLong, true},
        SLongAddressCase{"a long path below a listed page", "bad.example", "/login/" + kLong, "", true},
        SLongAddressCase{"a long segment continuing it", "bad.example", "/loginx" + kLong, "", false},
        SLongAddressCase{"dot segments of a long path removed first", "bad.example", "/" + kLong + "/%2e%2e/login", "",
                         true},
        SLongAddressCase{"escapes of a long path decoded first", "bad.example", "/%6c%6f%67%69%6e/" + kLong, "", true},
        SLongAddressCase{"a listed page with its query", "pay.example", "/verify", "id=7", true},
        SLongAddressCase{"a long query meets no listed query", "pay.example", "/verify", "id=7" + kLong, false},
        SLongAddressCase{"a long path meets no listed query", "pay.example", "/verify/" + kLong, "id=7", false},
        SLongAddressCase{"a cut that leaves ..", "pay.example", kDotsAtTheCut, "id=7", false},
        SLongAddressCase{"a listed path of 240 bytes", "deep.example", "/" + std::string(240, 'd') + kLong, "", false},
        SLongAddressCase{"below a listed path of 240 bytes", "deep.example", "/" + std::string(240, 'd') + "/" + kLong,
                         "", true}));

TEST(HostLongAddress, PartsUpToTheBoundStayWholeLongerOnesAreCut) {
  for (const std::size_t nLength : {kMaxCheckedPart, kMaxCheckedPart + 1}) {
    const SHostRequest request =
        HttpsAddressRequest("a.example", "/" + std::string(nLength - 1, 'p'), std::string(nLength, 'q'));
    EXPECT_EQ(kMaxCheckedPart, request.strPath.size()) << nLength << " bytes";
    EXPECT_EQ(nLength == kMaxCheckedPart ? nLength : 0u, request.strQuery.size()) << nLength << " bytes";
  }
}

// The texts a request carries arrive whole, each in its own place; a browser name
// that could name a path is dropped.
TEST(HostRequests, MailAndHelloCarryTheirTexts) {
  const SDecodedRequest mail = DecodeHostRequest(R"({"id":3,"type":"mail","html":"<b>h</b>","text":"t\u00e9"})");
  ASSERT_TRUE(mail.request.IsOk()) << mail.request.Result().Text();
  EXPECT_EQ(EHostRequestType::Mail, mail.request.Value().eType);
  EXPECT_EQ("t\xc3\xa9", mail.request.Value().strText);
  EXPECT_EQ("<b>h</b>", mail.request.Value().strHtml);
  for (const auto& [szJson, szBrowser] : {std::pair{R"({"id":4,"type":"hello","browser":"msedge.exe"})", "msedge.exe"},
                                          std::pair{R"({"id":4,"type":"hello","browser":"C:\\x.exe"})", ""}}) {
    const SDecodedRequest hello = DecodeHostRequest(szJson);
    ASSERT_TRUE(hello.request.IsOk()) << hello.request.Result().Text();
    EXPECT_EQ(4, *hello.id);
    EXPECT_EQ(szBrowser, hello.request.Value().strBrowser) << szJson;
  }
}

TEST(HostReplies, ErrorsNameTheRequestWhenItsIdWasRead) {
  SDecodedRequest decoded = DecodeHostRequest(R"({"id":7,"type":"mail","text":"t"})");
  EXPECT_FALSE(decoded.request.IsOk());
  EXPECT_EQ("{\"id\":7,\"error\":\"\\\"html\\\" missing\"}",
            EncodeErrorReply(decoded.id, decoded.request.Result().Text()));
  decoded = DecodeHostRequest("not json");
  EXPECT_FALSE(decoded.request.IsOk());
  EXPECT_EQ(0u, EncodeErrorReply(decoded.id, decoded.request.Result().Text()).find("{\"id\":null,\"error\":"));
}

}  // namespace
