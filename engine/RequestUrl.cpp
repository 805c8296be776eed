#include "engine/RequestUrl.h"

#include <cstring>

#include "shared/AsciiCase.h"

namespace {

constexpr std::size_t kMaxPartChars = 260;
constexpr char kHostToken[] = "host: ";
constexpr char kMethodToken[] = "get ";
constexpr char kVersionToken[] = " http/1.1";
constexpr char kWwwPrefix[] = "www.";

// Resources that are never checked: the extension is the four characters from
// the first "." behind the last "/", so ".jpeg" reads ".jpe" and ".js" only
// counts at the very end of the path.
constexpr const char* kSkippedExtensions[] = {".jpg", ".gif", ".jpe", ".css", ".wav", ".xml", ".js"};

struct CTextPart {
  const char* pBegin = nullptr;
  std::size_t nLength = 0;
};

// The host: behind the first "host: " up to the character in front of the next
// "\n" (which is taken to be the carriage return of the line end).
bool FindHost(const char* szRequest, CTextPart& host) {
  const char* pToken = std::strstr(szRequest, kHostToken);
  if (!pToken) return false;
  const char* pBegin = pToken + sizeof(kHostToken) - 1;
  const char* pLineEnd = std::strchr(pBegin, '\n');
  if (!pLineEnd || pLineEnd == pBegin) return false;
  host.pBegin = pBegin;
  host.nLength = static_cast<std::size_t>(pLineEnd - pBegin) - 1;
  // An empty host line names no site; the path alone would pass for an address.
  return host.nLength > 0 && host.nLength <= kMaxPartChars;
}

// The path: between the first "get " and the first " http/1.1" behind it.
bool FindPath(const char* szRequest, CTextPart& path) {
  const char* pToken = std::strstr(szRequest, kMethodToken);
  if (!pToken) return false;
  const char* pBegin = pToken + sizeof(kMethodToken) - 1;
  const char* pEnd = std::strstr(pBegin, kVersionToken);
  if (!pEnd) return false;
  path.pBegin = pBegin;
  path.nLength = static_cast<std::size_t>(pEnd - pBegin);
  return path.nLength <= kMaxPartChars;
}

bool IsSkippedResource(const CTextPart& path) {
  const char* pLastSlash = nullptr;
  for (std::size_t i = 0; i < path.nLength; ++i) {
    if (path.pBegin[i] == '/') pLastSlash = path.pBegin + i;
  }
  const char* pPathEnd = path.pBegin + path.nLength;
  const char* pDot =
      static_cast<const char*>(std::memchr(pLastSlash, '.', static_cast<std::size_t>(pPathEnd - pLastSlash)));
  if (!pDot) return false;
  char szExtension[5] = {};
  const std::size_t nAvailable = static_cast<std::size_t>(pPathEnd - pDot);
  std::memcpy(szExtension, pDot, nAvailable < 4 ? nAvailable : 4);
  for (const char* szSkipped : kSkippedExtensions) {
    if (EqualsIgnoringAsciiCase(szExtension, szSkipped)) return true;
  }
  return false;
}

bool HasSlash(const CTextPart& path) {
  return std::memchr(path.pBegin, '/', path.nLength) != nullptr;
}

// Writes host and path (nLength of each) to szUrl without a leading "www.".
void WriteAddress(char* szUrl, const CTextPart& host, const CTextPart& path) {
  std::memcpy(szUrl, host.pBegin, host.nLength);
  std::memcpy(szUrl + host.nLength, path.pBegin, path.nLength);
  const std::size_t nLength = host.nLength + path.nLength;
  szUrl[nLength] = 0;
  const std::size_t nPrefix = sizeof(kWwwPrefix) - 1;
  if (nLength >= nPrefix && std::memcmp(szUrl, kWwwPrefix, nPrefix) == 0) {
    std::memmove(szUrl, szUrl + nPrefix, nLength - nPrefix);
    std::memset(szUrl + nLength - nPrefix, 0, nPrefix);  // the buffer stays clear behind the text
  }
}

}  // namespace

void CutRequestUrl(const char* szRequest, char* szUrl) {
  if (!szUrl) return;
  std::memset(szUrl, 0, kRequestUrlSize);
  if (!szRequest) return;
  CTextPart host;
  CTextPart path;
  if (!FindHost(szRequest, host) || !FindPath(szRequest, path)) return;

  // The site itself: the host alone, no query or extension to look at.
  if (path.nLength == 1 && path.pBegin[0] == '/') {
    if (host.nLength < kMaxPartChars) WriteAddress(szUrl, host, CTextPart{path.pBegin, 0});
    return;
  }
  if (!HasSlash(path) || IsSkippedResource(path)) return;
  if (host.nLength + path.nLength >= kMaxPartChars) return;
  WriteAddress(szUrl, host, path);
  if (char* pQuery = std::strchr(szUrl, '?')) std::memset(pQuery, 0, std::strlen(pQuery));
}
