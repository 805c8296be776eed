// Comparison of a socket catalogue entry's protocol name with a provider name.
#pragma once

#include <cstddef>

// Only the low byte of each wide character counts (no code-page conversion), the
// entry's name is cut after 255 characters, and letters A to Z match either case.
// wszProtocol holds nWidth characters at most and need not be terminated.
bool IsSameProviderName(const char16_t* wszProtocol, std::size_t nWidth, const char* szName);
