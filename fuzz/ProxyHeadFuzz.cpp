// Bytes of any kind as a client's request head and as an origin's answer to the
// web proxy, and as the kernel's socket table the guard reads under Wine. Beyond
// not crashing: the head passed on is one well-formed head (no field or second
// request smuggled in by line breaks) that frames the body as the proxy relays it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "guard/proxy/HttpFields.h"
#include "guard/proxy/ProxyRequestHead.h"
#include "guard/proxy/ProxyResponseHead.h"
#include "guard/proxy/UnixSocketUsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strBytes(reinterpret_cast<const char*>(pData), cbData);
  std::size_t nLength = 0;
  if (FindHeadEnd(strBytes.data(), strBytes.size(), kMaxRequestHeadBytes, &nLength) == EHeadEnd::Complete) {
    if (nLength == 0 || nLength > strBytes.size()) std::abort();
    const std::string strHead = strBytes.substr(0, nLength);
    SProxyRequest request;
    const CResult parsed = ParseRequestHead(strHead, &request);
    if (parsed.IsOk()) {
      const std::string strForwarded = ForwardedHead(request);
      std::size_t nForwarded = 0;
      if (FindHeadEnd(strForwarded.data(), strForwarded.size(), strForwarded.size() + 1, &nForwarded) !=
              EHeadEnd::Complete ||
          nForwarded != strForwarded.size())
        std::abort();
      std::vector<std::string> lines;
      std::vector<SHeaderField> fields;
      if (!SplitHeadLines(strForwarded, &lines) || !ParseFieldLines(lines, &fields) ||
          fields.size() !=
              request.fields.size() + 1 + (request.bChunkedBody ? 1 : 0) + (request.strUpgrade.empty() ? 0 : 2))
        std::abort();
      // Read again as the next proxy on would read it: the same body.
      SProxyRequest next;
      if (!request.bConnect &&
          (!ParseRequestHead(ForwardedHead(request, true), &next).IsOk() ||
           next.nContentLength != request.nContentLength || next.bChunkedBody != request.bChunkedBody))
        std::abort();
    } else if (parsed.Text().empty()) {
      std::abort();
    }
    SProxyResponse response;
    if (ParseResponseHead(strHead, SProxyRequest(), &response) && response.strRelayedHead.size() < 2) std::abort();
  }
  IsSameUnixUserAtBothEnds(strBytes, {0x0100007F, 0xC00C}, {0x0100007F, 0x1FB6});
  // The data of a chunked body is never more than the bytes it came in.
  CChunkedBody chunked;
  std::string strData;
  if (chunked.Consume(strBytes.data(), strBytes.size(), &strData) > strBytes.size() || strData.size() > strBytes.size())
    std::abort();
  return 0;
}
