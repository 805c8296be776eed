// The update manifest: what is taken from it, what is refused, and where its file
// is fetched from.
#include <gtest/gtest.h>

#include <cstring>

#include "updater/UpdateManifest.h"

namespace {

const std::string kSha = "440a0eff30717b55cc79e67ce206ec9308289a22ee35aa68d7065881415d915f";
// r with a leading zero byte (33 bytes), s of 31 bytes.
const std::string kSignature = "3044022100" + std::string(62, 'a') + "bb" + "021f" + std::string(60, 'c') + "dd";

std::string Manifest(const std::string& strFields, const std::string& strEol = "\n") {
  std::string strText = "Hookwarden definitions update 1" + strEol;
  std::size_t nStart = 0;
  while (nStart < strFields.size()) {
    const std::size_t nEnd = strFields.find('|', nStart);
    strText += strFields.substr(nStart, nEnd - nStart) + strEol;
    if (nEnd == std::string::npos) break;
    nStart = nEnd + 1;
  }
  return strText + "signature=" + kSignature + strEol;
}

const std::string kFields =
    "version=12/08/2026|file=hkwdn1.hwd|size=720|sha256=" + kSha + "|expires=2026-12-09T14:00:00Z";

TEST(UpdateManifest, ReadsTheFieldsAndTheSignedPart) {
  for (const char* szEol : {"\n", "\r\n"}) {
    const std::string strText = Manifest(kFields + "|comment=later versions may add keys", szEol);
    const CResultOf<SUpdateManifest> parsed = ParseUpdateManifest(strText);
    ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
    const SUpdateManifest& manifest = parsed.Value();
    EXPECT_EQ(manifest.strVersion, "12/08/2026");
    EXPECT_EQ(manifest.strFile, "hkwdn1.hwd");
    EXPECT_EQ(manifest.cbFile, 720u);
    EXPECT_EQ(manifest.sha256[0], 0x44);
    EXPECT_EQ(manifest.sha256[31], 0x5f);
    EXPECT_EQ(manifest.strSignedPart, strText.substr(0, strText.find("signature=")));
    EXPECT_EQ(manifest.signature[0], 0xaa);
    EXPECT_EQ(manifest.signature[31], 0xbb);
    EXPECT_EQ(manifest.signature[32], 0x00);  // the short s is right-aligned
    EXPECT_EQ(manifest.signature[33], 0xcc);
    EXPECT_EQ(manifest.signature[63], 0xdd);
  }
}

TEST(UpdateManifest, ReadsVersionsOfTheDayExpiryAndDifference) {
  const CResultOf<SUpdateManifest> parsed = ParseUpdateManifest(
      Manifest("version=12/08/2026.17|file=hkwdn1.hwd|size=720|sha256=" + kSha +
               "|expires=2026-12-09T14:00:00Z|difference=d.hwdiff|difference-from=" + std::string(64, '0') +
               "|difference-size=96|difference-sha256=" + kSha));
  ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  const SUpdateManifest& manifest = parsed.Value();
  EXPECT_EQ(manifest.strVersion, "12/08/2026.17");
  EXPECT_EQ(manifest.nExpires, 1796824800);
  EXPECT_EQ(manifest.strDifference, "d.hwdiff");
  EXPECT_EQ(manifest.cbDifference, 96u);
  EXPECT_EQ(manifest.differenceSha256[0], 0x44);
  // Made before differences: none.
  const CResultOf<SUpdateManifest> older = ParseUpdateManifest(Manifest(kFields));
  ASSERT_TRUE(older.IsOk()) << older.Result().Text();
  EXPECT_TRUE(older.Value().strDifference.empty());
}

TEST(UpdateManifest, RefusesWhatIsNotACompleteManifest) {
  const std::string strGood = Manifest(kFields);
  const struct {
    std::string strText;
    const char* szError;
  } cases[] = {
      {"Hookwarden definitions update 2\n" + strGood.substr(strGood.find('\n') + 1),
       "the text is not a Hookwarden definitions update"},
      {strGood.substr(0, strGood.find("signature=")), "the manifest has no signature"},
      {Manifest("version=12/08/2026|file=hkwdn1.hwd|size=720"), "the manifest lacks version, file, size or sha256"},
      {Manifest(kFields + "|size=720"), "\"size\" is given twice"},
      // Made before expiry existed: it would be valid for ever.
      {Manifest("version=12/08/2026|file=hkwdn1.hwd|size=720|sha256=" + kSha),
       "the manifest has no expiry, so it would be valid for ever"},
      {Manifest("version=2026/12/08|file=hkwdn1.hwd|size=720|sha256=" + kSha),
       "the version is neither a date MM/DD/YYYY nor MM/DD/YYYY.N"},
      {Manifest("version=13/08/2026|file=hkwdn1.hwd|size=720|sha256=" + kSha),
       "the version is neither a date MM/DD/YYYY nor MM/DD/YYYY.N"},
      {Manifest("version=12/08/2026|file=../hkwdn1.hwd|size=720|sha256=" + kSha),
       "the file is neither a plain file name nor an http(s) address"},
      {Manifest("version=12/08/2026|file=file://c:/x|size=720|sha256=" + kSha),
       "the file is neither a plain file name nor an http(s) address"},
      {Manifest("version=12/08/2026|file=hkwdn1.hwd|size=721|sha256=" + kSha),
       "the size is not that of a definitions file"},
      {Manifest("version=12/08/2026|file=hkwdn1.hwd|size=999999999999|sha256=" + kSha),
       "the size is not that of a definitions file"},
      {Manifest("version=12/08/2026|file=hkwdn1.hwd|size=-8|sha256=" + kSha), "the size is not a number"},
      {Manifest("version=12/08/2026|file=hkwdn1.hwd|size=720|sha256=" + kSha.substr(2)),
       "the SHA-256 is not 64 hex digits"},
      {Manifest(kFields + "|no equals sign"), "line 7 has no \"=\""},
      {Manifest("version=12/08/2026|file=hkwdn1.hwd|size=720|sha256=" + kSha + "|expires=2026-12-09 14:00:00"),
       "the expiry is not a time YYYY-MM-DDTHH:MM:SSZ"},
      {Manifest(kFields + "|difference=d.hwdiff|difference-size=96|difference-sha256=" + kSha),
       "the manifest names a difference without all of its lines"},
      {Manifest(kFields + "|difference=../d|difference-from=" + kSha + "|difference-size=96|difference-sha256=" + kSha),
       "the difference is neither a plain file name nor an http(s) address"},
      {strGood + "trailing", "the signature is not a DER ECDSA signature in hex"},
      {strGood.substr(0, strGood.size() - 3) + "\n", "the signature is not a DER ECDSA signature in hex"},
      {strGood + std::string(kMaxManifestBytes, ' '), "the manifest is longer than 16 KB"},
  };
  for (const auto& c : cases) {
    const CResultOf<SUpdateManifest> parsed = ParseUpdateManifest(c.strText);
    EXPECT_FALSE(parsed.IsOk()) << c.szError;
    EXPECT_EQ(parsed.Result().Code(), RESULT_INVALID_DATA) << c.szError;
    EXPECT_EQ(parsed.Result().Text(), c.szError);
  }
}

TEST(UpdateManifest, DerSignaturesMustBeExact) {
  unsigned char rs[64];
  const unsigned char good[] = {0x30, 0x06, 0x02, 0x01, 0x01, 0x02, 0x01, 0x02};
  ASSERT_TRUE(DecodeDerSignature(good, sizeof good, rs));
  EXPECT_EQ(rs[31], 1);
  EXPECT_EQ(rs[63], 2);
  const unsigned char wrongLength[] = {0x30, 0x07, 0x02, 0x01, 0x01, 0x02, 0x01, 0x02};
  const unsigned char overrun[] = {0x30, 0x06, 0x02, 0x01, 0x01, 0x02, 0x05, 0x02};
  const unsigned char notInteger[] = {0x30, 0x06, 0x04, 0x01, 0x01, 0x02, 0x01, 0x02};
  EXPECT_FALSE(DecodeDerSignature(wrongLength, sizeof wrongLength, rs));
  EXPECT_FALSE(DecodeDerSignature(overrun, sizeof overrun, rs));
  EXPECT_FALSE(DecodeDerSignature(notInteger, sizeof notInteger, rs));
  unsigned char tooLong[2 + 2 + 34 + 3] = {0x30, 2 + 34 + 3, 0x02, 34, 0x01};
  tooLong[2 + 2 + 34] = 0x02;
  tooLong[2 + 2 + 34 + 1] = 1;
  EXPECT_FALSE(DecodeDerSignature(tooLong, sizeof tooLong, rs));
}

TEST(UpdateManifest, FileAddressesAndVersionDates) {
  EXPECT_EQ(ResolveUpdateFileAddress("https://defs.example.com/hw/update.txt?k=1", "hkwdn1.hwd"),
            "https://defs.example.com/hw/hkwdn1.hwd");
  EXPECT_EQ(ResolveUpdateFileAddress("http://127.0.0.1:8080", "hkwdn1.hwd"), "http://127.0.0.1:8080/hkwdn1.hwd");
  EXPECT_EQ(ResolveUpdateFileAddress("http://a.example/u.txt", "https://cdn.example/f.hwd"),
            "https://cdn.example/f.hwd");
  EXPECT_EQ(ResolveUpdateFileAddress("ftp://a.example/u.txt", "hkwdn1.hwd"), "");

  EXPECT_LT(VersionDateNumber("12/31/2026"), VersionDateNumber("01/01/2027"));
  EXPECT_EQ(VersionDateNumber("12/08/2026"), 20261208);
  for (const char* szBad : {"", "12/08/26", "00/08/2026", "12/32/2026", "1a/08/2026", "12-08-2026"}) {
    EXPECT_EQ(VersionDateNumber(szBad), 0) << szBad;
  }
  // Versions within a day: a date alone comes before its sequences, which count as numbers.
  EXPECT_LT(DefinitionsVersionNumber("12/08/2026"), DefinitionsVersionNumber("12/08/2026.1"));
  EXPECT_LT(DefinitionsVersionNumber("12/08/2026.9"), DefinitionsVersionNumber("12/08/2026.10"));
  EXPECT_LT(DefinitionsVersionNumber("12/08/2026.999"), DefinitionsVersionNumber("12/09/2026"));
  EXPECT_EQ(DefinitionsVersionNumber("12/08/2026.007"), DefinitionsVersionNumber("12/08/2026.7"));
  for (const char* szBad : {"12/08/2026.", "12/08/2026.1000", "12/08/2026 1", "12/08/2026.1a", "13/08/2026.1"}) {
    EXPECT_EQ(DefinitionsVersionNumber(szBad), 0) << szBad;
  }
  EXPECT_EQ(DefinitionsVersionDate("12/08/2026.17"), "12/08/2026");
  EXPECT_EQ(DefinitionsVersionDate("ab/cd/x y"), "ab/cd/x y");
}

}  // namespace
