// Fetching one file over HTTP or HTTPS with WinHTTP, bounded in size and time.
#pragma once

#include <cstdint>
#include <string>

#include "shared/PieceLines.h"
#include "shared/Result.h"

// The body of a 200 answer, at most cbMax bytes. The failure's text says why for
// an address that does not parse (ERROR_INVALID_PARAMETER), a server that cannot
// be reached (WinHTTP's code), another status (ERROR_BAD_NET_RESP), a body longer
// than cbMax (ERROR_FILE_TOO_LARGE) and a download that ends before its announced
// length (ERROR_HANDLE_EOF).
CResultOf<std::string> FetchAddress(const std::string& strAddress, std::uint64_t cbMax);

// The same handed to body in pieces as it arrives, for files too large to hold:
// body's first failure stops the download and is the answer.
CResult FetchAddressInPieces(const std::string& strAddress, std::uint64_t cbMax, const PieceSink& body);
