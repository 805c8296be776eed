#include "standins/defstool/ShippedDefinitions.h"

#include "console/core/BlowfishCipher.h"

const char kDefinitionsPassPhrase[9] = "63185207";

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

const unsigned char kZeroChainStart[8] = {};

}  // namespace

bool IsDefinitionsVersion(const std::string& strVersion) {
  if (strVersion.size() != 10) return false;
  for (std::size_t i = 0; i < strVersion.size(); ++i) {
    const bool bSlash = (i == 2 || i == 5);
    if (bSlash ? strVersion[i] != '/' : !IsDigit(strVersion[i])) return false;
  }
  return true;
}

bool WriteShippedDefinitions(const std::string& strWorkingText, const std::string& strVersion, std::string& strFile,
                             std::string& strError) {
  if (!IsDefinitionsVersion(strVersion)) {
    strError = "version \"" + strVersion + "\" is not of the form MM/DD/YYYY";
    return false;
  }
  if (strWorkingText.empty()) {
    strError = "no definitions to write";
    return false;
  }
  BlowfishCipher cipher;
  cipher.SetKey(reinterpret_cast<const unsigned char*>(kDefinitionsPassPhrase), 8, kZeroChainStart);

  std::string strHeader = strVersion;
  strHeader.resize(14, ' ');
  strHeader += "\r\n";

  // The console decrypts the header too; the noise it gives must not look like a
  // byte-order mark.
  unsigned char noise[16];
  cipher.Decrypt(reinterpret_cast<const unsigned char*>(strHeader.data()), noise, sizeof noise,
                 BlowfishCipher::MODE_ECB);
  if ((noise[0] == 0xFF && noise[1] == 0xFE) || (noise[0] == 0xFE && noise[1] == 0xFF) ||
      (noise[0] == 0xEF && noise[1] == 0xBB && noise[2] == 0xBF)) {
    strError = "version \"" + strVersion + "\" decrypts to a byte-order mark; choose another date";
    return false;
  }

  std::string strBody = strWorkingText;
  strBody.resize((strBody.size() + 7) / 8 * 8, ' ');
  strFile = strHeader + strBody;
  auto* pBody = reinterpret_cast<unsigned char*>(&strFile[strHeader.size()]);
  cipher.Encrypt(pBody, pBody, strBody.size(), BlowfishCipher::MODE_ECB);
  return true;
}
