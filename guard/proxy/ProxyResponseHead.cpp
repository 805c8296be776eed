// Framing of the origin's answer (see ProxyResponseHead.h).
#include "guard/proxy/ProxyResponseHead.h"

#include <vector>

#include "shared/AsciiCase.h"
#include "guard/proxy/HttpFields.h"

namespace {

constexpr std::size_t kMaxChunkLine = 4096;

bool ParseStatusLine(const std::string& strLine, int* pnStatus) {
  // "HTTP/1.x NNN reason"; the reason may be empty.
  if (strLine.size() < 12 || strLine.compare(0, 7, "HTTP/1.") != 0 || strLine[8] != ' ') return false;
  if (strLine.size() > 12 && strLine[12] != ' ') return false;
  int nStatus = 0;
  for (int i = 9; i < 12; ++i) {
    if (strLine[i] < '0' || strLine[i] > '9') return false;
    nStatus = nStatus * 10 + (strLine[i] - '0');
  }
  if (nStatus < 100) return false;
  *pnStatus = nStatus;
  return true;
}

}  // namespace

bool ParseResponseHead(const std::string& strHead, const SProxyRequest& request, SProxyResponse* pResponse) {
  *pResponse = SProxyResponse();
  std::vector<std::string> lines;
  std::vector<SHeaderField> fields;
  if (!SplitHeadLines(strHead, &lines) || lines.empty() || !ParseStatusLine(lines[0], &pResponse->nStatus) ||
      !ParseFieldLines(lines, &fields))
    return false;
  bool bHaveLength = false;
  bool bHaveEncoding = false;
  bool bChunked = false;
  bool bOriginClose = false;
  bool bOriginKeepAlive = false;
  std::vector<SHeaderField> relayed;
  for (const SHeaderField& field : fields) {
    const char* szName = field.strName.c_str();
    if (EqualsIgnoringAsciiCase(szName, "content-length")) {
      unsigned long long nLength = 0;
      if (!ParseDecimal(field.strValue, &nLength) || (bHaveLength && nLength != pResponse->nLength)) return false;
      pResponse->nLength = nLength;
      bHaveLength = true;
    } else if (EqualsIgnoringAsciiCase(szName, "transfer-encoding")) {
      // The codings of all fields form one list; only its last says how the body ends.
      const std::vector<std::string> codings = SplitList(field.strValue);
      bHaveEncoding = true;
      if (!codings.empty()) bChunked = EqualsIgnoringAsciiCase(codings.back().c_str(), "chunked");
    }
    // The origin's connection fields describe its connection to the proxy. The
    // fields they name are relayed all the same: a length or coding named there
    // still frames the answer the client reads.
    if (EqualsIgnoringAsciiCase(szName, "connection") || EqualsIgnoringAsciiCase(szName, "proxy-connection")) {
      for (const std::string& strToken : SplitList(field.strValue)) {
        if (EqualsIgnoringAsciiCase(strToken.c_str(), "close")) bOriginClose = true;
        if (EqualsIgnoringAsciiCase(strToken.c_str(), "keep-alive")) bOriginKeepAlive = true;
      }
      continue;
    }
    if (EqualsIgnoringAsciiCase(szName, "keep-alive")) continue;
    relayed.push_back(field);
  }
  const int nStatus = pResponse->nStatus;
  pResponse->bUpgraded = nStatus == 101 && !request.strUpgrade.empty();
  if (request.strMethod == "HEAD" || nStatus < 200 || nStatus == 204 || nStatus == 304) {
    pResponse->body = EBodyKind::None;
  } else if (bChunked) {
    pResponse->body = EBodyKind::Chunked;  // it wins over a length
  } else if (bHaveEncoding) {
    pResponse->body = EBodyKind::UntilClose;  // another coding last: the close ends it, never a length
  } else if (bHaveLength) {
    pResponse->body = EBodyKind::Length;
  } else {
    pResponse->body = EBodyKind::UntilClose;
  }
  // An HTTP/1.0 client does not know chunks: it gets the data, ended by the close.
  pResponse->bDechunk = pResponse->body == EBodyKind::Chunked && request.nMinorVersion == 0;
  pResponse->bKeepAlive = request.bKeepAlive && pResponse->body != EBodyKind::UntilClose && !pResponse->bDechunk;
  // HTTP/1.1 keeps a connection unless it says close; HTTP/1.0 only when it says keep-alive.
  const bool bOneOne = lines[0].compare(0, 8, "HTTP/1.1") == 0;
  pResponse->bOriginKeepsOpen = (bOneOne ? !bOriginClose : bOriginKeepAlive && !bOriginClose) &&
                                pResponse->body != EBodyKind::UntilClose && !pResponse->bUpgraded;
  std::string strRelayed = lines[0] + "\r\n";
  for (const SHeaderField& field : relayed) {
    const char* szName = field.strName.c_str();
    if (pResponse->bDechunk && EqualsIgnoringAsciiCase(szName, "transfer-encoding")) continue;
    // A length beside a coding is wrong (or a smuggling attempt): the client must
    // not read the body by it.
    if ((pResponse->bDechunk || bHaveEncoding) && EqualsIgnoringAsciiCase(szName, "content-length")) continue;
    strRelayed += field.strName + ": " + field.strValue + "\r\n";
  }
  if (pResponse->bUpgraded) {
    strRelayed += "Connection: Upgrade\r\n\r\n";
  } else {
    strRelayed += pResponse->bKeepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
  }
  pResponse->strRelayedHead = strRelayed;
  return true;
}

bool CChunkedBody::EndSizeLine() {
  // "HEX[;extensions]"; the size is at most 15 hex digits so it cannot overflow.
  std::size_t nDigits = 0;
  unsigned long long nSize = 0;
  while (nDigits < m_strLine.size() && IsHexDigit(m_strLine[nDigits])) {
    nSize = nSize * 16 + static_cast<unsigned>(HexDigitValue(m_strLine[nDigits]));
    if (++nDigits > 15) return false;
  }
  if (nDigits == 0) return false;
  const char cAfter = nDigits < m_strLine.size() ? m_strLine[nDigits] : ';';
  if (cAfter != ';' && cAfter != ' ' && cAfter != '\t') return false;
  m_nLeft = nSize;
  m_state = nSize ? EState::Data : EState::Trailer;
  return true;
}

std::size_t CChunkedBody::Consume(const char* pData, std::size_t nSize, std::string* pstrData) {
  std::size_t i = 0;
  while (i < nSize && m_state != EState::Done && m_state != EState::Malformed) {
    if (m_state == EState::Data) {
      const std::size_t nTake = m_nLeft < nSize - i ? static_cast<std::size_t>(m_nLeft) : nSize - i;
      if (pstrData) pstrData->append(pData + i, nTake);
      i += nTake;
      m_nLeft -= nTake;
      if (m_nLeft == 0) m_state = EState::DataEnd;
      continue;
    }
    const char c = pData[i++];
    if (c != '\n') {
      if (c != '\r') m_strLine += c;
      if (m_strLine.size() > kMaxChunkLine) m_state = EState::Malformed;
      continue;
    }
    // A whole line: a chunk size, the empty line behind chunk data, or a trailer.
    const bool bEmpty = m_strLine.empty();
    if (m_state == EState::SizeLine) {
      if (!EndSizeLine()) m_state = EState::Malformed;
    } else if (m_state == EState::DataEnd) {
      m_state = bEmpty ? EState::SizeLine : EState::Malformed;
    } else if (bEmpty) {
      m_state = EState::Done;
    }
    m_strLine.clear();
  }
  return i;
}
