// Native-messaging frames (see HostFraming.h).
#include "browser/host/HostFraming.h"

bool CFrameReader::ReadExactly(void* pBuffer, std::size_t cb) {
  auto* p = static_cast<unsigned char*>(pBuffer);
  while (cb > 0) {
    const std::size_t nRead = m_input.Read(p, cb);
    if (nRead == 0 || nRead > cb) return false;
    p += nRead;
    cb -= nRead;
  }
  return true;
}

EFrameRead CFrameReader::Next(std::string* pstrFrame) {
  pstrFrame->clear();
  unsigned char abLength[4];
  const std::size_t nFirst = m_input.Read(abLength, sizeof(abLength));
  if (nFirst == 0) return EFrameRead::End;
  if (nFirst > sizeof(abLength)) return EFrameRead::Truncated;
  if (!ReadExactly(abLength + nFirst, sizeof(abLength) - nFirst)) return EFrameRead::Truncated;
  const std::uint32_t cbFrame = static_cast<std::uint32_t>(abLength[0]) | static_cast<std::uint32_t>(abLength[1]) << 8 |
                                static_cast<std::uint32_t>(abLength[2]) << 16 |
                                static_cast<std::uint32_t>(abLength[3]) << 24;
  if (cbFrame > m_cbMaxFrame) {
    // Skip its bytes so that the next frame starts where it should.
    unsigned char abSkip[4096];
    for (std::uint32_t cbLeft = cbFrame; cbLeft > 0;) {
      const std::size_t cbChunk = cbLeft < sizeof(abSkip) ? cbLeft : sizeof(abSkip);
      if (!ReadExactly(abSkip, cbChunk)) return EFrameRead::Truncated;
      cbLeft -= static_cast<std::uint32_t>(cbChunk);
    }
    return EFrameRead::TooLong;
  }
  pstrFrame->resize(cbFrame);
  if (cbFrame > 0 && !ReadExactly(&(*pstrFrame)[0], cbFrame)) {
    pstrFrame->clear();
    return EFrameRead::Truncated;
  }
  return EFrameRead::Frame;
}

CResultOf<std::string> EncodeFrame(const std::string& strJson) {
  if (strJson.size() > kMaxFrameOut) return CResult(RESULT_INVALID_PARAMETER, "the answer is too long");
  const auto cb = static_cast<std::uint32_t>(strJson.size());
  std::string strFrame;
  strFrame.reserve(4 + strJson.size());
  for (int i = 0; i < 4; ++i) strFrame += static_cast<char>((cb >> (8 * i)) & 0xFF);
  return strFrame + strJson;
}
