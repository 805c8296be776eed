// Fetching one file over HTTP or HTTPS with WinHTTP, bounded in size and time.
#pragma once

#include <cstdint>
#include <string>

// The body of a 200 answer, at most cbMax bytes. False with a reason for an address
// that does not parse, a server that cannot be reached, another status, a body
// longer than cbMax and a download that ends before its announced length.
bool FetchAddress(const std::string& strAddress, std::uint64_t cbMax, std::string& strBody, std::string& strError);
