// Case-insensitive equality in the ANSI code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "console/settings/PermissionLists.h"
#include "console/settings/TextCompare.h"

namespace {

// The text of a wide string in the ANSI code page; empty when it has no such text.
std::string Ansi(const wchar_t* wszText) {
  char szText[64];
  BOOL bDefaultUsed = FALSE;
  const int n = ::WideCharToMultiByte(CP_ACP, 0, wszText, -1, szText, sizeof(szText), nullptr,
                                      ::GetACP() == CP_UTF8 ? nullptr : &bDefaultUsed);
  return n > 0 && !bDefaultUsed ? std::string(szText) : std::string();
}

TEST(TextCompare, AsciiLettersFoldOtherCharactersDoNot) {
  EXPECT_TRUE(IsSameTextIgnoringCase("Billing@Example.NET", "billing@example.net"));
  EXPECT_TRUE(IsSameTextIgnoringCase("", ""));
  EXPECT_TRUE(IsSameTextIgnoringCase(nullptr, ""));
  EXPECT_FALSE(IsSameTextIgnoringCase("abc", "abcd"));
  EXPECT_FALSE(IsSameTextIgnoringCase("abc", "abd"));
  EXPECT_FALSE(IsSameTextIgnoringCase("a", ""));
  EXPECT_FALSE(IsSameTextIgnoringCase("80", "8080"));
  // Punctuation counts: two sites that differ by a hyphen or apostrophe are two.
  EXPECT_FALSE(IsSameTextIgnoringCase("paypal.example", "pay-pal.example"));
  EXPECT_FALSE(IsSameTextIgnoringCase("bank's", "banks"));
  EXPECT_FALSE(IsSameTextIgnoringCase("a\x01b", "ab"));
}

TEST(TextCompare, NonAsciiLetterInBothCasesIsEqual) {
  // E with acute accent exists in the usual Western, Central European and
  // multi-byte code pages alike.
  const std::string strUpper = "Caf" + Ansi(L"\u00C9") + ".example";
  const std::string strLower = "caf" + Ansi(L"\u00E9") + ".EXAMPLE";
  ASSERT_NE("Caf.example", strUpper) << "code page " << ::GetACP() << " has no E acute";
  EXPECT_NE(strUpper, strLower);
  EXPECT_TRUE(IsSameTextIgnoringCase(strUpper.c_str(), strLower.c_str())) << "code page " << ::GetACP();
  EXPECT_FALSE(IsSameTextIgnoringCase(strUpper.c_str(), "cafe.example"));

  // The lists find entries through it.
  CWebSiteBlockingList list;
  CWebSiteItem item;
  item.kind = EEntryKind::Url;
  item.strScamSite = strUpper;
  item.strProgram = "browser.exe";
  item.nPort = 80;
  list.AppendEntry(item);
  SWebRequest request;
  request.eKind = EWebKind::Url;
  request.source.strProgram = "BROWSER.exe";
  request.source.nPort = 80;
  request.strUrl = strLower;
  EXPECT_EQ(0, list.FindWebEntry(request));
}

}  // namespace
