// Both texts are read in the ANSI code page, as the Windows string functions read
// them, so multi-byte characters stay whole, and compared letter by letter with
// the system's case mapping. Only case is ignored: unlike a linguistic comparison,
// no character is skipped or equated with another, so two different sites never
// count as one entry.
#include <windows.h>

#include <string>

#include "console/settings/TextCompare.h"
#include "shared/AsciiCase.h"

namespace {

// False when the text is not valid in the code page (a lead byte without its
// trail byte, say): such bytes must not turn into a stand-in character that
// another text could match.
bool WideText(const char* szText, std::wstring* pWide) {
  const int cch = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, szText, -1, nullptr, 0);
  if (cch <= 0) return false;
  pWide->assign(static_cast<std::size_t>(cch), L'\0');
  ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, szText, -1, &(*pWide)[0], cch);
  pWide->resize(static_cast<std::size_t>(cch - 1));
  return true;
}

// The upper-case mapping that the ordinal comparison ignoring case applies to
// each UTF-16 unit.
extern "C" WCHAR NTAPI RtlUpcaseUnicodeChar(WCHAR wc);

}  // namespace

bool IsSameTextIgnoringCase(const char* szFirst, const char* szSecond) {
  if (szFirst == nullptr) szFirst = "";
  if (szSecond == nullptr) szSecond = "";
  std::wstring wstrFirst, wstrSecond;
  if (!WideText(szFirst, &wstrFirst) || !WideText(szSecond, &wstrSecond)) {
    return EqualsIgnoringAsciiCase(szFirst, szSecond);
  }
  if (wstrFirst.size() != wstrSecond.size()) return false;
  if (wstrFirst.empty()) return true;
  return ::CompareStringOrdinal(wstrFirst.c_str(), static_cast<int>(wstrFirst.size()), wstrSecond.c_str(),
                                static_cast<int>(wstrSecond.size()), TRUE) == CSTR_EQUAL;
}

std::string TextCaseKey(const char* szText) {
  if (szText == nullptr) szText = "";
  std::wstring wstrText;
  std::string strKey;
  if (!WideText(szText, &wstrText)) {
    // Texts the code page cannot read compare byte by byte, A to Z folded; the
    // tag keeps them apart from readable ones.
    strKey = std::string("B") + szText;
    for (std::size_t i = 1; i < strKey.size(); ++i) strKey[i] = LowerAsciiChar(strKey[i]);
    return strKey;
  }
  strKey.reserve(1 + 2 * wstrText.size());
  strKey += 'W';
  for (const wchar_t wc : wstrText) {
    const WCHAR wUpper = RtlUpcaseUnicodeChar(static_cast<WCHAR>(wc));
    strKey += static_cast<char>(wUpper & 0xFF);
    strKey += static_cast<char>(wUpper >> 8);
  }
  return strKey;
}
