// The address of a listed web page as the console is shown it and remembers it:
// the URL of request 1126 and so the site of the web list's entry. Every sender
// (the web guard, the browser extension's host) writes it with this one function,
// so that an answer remembered for a page through one of them meets the same
// page through the other.
//
// The key, in the order it is written:
// - the host in the normal form of WebAddress.h, without a leading "www." (as the
//   definitions are compared, and as the web guard has always stored entries);
// - ":port" only for a port other than the scheme's own (80 for http, 443 for
//   https) and other than 0 (none given, or a tunnel, whose key is its host);
// - the path in the normal form, left out when it is the root ("/" or none);
// - "?query" (normal form) only for an address the definitions list with its
//   query but not with the query emptied, such as a listed redirect
//   "google.com/url?q=...": one remembered answer for it then answers for that
//   entry alone, not for every other redirect of the platform. Any other address
//   is keyed without its query, as stored entries have it.
// All in lower case; a "#" that came through raw is written "%23".
//
// The record carries at most 260 bytes. A longer key is cut to its first 227
// bytes and ends in "#" and the first 32 hex digits of the SHA-256 of the whole
// key: two long addresses that share their beginning keep apart, and since no
// other key holds a raw "#", no short key meets a cut one.
#pragma once

#include <cstddef>
#include <string>

#include "engine/WebAddress.h"

constexpr std::size_t kMaxWebAddressKey = 260;

// nSchemePort: 80 or 443; bListedWithoutQuery: whether the definitions list the
// address with its query emptied (true for an address without a query).
std::string WebAddressKey(const SWebAddress& address, unsigned short nSchemePort, bool bListedWithoutQuery);
