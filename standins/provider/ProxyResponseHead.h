// The origin server's answer as the proxy relays it: how its body is framed, and
// its head with the proxy's own Connection field in place of the origin's.
#pragma once

#include <string>

enum class EBodyKind { None, Length, Chunked, UntilClose };

struct SProxyResponse {
  int nStatus = 0;
  EBodyKind body = EBodyKind::None;
  unsigned long long nLength = 0;  // for EBodyKind::Length
  bool bKeepAlive = false;         // the client connection stays open after it
  std::string strRelayedHead;
};

// Parses a complete response head. bHeadRequest: the answer to HEAD has no body.
// bClientKeepAlive: the client asked to keep its connection. False when the head
// is malformed (the client then gets 502).
bool ParseResponseHead(const std::string& strHead, bool bHeadRequest, bool bClientKeepAlive, SProxyResponse* pResponse);

// Finds the end of a chunked body in the bytes as they arrive, without changing
// them: chunk sizes, chunk data, the last chunk and its trailer fields.
class CChunkedBody {
 public:
  // How many of the nSize bytes belong to the body (all, until its end).
  std::size_t Consume(const char* pData, std::size_t nSize);
  bool IsComplete() const { return m_state == EState::Done; }
  bool IsMalformed() const { return m_state == EState::Malformed; }

 private:
  enum class EState { SizeLine, Data, DataEnd, Trailer, Done, Malformed };
  bool EndSizeLine();
  EState m_state = EState::SizeLine;
  std::string m_strLine;
  unsigned long long m_nLeft = 0;
};
