// How a looked-up link meets a listed link: on the boundaries of host labels and
// path segments only, never as a piece of text, both in the compared form of
// WebAddress.h. The rule:
// - a listed host without path or query ("bad.example") is listed whole: it covers
//   itself and its sub-hosts at a label ("a.bad.example", never "xbad.example"),
//   whatever their path and query;
// - a listed page ("login.example/verify") covers the links of a host it covers
//   whose path is its own or continues it after a "/" ("/verify/next", never
//   "/verifyx"), whatever their query; a link without a path (a tunnel's host, a
//   root page) never meets a listed page, since a shared host must stay reachable;
// - a listed page with a query ("pay.example/login.php?id=7") covers only the link
//   of the same host, path and query.
// Ports are ignored on both sides; a link or entry without a host names nothing.
#pragma once

#include <string_view>

#include "engine/WebAddress.h"

// Views into a compared address: the host without a leading "www.", the path
// without trailing "/" (empty for a root page), the query.
struct SLinkParts {
  std::string_view host;
  std::string_view path;
  std::string_view query;
};

SLinkParts PartsOf(const SWebAddress& compared);

// True when the link lies within the listed one (see above).
bool IsWithinListedLink(const SLinkParts& link, const SLinkParts& listed);
