// Kept origin connections (see OriginPool.h).
#include "guard/proxy/OriginPool.h"

std::unique_ptr<IByteStream> COriginPool::Take(const std::string& strOrigin, std::uint64_t nNowMs) {
  std::vector<SKept> closed;  // closed outside the lock
  std::lock_guard<std::mutex> lock(m_mutex);
  DropExpired(nNowMs, &closed);
  const auto found = m_kept.find(strOrigin);
  if (found == m_kept.end()) return nullptr;
  std::vector<SKept>& kept = found->second;
  std::unique_ptr<IByteStream> pTaken;
  while (!pTaken && !kept.empty()) {
    pTaken = std::move(kept.back().pStream);
    kept.pop_back();
    --m_nCount;
    if (!pTaken->IsQuiet()) closed.push_back({std::move(pTaken), nNowMs});
  }
  if (kept.empty()) m_kept.erase(found);
  return pTaken;
}

void COriginPool::Give(const std::string& strOrigin, std::unique_ptr<IByteStream> pStream, std::uint64_t nNowMs) {
  // Closed outside the lock (declared before it): a close may wait on the network.
  std::vector<SKept> closed;
  std::lock_guard<std::mutex> lock(m_mutex);
  DropExpired(nNowMs, &closed);
  std::vector<SKept>& kept = m_kept[strOrigin];
  if (kept.size() >= kMaxPerOrigin || m_nCount >= kMaxKept) {
    if (kept.empty()) m_kept.erase(strOrigin);
    closed.push_back({std::move(pStream), nNowMs});
    return;
  }
  kept.push_back({std::move(pStream), nNowMs});
  ++m_nCount;
}

std::size_t COriginPool::Count() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_nCount;
}

void COriginPool::DropExpired(std::uint64_t nNowMs, std::vector<SKept>* pClosed) {
  for (auto it = m_kept.begin(); it != m_kept.end();) {
    std::vector<SKept>& kept = it->second;
    // Oldest first: they expire first.
    std::size_t nExpired = 0;
    while (nExpired < kept.size() && nNowMs - kept[nExpired].nSinceMs >= kKeptMs) ++nExpired;
    for (std::size_t i = 0; i < nExpired; ++i) pClosed->push_back(std::move(kept[i]));
    kept.erase(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(nExpired));
    m_nCount -= nExpired;
    it = kept.empty() ? m_kept.erase(it) : std::next(it);
  }
}
