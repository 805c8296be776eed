// The answers the proxy writes itself: the block page and the error answers.
// Each is a whole response with its length, so the client connection can stay.
#pragma once

#include <string>

// HTTP 403 with a short page naming what was blocked and why, without any outside
// resource.
std::string BlockPageResponse(const std::string& strBlocked, const std::string& strWhy, bool bKeepAlive);

// An error answer such as 400 or 502 with a one-line explanation.
std::string ErrorResponse(int nStatus, const std::string& strDetail, bool bKeepAlive);

// Text made safe to place inside HTML.
std::string HtmlEscaped(const std::string& strText);

// The path of a head that asks the proxy itself for a page ("GET /PATH
// HTTP/1.x", origin form); empty for any other head.
std::string OwnPagePath(const std::string& strHead);
