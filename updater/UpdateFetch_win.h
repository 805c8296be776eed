// Fetching one file over HTTP or HTTPS with WinHTTP, bounded in size and time.
#pragma once

#include <cstdint>
#include <string>

#include "shared/PieceLines.h"
#include "shared/Result.h"

// The body of a 200 answer, at most cbMax bytes, handed to body in pieces as it
// arrives. A failure with the reason for an address that does not parse, a server
// that cannot be reached, another status, a body longer than cbMax and a download
// that ends before its announced length; or body's own first failure, which stops
// the download.
CResult FetchAddressInPieces(const std::string& strAddress, std::uint64_t cbMax, const PieceSink& body);

// The same, the body kept whole: for the small files.
CResultOf<std::string> FetchAddress(const std::string& strAddress, std::uint64_t cbMax);
