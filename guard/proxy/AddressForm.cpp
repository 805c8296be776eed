// The normal form of checked addresses (see AddressForm.h).
#include "guard/proxy/AddressForm.h"

#include <vector>

#include "shared/AsciiCase.h"

namespace {

bool IsUnreserved(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

std::string DecodedUnreserved(const std::string& strPath) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string strOut;
  strOut.reserve(strPath.size());
  for (std::size_t i = 0; i < strPath.size(); ++i) {
    const int nHigh = strPath[i] == '%' && i + 2 < strPath.size() ? HexDigitValue(strPath[i + 1]) : -1;
    const int nLow = nHigh >= 0 ? HexDigitValue(strPath[i + 2]) : -1;
    if (nLow < 0) {
      strOut += strPath[i];
      continue;
    }
    const char cDecoded = static_cast<char>(nHigh * 16 + nLow);
    if (IsUnreserved(cDecoded)) {
      strOut += cDecoded;
    } else {
      strOut += '%';
      strOut += kHex[nHigh];
      strOut += kHex[nLow];
    }
    i += 2;
  }
  return strOut;
}

}  // namespace

std::string NormalHostName(const std::string& strHost) {
  std::string strOut = strHost;
  for (char& c : strOut) c = LowerAsciiChar(c);
  while (!strOut.empty() && strOut.back() == '.') strOut.pop_back();
  return strOut;
}

std::string NormalPath(const std::string& strPath) {
  const std::string strDecoded = DecodedUnreserved(strPath);
  // Segments between slashes; empty ones (a run of "/") are dropped.
  std::vector<std::string> segments;
  bool bEndsInSlash = true;
  std::size_t nStart = 0;
  while (nStart <= strDecoded.size()) {
    std::size_t nSlash = strDecoded.find('/', nStart);
    if (nSlash == std::string::npos) nSlash = strDecoded.size();
    const std::string strSegment = strDecoded.substr(nStart, nSlash - nStart);
    const bool bLast = nSlash == strDecoded.size();
    if (strSegment == "..") {
      if (!segments.empty()) segments.pop_back();
      bEndsInSlash = true;
    } else if (strSegment == ".") {
      bEndsInSlash = true;
    } else if (!strSegment.empty()) {
      segments.push_back(strSegment);
      bEndsInSlash = false;
    } else if (bLast) {
      bEndsInSlash = true;
    }
    nStart = nSlash + 1;
  }
  std::string strOut;
  for (const std::string& strSegment : segments) strOut += "/" + strSegment;
  if (strOut.empty() || bEndsInSlash) strOut += "/";
  return strOut;
}
