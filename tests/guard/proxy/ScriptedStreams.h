// Byte streams and peers for a proxy session that follow a script, for the
// session's tests and its fuzz target: a client's bytes in pieces with pauses, and
// origin servers that each answer one connection with given bytes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "guard/proxy/ProxySession.h"

// The time the scripted streams pass.
struct SScriptClock {
  std::uint64_t nNowMs = 1000;
};

class CScriptedStream : public IByteStream {
 public:
  struct SPiece {
    std::string strBytes;
    unsigned nDelayMs = 0;  // before the piece arrives
    bool bUnasked = false;  // sent by the peer on its own, not as an answer
  };
  CScriptedStream(SScriptClock& clock, std::string* pstrWritten) : m_clock(clock), m_pstrWritten(pstrWritten) {}
  // The bytes in pieces of nPieceBytes (0: one piece), each after nDelayMs.
  void Add(const std::string& strBytes, std::size_t nPieceBytes = 0, unsigned nDelayMs = 0) {
    const std::size_t nStep = nPieceBytes ? nPieceBytes : strBytes.size();
    for (std::size_t i = 0; i < strBytes.size(); i += nStep) m_pieces.push_back({strBytes.substr(i, nStep), nDelayMs});
  }
  // Bytes the peer sends on its own nDelayMs after the stream is next read.
  void AddUnasked(const std::string& strBytes, unsigned nDelayMs) { m_pieces.push_back({strBytes, nDelayMs, true}); }
  int Read(char* pBuffer, std::size_t cbBuffer, unsigned nTimeoutMs) override {
    if (m_pieces.empty()) return 0;  // the peer closed
    SPiece& piece = m_pieces.front();
    if (piece.nDelayMs > nTimeoutMs) {
      m_clock.nNowMs += nTimeoutMs;
      piece.nDelayMs -= nTimeoutMs;
      return kReadTimedOut;
    }
    m_clock.nNowMs += piece.nDelayMs;
    piece.nDelayMs = 0;
    const std::size_t n = cbBuffer < piece.strBytes.size() ? cbBuffer : piece.strBytes.size();
    std::memcpy(pBuffer, piece.strBytes.data(), n);
    piece.strBytes.erase(0, n);
    if (piece.strBytes.empty()) m_pieces.pop_front();
    return static_cast<int>(n);
  }
  bool Write(const char* pData, std::size_t cbData) override {
    if (m_bWriteFails) return false;
    m_pstrWritten->append(pData, cbData);
    return true;
  }
  void CloseSending() override {}
  // Unasked bytes already here are not quiet; the script's close is seen only by
  // a read, as a close just after the look would be.
  bool IsQuiet() override { return m_pieces.empty() || !m_pieces.front().bUnasked || m_pieces.front().nDelayMs > 0; }
  void FailWrites() { m_bWriteFails = true; }

 private:
  SScriptClock& m_clock;
  std::string* m_pstrWritten;
  std::deque<SPiece> m_pieces;
  bool m_bWriteFails = false;
};

// Peers whose checks answer with one route for every request and whose origin
// connections answer in turn with the given bytes.
class CScriptedPeers : public IProxyPeers {
 public:
  explicit CScriptedPeers(SScriptClock& clock) : m_clock(clock) { route.strOrigin = "origin"; }
  SProxyRoute route;
  // One per connection made, in order; "\f" parts it into reads, and a part that
  // begins with "\v" comes after a minute's silence.
  std::vector<std::string> answers;
  std::deque<std::string> received;  // what each connection was sent (a deque: streams point into it)
  std::vector<std::string> routedHosts;

  SProxyRoute Route(const SProxyRequest& request) override {
    routedHosts.push_back(request.strHost);
    return route;
  }
  std::unique_ptr<IByteStream> Connect(const SProxyRoute&) override {
    if (received.size() >= answers.size()) return nullptr;  // nobody answers
    return Stream(answers[received.size()]);
  }
  // A connection with its own record of what it was sent.
  std::unique_ptr<IByteStream> Stream(const std::string& strAnswer) {
    received.emplace_back();
    auto pStream = std::make_unique<CScriptedStream>(m_clock, &received.back());
    for (std::size_t nStart = 0; nStart < strAnswer.size();) {
      const std::size_t nEnd = std::min(strAnswer.find('\f', nStart), strAnswer.size());
      const bool bLate = nEnd > nStart && strAnswer[nStart] == '\v';
      pStream->Add(strAnswer.substr(nStart + (bLate ? 1 : 0), nEnd - nStart - (bLate ? 1 : 0)), 0, bLate ? 60000 : 0);
      nStart = nEnd + 1;
    }
    return pStream;
  }
  bool OwnPage(const std::string& strPath, std::string* pstrType, std::string* pstrBody) override {
    if (strPath != "/own.pac") return false;
    *pstrType = "application/x-ns-proxy-autoconfig";
    *pstrBody = "function FindProxyForURL(u, h) { return \"DIRECT\"; }";
    return true;
  }
  void SetIdle(bool bIdle) override { nIdleChanges += bIdle ? 1 : 0; }
  std::uint64_t NowMs() override { return m_clock.nNowMs; }
  int nIdleChanges = 0;

 private:
  SScriptClock& m_clock;
};
