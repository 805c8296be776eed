// Request-head parsing for the web proxy (see ProxyRequestHead.h).
#include "guard/proxy/ProxyRequestHead.h"

#include <cstring>

#include "shared/AsciiCase.h"
#include "guard/proxy/HttpFields.h"

std::size_t LeadingEmptyLineBytes(const char* pData, std::size_t nSize) {
  std::size_t nSkip = 0;
  for (;;) {
    if (nSkip < nSize && pData[nSkip] == '\n') {
      ++nSkip;
    } else if (nSkip + 1 < nSize && pData[nSkip] == '\r' && pData[nSkip + 1] == '\n') {
      nSkip += 2;
    } else {
      return nSkip;
    }
  }
}

EHeadEnd FindHeadEnd(const char* pData, std::size_t nSize, std::size_t nMaxBytes, std::size_t* pnLength) {
  const std::size_t nScan = nSize < nMaxBytes ? nSize : nMaxBytes;
  for (std::size_t i = 0; i < nScan; ++i) {
    if (pData[i] != '\n') continue;
    // A line feed, then an optional carriage return and a second line feed.
    std::size_t j = i + 1;
    if (j < nScan && pData[j] == '\r') ++j;
    if (j < nScan && pData[j] == '\n') {
      *pnLength = j + 1;
      return EHeadEnd::Complete;
    }
  }
  return nSize >= nMaxBytes ? EHeadEnd::TooLong : EHeadEnd::NeedMore;
}

