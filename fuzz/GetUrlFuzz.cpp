// Request heads of any content for the address cutter. The request and the output
// are heap blocks of their exact size, so any read or write past them is caught.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/RequestUrl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  std::unique_ptr<char[]> request(new char[cbData + 1]);
  std::memcpy(request.get(), pData, cbData);
  request[cbData] = 0;
  std::unique_ptr<char[]> url(new char[kRequestUrlSize]);
  std::memset(url.get(), '#', kRequestUrlSize);
  CutRequestUrl(request.get(), url.get());
  // An address fits its buffer with room to spare; the rest of the buffer is clear.
  const std::size_t nLength = std::strlen(url.get());
  if (nLength >= kRequestUrlSize - 1) std::abort();
  for (std::size_t i = nLength; i < kRequestUrlSize; ++i) {
    if (url[i] != 0) std::abort();
  }
  return 0;
}
