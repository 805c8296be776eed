// The proxy's own answers (see ProxyPages.h).
#include "guard/proxy/ProxyPages.h"

namespace {

const char* ReasonPhrase(int nStatus) {
  switch (nStatus) {
    case 400:
      return "Bad Request";
    case 403:
      return "Forbidden";
    case 501:
      return "Not Implemented";
    case 502:
      return "Bad Gateway";
    case 503:
      return "Service Unavailable";
    case 504:
      return "Gateway Timeout";
    default:
      return "Error";
  }
}

std::string Response(int nStatus, const std::string& strBody, bool bKeepAlive) {
  return "HTTP/1.1 " + std::to_string(nStatus) + " " + ReasonPhrase(nStatus) +
         "\r\nContent-Type: text/html; charset=us-ascii\r\nContent-Length: " + std::to_string(strBody.size()) +
         "\r\nCache-Control: no-store\r\nConnection: " + (bKeepAlive ? "keep-alive" : "close") + "\r\n\r\n" + strBody;
}

std::string Page(const std::string& strTitle, const std::string& strBody) {
  return "<!DOCTYPE html>\n<html><head><meta charset=\"us-ascii\"><title>" + strTitle +
         "</title></head>\n<body style=\"font-family:sans-serif;margin:2em\">\n<h1>" + strTitle + "</h1>\n" + strBody +
         "\n</body></html>\n";
}

}  // namespace

std::string HtmlEscaped(const std::string& strText) {
  std::string strOut;
  for (char c : strText) {
    switch (c) {
      case '&':
        strOut += "&amp;";
        break;
      case '<':
        strOut += "&lt;";
        break;
      case '>':
        strOut += "&gt;";
        break;
      case '"':
        strOut += "&quot;";
        break;
      case '\'':
        strOut += "&#39;";
        break;
      default:
        strOut += (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e) ? '?' : c;
    }
  }
  return strOut;
}

std::string BlockPageResponse(const std::string& strBlocked, const std::string& strWhy, bool bKeepAlive) {
  const std::string strBody =
      "<p>Hookwarden blocked <strong>" + HtmlEscaped(strBlocked) + "</strong>.</p>\n<p>" + HtmlEscaped(strWhy) + "</p>";
  return Response(403, Page("Blocked phishing web site", strBody), bKeepAlive);
}

std::string ErrorResponse(int nStatus, const std::string& strDetail, bool bKeepAlive) {
  const std::string strTitle = std::to_string(nStatus) + " " + ReasonPhrase(nStatus);
  return Response(nStatus, Page(strTitle, "<p>" + HtmlEscaped(strDetail) + "</p>"), bKeepAlive);
}

std::string OwnPagePath(const std::string& strHead) {
  const std::string strMethod = "GET /";
  if (strHead.compare(0, strMethod.size(), strMethod) != 0) return std::string();
  const std::size_t nEnd = strHead.find(' ', strMethod.size() - 1);
  if (nEnd == std::string::npos ||
      (strHead.compare(nEnd, 9, " HTTP/1.1") != 0 && strHead.compare(nEnd, 9, " HTTP/1.0") != 0))
    return std::string();
  return strHead.substr(strMethod.size() - 1, nEnd - (strMethod.size() - 1));
}