namespace {

// A head the proxy does not serve, with the reason for the 400 page.
CResult Malformed(const char* szReason) {
  return CResult(RESULT_INVALID_DATA, szReason);
}

// "host[:port]" of an absolute URL or a CONNECT target; bPortRequired for CONNECT.
bool ParseAuthority(const std::string& strAuthority, bool bPortRequired, SProxyRequest* pRequest) {
  if (strAuthority.empty() || strAuthority.find('@') != std::string::npos) return false;
  std::string strHost;
  std::string strPort;
  if (strAuthority[0] == '[') {
    const std::size_t nClose = strAuthority.find(']');
    if (nClose == std::string::npos || nClose < 2) return false;
    strHost = strAuthority.substr(1, nClose - 1);
    for (char c : strHost) {
      if (!IsHexDigit(c) && c != ':' && c != '.') return false;
    }
    const std::string strRest = strAuthority.substr(nClose + 1);
    if (!strRest.empty() && (strRest[0] != ':' || strRest.size() == 1)) return false;
    if (!strRest.empty()) strPort = strRest.substr(1);
  } else {
    const std::size_t nColon = strAuthority.find(':');
    strHost = strAuthority.substr(0, nColon);
    if (nColon != std::string::npos) {
      strPort = strAuthority.substr(nColon + 1);
      if (strPort.empty()) return false;
    }
    // A name of dots only would be checked as no name at all.
    if (strHost.find_first_not_of('.') == std::string::npos || strHost.size() > 253) return false;
    for (char c : strHost) {
      if (!IsHostNameChar(c)) return false;
    }
  }
  if (strPort.empty()) {
    if (bPortRequired) return false;
  } else if (!ParsePort(strPort, &pRequest->nPort)) {
    return false;
  }
  for (char& c : strHost) c = LowerAsciiChar(c);
  pRequest->strHost = strHost;
  return true;
}

// "http://authority/path?query" with the scheme in any case; the fragment goes.
bool ParseAbsoluteTarget(const std::string& strTarget, SProxyRequest* pRequest) {
  static const char kScheme[] = "http://";
  const std::size_t nScheme = sizeof(kScheme) - 1;
  if (strTarget.size() <= nScheme || !EqualsIgnoringAsciiCase(strTarget.c_str(), kScheme, nScheme)) return false;
  const std::size_t nPathStart = strTarget.find_first_of("/?#", nScheme);
  if (!ParseAuthority(strTarget.substr(nScheme, nPathStart - nScheme), false, pRequest)) return false;
  std::string strPath = nPathStart == std::string::npos ? std::string() : strTarget.substr(nPathStart);
  strPath = strPath.substr(0, strPath.find('#'));
  if (strPath.empty() || strPath[0] != '/') strPath.insert(0, "/");
  pRequest->strTarget = strPath;
  return true;
}

CResult ParseRequestLine(const std::string& strLine, SProxyRequest* pRequest) {
  const std::size_t nFirst = strLine.find(' ');
  const std::size_t nSecond = nFirst == std::string::npos ? nFirst : strLine.find(' ', nFirst + 1);
  if (nSecond == std::string::npos || strLine.find(' ', nSecond + 1) != std::string::npos)
    return Malformed("The request line is not \"METHOD TARGET VERSION\".");
  pRequest->strMethod = strLine.substr(0, nFirst);
  const std::string strTarget = strLine.substr(nFirst + 1, nSecond - nFirst - 1);
  const std::string strVersion = strLine.substr(nSecond + 1);
  if (!IsToken(pRequest->strMethod)) return Malformed("The method is not a token.");
  if (strVersion == "HTTP/1.1") {
    pRequest->nMinorVersion = 1;
  } else if (strVersion == "HTTP/1.0") {
    pRequest->nMinorVersion = 0;
  } else {
    return Malformed("Only HTTP/1.0 and HTTP/1.1 are served.");
  }
  for (char c : strTarget) {
    if (!IsVisibleChar(c)) return Malformed("The request target holds a character that is not allowed.");
  }
  pRequest->bConnect = pRequest->strMethod == "CONNECT";
  if (pRequest->bConnect) {
    pRequest->strTarget = "/";
    if (!ParseAuthority(strTarget, true, pRequest)) return Malformed("CONNECT needs a target HOST:PORT.");
    return CResult();
  }
  if (!ParseAbsoluteTarget(strTarget, pRequest))
    return Malformed("A proxy request names its host: GET http://HOST/PATH HTTP/1.1.");
  return CResult();
}

// The fields that concern only this connection, and those that the Connection
// field names: they are not passed on.
bool IsHopByHop(const std::string& strName, const std::vector<std::string>& connectionTokens) {
  static const char* const kHopByHop[] = {
      "connection", "proxy-connection",  "keep-alive", "proxy-authorization", "proxy-authenticate", "te",
      "upgrade",    "transfer-encoding", "host"};
  for (const char* szName : kHopByHop) {
    if (EqualsIgnoringAsciiCase(strName.c_str(), szName)) return true;
  }
  for (const std::string& strToken : connectionTokens) {
    if (EqualsIgnoringAsciiCase(strName.c_str(), strToken.c_str())) return true;
  }
  return false;
}

// A field that frames the body or names the host: the proxy reads it, so it
// concerns the whole message and cannot be the connection's alone. Removed as
// hop-by-hop, the origin would frame the body otherwise than the proxy relays it.
bool IsFramingField(const std::string& strName) {
  static const char* const kFraming[] = {"content-length", "transfer-encoding", "host"};
  for (const char* szName : kFraming) {
    if (EqualsIgnoringAsciiCase(strName.c_str(), szName)) return true;
  }
  return false;
}

}  // namespace

