#include "engine/LinkParts.h"

#include <algorithm>

namespace {

constexpr std::string_view kWww = "www.";

}  // namespace

SLinkParts SplitLink(std::string_view link) {
  const std::size_t nScheme = link.find("://");
  if (nScheme != std::string_view::npos && nScheme < link.find_first_of("/?#")) {
    link.remove_prefix(nScheme + 3);
  } else if (link.substr(0, 2) == "//") {
    link.remove_prefix(2);
  }
  const std::size_t nAuthorityEnd = std::min(link.find_first_of("/?#"), link.size());
  std::string_view host = link.substr(0, nAuthorityEnd);
  std::string_view path = link.substr(nAuthorityEnd);

  const std::size_t nAt = host.rfind('@');
  if (nAt != std::string_view::npos) host.remove_prefix(nAt + 1);
  if (!host.empty() && host.front() == '[') {
    const std::size_t nClose = host.find(']');
    if (nClose != std::string_view::npos) host = host.substr(0, nClose + 1);
  } else {
    host = host.substr(0, host.find(':'));
  }
  while (!host.empty() && host.back() == '.') host.remove_suffix(1);
  if (host.substr(0, kWww.size()) == kWww) host.remove_prefix(kWww.size());

  path = path.substr(0, path.find_first_of("?#"));
  while (!path.empty() && path.back() == '/') path.remove_suffix(1);
  return {host, path};
}

bool IsWithinListedLink(const SLinkParts& link, const SLinkParts& listed) {
  if (link.host.empty() || listed.host.empty() || link.host.size() < listed.host.size()) return false;
  const std::size_t nLabel = link.host.size() - listed.host.size();
  if (link.host.substr(nLabel) != listed.host || (nLabel > 0 && link.host[nLabel - 1] != '.')) return false;
  if (listed.path.empty() || link.path.empty()) return true;
  return link.path.substr(0, listed.path.size()) == listed.path &&
         (link.path.size() == listed.path.size() || link.path[listed.path.size()] == '/');
}
