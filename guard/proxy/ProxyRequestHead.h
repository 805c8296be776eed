// The request head a client sends to the web proxy: where it ends, what it asks
// for, and the head the origin server receives in its place. Everything here reads outside input, so any
// byte sequence gives a result or a refusal, never more than the bytes given.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "shared/Result.h"

// A head longer than this (blank line included) is refused with 400.
constexpr std::size_t kMaxRequestHeadBytes = 32 * 1024;

enum class EHeadEnd { Complete, NeedMore, TooLong };

// The bytes of the empty lines (CR LF or LF) in front of a request line, which a
// client may send after a body and which are skipped.
std::size_t LeadingEmptyLineBytes(const char* pData, std::size_t nSize);

// Whether the first nSize bytes hold a whole head, ended by an empty line (CR LF
// or a bare LF); on Complete, *pnLength is the head's length with that line.
EHeadEnd FindHeadEnd(const char* pData, std::size_t nSize, std::size_t nMaxBytes, std::size_t* pnLength);

struct SHeaderField {
  std::string strName;
  std::string strValue;
};

struct SProxyRequest {
  std::string strMethod;  // as sent: methods are case-sensitive
  bool bConnect = false;  // a tunnel to strHost:nPort
  std::string strHost;    // lower case; an IPv6 address without its brackets
  unsigned nPort = 80;
  std::string strTarget;  // origin form: "/path?query", never empty
  int nMinorVersion = 1;  // HTTP/1.0 or HTTP/1.1
  bool bKeepAlive = true;
  // The request body: a length, or chunked framing (bChunkedBody).
  unsigned long long nContentLength = 0;
  bool bChunkedBody = false;
  // End-to-end fields in their order, without Host and the hop-by-hop fields.
  std::vector<SHeaderField> fields;
  // The protocol an HTTP/1.1 client asks to switch to ("Connection: Upgrade" with
  // "Upgrade: websocket"); empty when none.
  std::string strUpgrade;
  // Credentials for a proxy further on: this one asks for none, so they can only
  // be meant for the upstream proxy it forwards to.
  std::string strProxyAuthorization;
};

// Parses a complete head. RESULT_INVALID_DATA with a short reason for the 400 page
// when the head is malformed or not a proxy request (absolute "http://" form or
// CONNECT), and when its Connection field names Content-Length, Transfer-Encoding
// or Host.
CResult ParseRequestHead(const std::string& strHead, SProxyRequest* pRequest);

// "host" or "host:port" (port left out when 80), brackets around IPv6 addresses.
std::string HostFieldValue(const SProxyRequest& request);

// The head the origin server receives: origin-form request line in HTTP/1.1, the
// Host field first, the client's end-to-end fields and, for an upgrade, the
// Upgrade field and "Connection: Upgrade"; otherwise no Connection field, so the
// origin's connection stays open for the next request. bToUpstream: the head for an upstream
// proxy, in absolute form and with the client's proxy credentials.
std::string ForwardedHead(const SProxyRequest& request, bool bToUpstream = false);

// The CONNECT head that asks an upstream proxy for the client's tunnel.
std::string UpstreamConnectHead(const SProxyRequest& request);
