#include "engine/WebAddress.h"

#include <cstdint>
#include <vector>

#include "shared/AsciiCase.h"

namespace {

bool IsUnreserved(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

// One pass over the text; true when it decoded anything. A decoded digit or letter
// may complete a new escape ("%%34%31"), hence the caller's repeat.
bool DecodeUnreservedOnce(std::string& strText) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string strOut;
  strOut.reserve(strText.size());
  bool bDecoded = false;
  for (std::size_t i = 0; i < strText.size(); ++i) {
    const int nHigh = strText[i] == '%' && i + 2 < strText.size() ? HexDigitValue(strText[i + 1]) : -1;
    const int nLow = nHigh >= 0 ? HexDigitValue(strText[i + 2]) : -1;
    if (nLow < 0) {
      strOut += strText[i];
      continue;
    }
    const char cDecoded = static_cast<char>(nHigh * 16 + nLow);
    if (IsUnreserved(cDecoded)) {
      strOut += cDecoded;
      bDecoded = true;
    } else {
      strOut += '%';
      strOut += kHex[nHigh];
      strOut += kHex[nLow];
    }
    i += 2;
  }
  strText.swap(strOut);
  return bDecoded;
}

void DecodeUnreserved(std::string& strText) {
  if (strText.find('%') == std::string::npos) return;  // most addresses: nothing to copy
  // Each pass that decodes shortens the text, so this ends.
  while (DecodeUnreservedOnce(strText)) {
  }
}

// Begins with "/" and holds no empty, "." or ".." segment but perhaps the last
// (a trailing "/"): already in the normal form.
bool IsNormalPath(std::string_view path) {
  if (path.empty() || path[0] != '/') return false;
  for (std::size_t nStart = 1; nStart < path.size();) {
    std::size_t nSlash = path.find('/', nStart);
    if (nSlash == std::string_view::npos) nSlash = path.size();
    const std::string_view segment = path.substr(nStart, nSlash - nStart);
    if (segment.empty() || segment == "." || segment == "..") return false;
    nStart = nSlash + 1;
  }
  return true;
}

void NormalizePath(std::string& strPath) {
  if (IsNormalPath(strPath)) return;
  std::vector<std::string_view> segments;
  bool bEndsInSlash = true;
  const std::string_view path = strPath;
  std::size_t nStart = 0;
  while (nStart <= path.size()) {
    std::size_t nSlash = path.find('/', nStart);
    if (nSlash == std::string_view::npos) nSlash = path.size();
    const std::string_view segment = path.substr(nStart, nSlash - nStart);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
      bEndsInSlash = true;
    } else if (segment == ".") {
      bEndsInSlash = true;
    } else if (!segment.empty()) {
      segments.push_back(segment);
      bEndsInSlash = false;
    } else if (nSlash == path.size()) {
      bEndsInSlash = true;
    }
    nStart = nSlash + 1;
  }
  std::string strOut;
  strOut.reserve(strPath.size() + 1);
  for (const std::string_view segment : segments) {
    strOut += '/';
    strOut += segment;
  }
  if (strOut.empty() || bEndsInSlash) strOut += '/';
  strPath.swap(strOut);
}

// One part of an IPv4 address as the resolver reads it: "0x" hex, "0" octal or
// decimal. False for anything else or a value above nMax.
bool ReadAddressPart(std::string_view part, uint64_t nMax, uint64_t& nValue) {
  unsigned nBase = 10;
  if (part.size() > 2 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
    nBase = 16;
    part.remove_prefix(2);
  } else if (part.size() > 1 && part[0] == '0') {
    nBase = 8;
    part.remove_prefix(1);
  }
  if (part.empty()) return false;
  nValue = 0;
  for (char c : part) {
    const int nDigit = HexDigitValue(c);
    if (nDigit < 0 || static_cast<unsigned>(nDigit) >= nBase || (nBase == 10 && (c < '0' || c > '9'))) return false;
    nValue = nValue * nBase + static_cast<unsigned>(nDigit);
    if (nValue > nMax) return false;
  }
  return true;
}

