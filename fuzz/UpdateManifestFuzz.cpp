// The update manifest reader on any bytes: it answers, and a manifest it takes has
// a signed part that is a prefix of the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "updater/UpdateManifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strText(reinterpret_cast<const char*>(pData), cbData);
  const CResultOf<SUpdateManifest> parsed = ParseUpdateManifest(strText);
  if (!parsed.IsOk() && (parsed.Result().Code() != RESULT_INVALID_DATA || parsed.Result().Text().empty())) std::abort();
  if (parsed.IsOk()) {
    const SUpdateManifest& manifest = parsed.Value();
    if (strText.compare(0, manifest.strSignedPart.size(), manifest.strSignedPart) != 0) std::abort();
    if (ResolveUpdateFileAddress("http://u.example/a/update.txt", manifest.strFile).empty()) std::abort();
  }
  return 0;
}
