// How a looked-up link meets a listed link: on the boundaries of host labels and
// path segments only, never as a piece of text. A listed host covers itself and
// its sub-hosts ("login.bank.example" covers "a.login.bank.example", never
// "bank.example"); a listed path covers itself and the pages below it ("/verify"
// covers "/verify/next", never "/verifyx").
#pragma once

#include <string_view>

// A lower-cased link cut into the parts that are compared.
struct SLinkParts {
  // Without scheme ("http://"), user ("name@"), port (":8080"), a leading "www."
  // and trailing dots: "[::1]" for an address in brackets.
  std::string_view host;
  // From the first "/" behind the host, without query ("?..."), fragment ("#...")
  // and trailing "/": empty for a link of a host alone or its root page.
  std::string_view path;
};

SLinkParts SplitLink(std::string_view link);

// True when the link lies within the listed one: its host is the listed host or a
// sub-host of it, and its path is the listed path or below it. A listed link
// without a path covers the whole host; a link without a path (a host checked
// alone, as for a tunnel, or the root page) meets every listed link of a host
// that covers it, since what it will fetch is not known. Neither matches when its
// host is empty.
bool IsWithinListedLink(const SLinkParts& link, const SLinkParts& listed);