// "a.b.c.d" for a host the resolver reads as an IPv4 address; empty otherwise.
std::string DottedIPv4(std::string_view host) {
  std::string_view parts[4];
  std::size_t nParts = 0;
  for (std::size_t nStart = 0;;) {
    const std::size_t nDot = host.find('.', nStart);
    if (nParts == 4) return std::string();
    parts[nParts++] = host.substr(nStart, nDot == std::string_view::npos ? std::string_view::npos : nDot - nStart);
    if (nDot == std::string_view::npos) break;
    nStart = nDot + 1;
  }
  // Every part but the last is one byte; the last fills the bytes left.
  uint32_t nAddress = 0;
  for (std::size_t i = 0; i < nParts; ++i) {
    const bool bLast = i + 1 == nParts;
    const uint64_t nMax = bLast ? (uint64_t{1} << (8 * (4 - i))) - 1 : 255;
    uint64_t nValue = 0;
    if (!ReadAddressPart(parts[i], nMax, nValue)) return std::string();
    nAddress |= bLast ? static_cast<uint32_t>(nValue) : static_cast<uint32_t>(nValue) << (8 * (3 - i));
  }
  return std::to_string(nAddress >> 24) + "." + std::to_string((nAddress >> 16) & 255) + "." +
         std::to_string((nAddress >> 8) & 255) + "." + std::to_string(nAddress & 255);
}

void NormalizeHost(std::string& strHost) {
  DecodeUnreserved(strHost);
  for (char& c : strHost) c = LowerAsciiChar(c);
  while (!strHost.empty() && strHost.back() == '.') strHost.pop_back();
  if (strHost.find(':') != std::string::npos) {
    if (strHost.front() != '[') strHost = "[" + strHost + "]";
    return;
  }
  // Every spelling of an address begins with a digit.
  if (strHost.empty() || strHost[0] < '0' || strHost[0] > '9') return;
  std::string strDotted = DottedIPv4(strHost);
  if (!strDotted.empty()) strHost.swap(strDotted);
}

void NormalizeInPlace(SWebAddress& address) {
  NormalizeHost(address.strHost);
  if (!address.strPath.empty()) {
    if (address.strPath[0] != '/') address.strPath.insert(0, 1, '/');
    DecodeUnreserved(address.strPath);
    NormalizePath(address.strPath);
  }
  DecodeUnreserved(address.strQuery);
}

}  // namespace

SWebAddress NormalizeWebAddress(const SWebAddress& address) {
  SWebAddress normal = address;
  NormalizeInPlace(normal);
  return normal;
}

SWebAddress WebAddressOfLink(std::string_view link) {
  SWebAddress address;
  ReadWebAddressOfLink(link, address);
  return address;
}

void ReadWebAddressOfLink(std::string_view link, SWebAddress& address) {
  const std::size_t nScheme = link.find("://");
  if (nScheme != std::string_view::npos && nScheme < link.find_first_of("/?#")) {
    link.remove_prefix(nScheme + 3);
  } else if (link.substr(0, 2) == "//") {
    link.remove_prefix(2);
  }
  link = link.substr(0, link.find('#'));
  const std::size_t nQuery = link.find('?');
  address.strQuery.assign(nQuery == std::string_view::npos ? std::string_view() : link.substr(nQuery + 1));
  link = link.substr(0, nQuery);
  const std::size_t nPath = link.find('/');
  address.strPath.assign(nPath == std::string_view::npos ? std::string_view() : link.substr(nPath));
  std::string_view host = link.substr(0, nPath);

  const std::size_t nAt = host.rfind('@');
  if (nAt != std::string_view::npos) host.remove_prefix(nAt + 1);
  std::string_view port;
  if (!host.empty() && host.front() == '[') {
    const std::size_t nClose = host.find(']');
    if (nClose != std::string_view::npos) {
      if (host.substr(nClose + 1, 1) == ":") port = host.substr(nClose + 2);
      host = host.substr(0, nClose + 1);
    }
  } else if (const std::size_t nColon = host.find(':'); nColon != std::string_view::npos) {
    port = host.substr(nColon + 1);
    host = host.substr(0, nColon);
  }
  address.strHost.assign(host);
  unsigned nPort = 0;
  for (char c : port) {
    if (c < '0' || c > '9' || (nPort = nPort * 10 + static_cast<unsigned>(c - '0')) > 65535) {
      nPort = 0;
      break;
    }
  }
  address.nPort = static_cast<unsigned short>(nPort);
}

SWebAddress ComparedWebAddress(SWebAddress address) {
  MakeCompared(address);
  return address;
}

void MakeCompared(SWebAddress& address) {
  NormalizeInPlace(address);
  for (char& c : address.strPath) c = LowerAsciiChar(c);
  for (char& c : address.strQuery) c = LowerAsciiChar(c);
}