CResult ParseRequestHead(const std::string& strHead, SProxyRequest* pRequest) {
  *pRequest = SProxyRequest();
  std::vector<std::string> lines;
  if (!SplitHeadLines(strHead, &lines) || lines.empty())
    return Malformed("The request head holds a stray control character.");
  const CResult line = ParseRequestLine(lines[0], pRequest);
  if (!line.IsOk()) return line;

  std::vector<SHeaderField> fields;
  if (!ParseFieldLines(lines, &fields)) return Malformed("A header line is not \"Name: value\".");
  std::vector<std::string> connectionTokens;
  bool bClose = false;
  bool bKeepAliveAsked = false;
  bool bUpgradeAsked = false;
  bool bHaveLength = false;
  bool bHaveEncoding = false;
  for (const SHeaderField& field : fields) {
    const char* szName = field.strName.c_str();
    if (EqualsIgnoringAsciiCase(szName, "connection") || EqualsIgnoringAsciiCase(szName, "proxy-connection")) {
      for (const std::string& strToken : SplitList(field.strValue)) {
        if (EqualsIgnoringAsciiCase(strToken.c_str(), "close")) bClose = true;
        if (EqualsIgnoringAsciiCase(strToken.c_str(), "keep-alive")) bKeepAliveAsked = true;
        if (EqualsIgnoringAsciiCase(strToken.c_str(), "upgrade")) bUpgradeAsked = true;
        if (IsFramingField(strToken))
          return Malformed("The Connection field names Content-Length, Transfer-Encoding or Host.");
        connectionTokens.push_back(strToken);
      }
    } else if (EqualsIgnoringAsciiCase(szName, "content-length")) {
      unsigned long long nLength = 0;
      if (!ParseDecimal(field.strValue, &nLength) || (bHaveLength && nLength != pRequest->nContentLength))
        return Malformed("The Content-Length field is not one decimal number.");
      pRequest->nContentLength = nLength;
      bHaveLength = true;
    } else if (EqualsIgnoringAsciiCase(szName, "transfer-encoding")) {
      const std::vector<std::string> codings = SplitList(field.strValue);
      if (bHaveEncoding || codings.size() != 1 || !EqualsIgnoringAsciiCase(codings[0].c_str(), "chunked"))
        return Malformed("Only a chunked request body is served.");
      bHaveEncoding = true;
    } else if (EqualsIgnoringAsciiCase(szName, "upgrade")) {
      pRequest->strUpgrade = field.strValue;
    } else if (EqualsIgnoringAsciiCase(szName, "proxy-authorization")) {
      pRequest->strProxyAuthorization = field.strValue;
    }
  }
  // Only HTTP/1.1 knows upgrades, and only one the Connection field names.
  if (!bUpgradeAsked || pRequest->nMinorVersion != 1 || pRequest->bConnect) pRequest->strUpgrade.clear();
  // Both framings at once is how requests are smuggled past a proxy.
  if (bHaveLength && bHaveEncoding) return Malformed("Content-Length and Transfer-Encoding together.");
  pRequest->bChunkedBody = bHaveEncoding;
  pRequest->bKeepAlive = pRequest->nMinorVersion == 1 ? !bClose : (bKeepAliveAsked && !bClose);
  for (SHeaderField& field : fields) {
    if (!IsHopByHop(field.strName, connectionTokens)) pRequest->fields.push_back(std::move(field));
  }
  return CResult();
}

std::string HostFieldValue(const SProxyRequest& request) {
  std::string strHost = request.strHost.find(':') != std::string::npos ? "[" + request.strHost + "]" : request.strHost;
  if (request.nPort != 80) strHost += ":" + std::to_string(request.nPort);
  return strHost;
}

std::string ForwardedHead(const SProxyRequest& request, bool bToUpstream) {
  const std::string strHost = HostFieldValue(request);
  const std::string strTarget = bToUpstream ? "http://" + strHost + request.strTarget : request.strTarget;
  std::string strHead = request.strMethod + " " + strTarget + " HTTP/1.1\r\nHost: " + strHost + "\r\n";
  for (const SHeaderField& field : request.fields) strHead += field.strName + ": " + field.strValue + "\r\n";
  if (request.bChunkedBody) strHead += "Transfer-Encoding: chunked\r\n";
  if (bToUpstream && !request.strProxyAuthorization.empty())
    strHead += "Proxy-Authorization: " + request.strProxyAuthorization + "\r\n";
  // The origin's connection stays open for the next request (HTTP/1.1's default).
  if (!request.strUpgrade.empty()) strHead += "Upgrade: " + request.strUpgrade + "\r\nConnection: Upgrade\r\n";
  return strHead + "\r\n";
}

std::string UpstreamConnectHead(const SProxyRequest& request) {
  const std::string strTarget = HostFieldValue(request) + (request.nPort == 80 ? ":80" : "");
  std::string strHead = "CONNECT " + strTarget + " HTTP/1.1\r\nHost: " + strTarget + "\r\n";
  if (!request.strProxyAuthorization.empty())
    strHead += "Proxy-Authorization: " + request.strProxyAuthorization + "\r\n";
  return strHead + "\r\n";
}
