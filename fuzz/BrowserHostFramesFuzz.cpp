// Any byte stream on the browser host's standard input: frames (a small limit, so
// that long frames are skipped too), each decoded as a request and answered.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "browser/host/HostFraming.h"
#include "browser/host/HostMessages.h"

namespace {

class CBufferInput : public IByteInput {
 public:
  CBufferInput(const uint8_t* pData, std::size_t cbData) : m_pData(pData), m_cbLeft(cbData) {}
  std::size_t Read(void* pBuffer, std::size_t cbMax) override {
    // Odd read sizes, as a pipe gives them.
    std::size_t n = cbMax < m_cbLeft ? cbMax : m_cbLeft;
    if (n > 7) n = 7;
    std::memcpy(pBuffer, m_pData, n);
    m_pData += n;
    m_cbLeft -= n;
    return n;
  }

 private:
  const uint8_t* m_pData;
  std::size_t m_cbLeft;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  CBufferInput input(pData, cbData);
  CFrameReader reader(input, 4096);
  std::string strFrame;
  std::size_t nTotal = 0;
  for (EFrameRead e = reader.Next(&strFrame); e == EFrameRead::Frame || e == EFrameRead::TooLong;
       e = reader.Next(&strFrame)) {
    const SDecodedRequest decoded = DecodeHostRequest(strFrame);
    if (!decoded.request.IsOk()) {
      nTotal += EncodeFrame(EncodeErrorReply(decoded.id, decoded.request.Result().Text())).Value().size();
      continue;
    }
    const SHostRequest& request = decoded.request.Value();
    nTotal += CheckedAddressText(request, true).size() + request.strText.size() + request.strHtml.size();
    nTotal += EncodeFrame(EncodeListedReply(request.nId, EVerdictAnswer::Block, true, false,
                                            request.strHost + request.strPath, request.strBrowser))
                  .Value()
                  .size();
  }
  return nTotal == SIZE_MAX ? 1 : 0;
}
