// Cutting the address of a web request (host and path, without a leading "www."
// and without the query) out of the head of an HTTP/1.1 request.
#pragma once

#include <cstddef>

// The output buffer of CutRequestUrl holds this many bytes (260 characters).
constexpr std::size_t kRequestUrlSize = 261;

// szRequest is the zero-terminated request head, with the lower-case tokens
// "get ", " http/1.1" and "host: ". szUrl (kRequestUrlSize bytes) receives the
// address, or empty text when the request names none: no host line, another
// method or protocol version, an over-long host or path, or an image, style,
// sound, XML or script resource.
void CutRequestUrl(const char* szRequest, char* szUrl);
