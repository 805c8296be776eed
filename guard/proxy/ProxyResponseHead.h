// The origin server's answer as the proxy relays it: how its body is framed, and
// its head with the proxy's own Connection field in place of the origin's.
#pragma once

#include <string>

#include "guard/proxy/ProxyRequestHead.h"

enum class EBodyKind { None, Length, Chunked, UntilClose };

struct SProxyResponse {
  int nStatus = 0;
  EBodyKind body = EBodyKind::None;
  unsigned long long nLength = 0;  // for EBodyKind::Length
  bool bKeepAlive = false;         // the client connection stays open after it
  bool bDechunk = false;           // chunked for an HTTP/1.0 client: pass the data only, then close
  bool bUpgraded = false;          // 101 to the client's upgrade: the connection becomes a tunnel
  bool bOriginKeepsOpen = false;   // the origin's connection serves another request after this answer
  std::string strRelayedHead;
};

// Parses a complete response head to the request. False when the head is
// malformed (the client then gets 502).
bool ParseResponseHead(const std::string& strHead, const SProxyRequest& request, SProxyResponse* pResponse);

// Finds the end of a chunked body in the bytes as they arrive, without changing
// them: chunk sizes, chunk data, the last chunk and its trailer fields.
class CChunkedBody {
 public:
  // How many of the nSize bytes belong to the body (all, until its end);
  // pstrData, when given, receives the chunks' data without their framing.
  std::size_t Consume(const char* pData, std::size_t nSize, std::string* pstrData = nullptr);
  bool IsComplete() const { return m_state == EState::Done; }
  bool IsMalformed() const { return m_state == EState::Malformed; }

 private:
  enum class EState { SizeLine, Data, DataEnd, Trailer, Done, Malformed };
  bool EndSizeLine();
  EState m_state = EState::SizeLine;
  std::string m_strLine;
  unsigned long long m_nLeft = 0;
};
