// The sample definitions file the build ships, decrypted as the console does at
// start, read through the engine library's lookups.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "definitions/BlowfishCipher.h"
#include "engine/LSPGlobals.h"
#include "shared/OwnedResources_win.h"
#include "standins/defstool/ShippedDefinitions.h"
#include "support/ChildProcess_win.h"
#include "support/TempFolder_win.h"

namespace {

std::string ReadFileBytes(const std::string& strPath) {
  CFClose file(std::fopen(strPath.c_str(), "rb"));
  std::string strData;
  if (!file) return strData;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.Get())) > 0;) strData.append(buffer, n);
  return strData;
}

TEST(ShippedSample, DecryptsIntoAWorkingFileTheLookupsRead) {
  const std::string strShipped = ReadFileBytes(GetTestProgramFolder() + "\\..\\app\\hkwdn1.hwd");
  ASSERT_GE(strShipped.size(), 24u);
  EXPECT_EQ(0u, strShipped.size() % 8);
  EXPECT_TRUE(IsDefinitionsVersion(strShipped.substr(0, 10))) << strShipped.substr(0, 16);
  EXPECT_EQ("\r\n", strShipped.substr(14, 2));

  BlowfishCipher cipher;
  const unsigned char chain[8] = {};
  cipher.SetKey(reinterpret_cast<const unsigned char*>(kDefinitionsPassPhrase), 8, chain);
  std::vector<unsigned char> plain(strShipped.size());
  cipher.Decrypt(reinterpret_cast<const unsigned char*>(strShipped.data()), plain.data(), plain.size(),
                 BlowfishCipher::MODE_ECB);
  plain[14] = '\r';
  plain[15] = '\n';

  const CTempFolder folder;
  const std::string strPath = folder.Path() + "\\hkwdn2.hwd";
  {
    CFClose file(std::fopen(strPath.c_str(), "wb"));
    ASSERT_TRUE(file);
    ASSERT_EQ(plain.size(), std::fwrite(plain.data(), 1, plain.size(), file.Get()));
  }
  const struct {
    const char* szSection;
    const char* szKey;
    const char* szValue;
  } kExpected[] = {
      {CLSPGlobals::szHostIPSec, "IP1", "192.0.2.10"},
      {CLSPGlobals::szHostLinkSec, "HLINK1", "login.example.com/verify"},
      {CLSPGlobals::szUrlSec, "CLINK2", "null"},
      {CLSPGlobals::szUrlSec, "VLINK3", "https://online.bank.test/confirm"},
      {CLSPGlobals::szFromSec, "FROM2", "service@secure-bank.invalid"},
      {CLSPGlobals::szSubjectSec, "SUB1", "urgent: verify your account"},
      {CLSPGlobals::szTextSec, "TXT2", "your account has been limited"},
      {CLSPGlobals::szTextSec, "TXT3", ""},
  };
  for (const auto& expected : kExpected) {
    char szOut[261] = {};
    EXPECT_EQ(std::strlen(expected.szValue),
              CLSPGlobals::GetEncPrivateProfileString(expected.szSection, expected.szKey, "", szOut, sizeof szOut,
                                                      strPath.c_str()));
    EXPECT_STREQ(expected.szValue, szOut) << expected.szKey;
  }
}

}  // namespace
