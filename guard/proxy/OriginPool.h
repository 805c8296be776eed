// Connections to origin servers and upstream proxies kept open after an answer,
// for the next request to the same one: a new connection costs a round trip (and
// under Wine some milliseconds more). A few per origin, for a short while; any
// thread may give and take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "guard/proxy/ByteStream.h"

class COriginPool {
 public:
  static constexpr std::size_t kMaxPerOrigin = 8;
  static constexpr std::size_t kMaxKept = 256;
  // Servers close kept connections after some seconds of their own; older ones
  // are not worth a failed first write.
  static constexpr std::uint64_t kKeptMs = 4000;

  // A kept connection to strOrigin (most recently kept first) that is still
  // quiet, or null; one its server has spoken on meanwhile is closed.
  std::unique_ptr<IByteStream> Take(const std::string& strOrigin, std::uint64_t nNowMs);
  // Keeps a connection whose last answer ended cleanly; one over the limits is closed.
  void Give(const std::string& strOrigin, std::unique_ptr<IByteStream> pStream, std::uint64_t nNowMs);
  std::size_t Count() const;

 private:
  struct SKept {
    std::unique_ptr<IByteStream> pStream;
    std::uint64_t nSinceMs = 0;
  };
  void DropExpired(std::uint64_t nNowMs, std::vector<SKept>* pClosed);

  mutable std::mutex m_mutex;
  std::map<std::string, std::vector<SKept>> m_kept;
  std::size_t m_nCount = 0;
};
