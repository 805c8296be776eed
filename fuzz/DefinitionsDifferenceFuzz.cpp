// The difference reader on any bytes, and what it takes applied to a small working
// text: both answer, what was read writes back to as many sections, an applied
// difference gives whole lines, and applied to the text in pieces it gives the same
// text or the same reason. The same bytes also go through the check of
// decrypted definitions, which reads a shipped file's decrypted text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "definitions/ShippedDefinitionsText.h"
#include "definitions/Scrambling.h"
#include "definitions/DefinitionsDifference.h"

namespace {

std::string Line(const std::string& strKey, const std::string& strValue) {
  return ScrambleString(strKey) + "=" + ScrambleString(strValue) + "\r\n";
}

const std::string& Working() {
  static const std::string strWorking = "[" + ScrambleString("HostIP") + "]\r\n" + Line("IP1", "192.0.2.1") +
                                        Line("IP2", "192.0.2.2") + "\r\n[" + ScrambleString("Link") + "]\r\n" +
                                        Line("CLINK1", "http://a.example/") + Line("VLINK1", "http://b.example/") +
                                        "\r\n[" + ScrambleString("Text") + "]\r\n\r\n     ";
  return strWorking;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strText(reinterpret_cast<const char*>(pData), cbData);
  static_cast<void>(IsDefinitionsText(pData, cbData));
  const CResultOf<SDefinitionsDifference> parsed = ParseDefinitionsDifference(strText);
  if (!parsed.IsOk()) return 0;
  const SDefinitionsDifference& difference = parsed.Value();
  // What was read is written back to the same steps.
  const CResultOf<SDefinitionsDifference> again = ParseDefinitionsDifference(WriteDefinitionsDifference(difference));
  if (!again.IsOk() || again.Value().sections.size() != difference.sections.size()) std::abort();
  const CResultOf<std::string> applied = ApplyDefinitionsDifference(Working(), difference);
  const bool bApplied = applied.IsOk();
  const std::string& strNew = applied.Value();
  if (bApplied && (strNew.size() < 2 || strNew.compare(strNew.size() - 2, 2, "\r\n") != 0)) std::abort();
  std::string strInPieces;
  CDifferenceApplier applier(difference, [&strInPieces](std::string_view piece) {
    strInPieces.append(piece);
    return CResult();
  });
  const std::size_t nPiece = 1 + cbData % 11;
  CResult result;
  for (std::size_t at = 0; at < Working().size() && result.IsOk(); at += nPiece) {
    result = applier.Add(std::string_view(Working()).substr(at, nPiece));
  }
  result = applier.Finish();
  if (result.IsOk() != bApplied || (bApplied ? strInPieces != strNew : result.Text() != applied.Result().Text()))
    std::abort();
  return 0;
}
