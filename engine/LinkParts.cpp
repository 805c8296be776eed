#include "engine/LinkParts.h"

namespace {

constexpr std::string_view kWww = "www.";

bool IsHostWithin(std::string_view host, std::string_view listed) {
  if (host.size() < listed.size()) return false;
  const std::size_t nLabel = host.size() - listed.size();
  return host.substr(nLabel) == listed && (nLabel == 0 || host[nLabel - 1] == '.');
}

}  // namespace

SLinkParts PartsOf(const SWebAddress& compared) {
  std::string_view host = compared.strHost;
  if (host.substr(0, kWww.size()) == kWww) host.remove_prefix(kWww.size());
  std::string_view path = compared.strPath;
  while (!path.empty() && path.back() == '/') path.remove_suffix(1);
  return {host, path, compared.strQuery};
}

bool IsWithinListedLink(const SLinkParts& link, const SLinkParts& listed) {
  if (link.host.empty() || listed.host.empty()) return false;
  if (!listed.query.empty()) {
    return link.host == listed.host && link.path == listed.path && link.query == listed.query;
  }
  if (!IsHostWithin(link.host, listed.host)) return false;
  if (listed.path.empty()) return true;
  if (link.path.empty()) return false;
  return link.path.substr(0, listed.path.size()) == listed.path &&
         (link.path.size() == listed.path.size() || link.path[listed.path.size()] == '/');
}
