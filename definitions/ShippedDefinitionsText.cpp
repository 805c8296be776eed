#include "definitions/ShippedDefinitionsText.h"

#include <cstring>
#include <utility>

#include "definitions/BlowfishCipher.h"
#include "definitions/DefinitionsVersion.h"
#include "definitions/DefinitionsLayout.h"
#include "definitions/ProfileText.h"
#include "definitions/Scrambling.h"

const char kDefinitionsPassPhrase[9] = "63185207";

namespace {

constexpr char kZeroByte[] = "its decrypted text holds a zero byte";

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

const BlowfishCipher& DefinitionsCipher() {
  static const BlowfishCipher cipher = [] {
    BlowfishCipher made;
    const unsigned char chainStart[8] = {};
    made.SetKey(reinterpret_cast<const unsigned char*>(kDefinitionsPassPhrase), 8, chainStart);
    return made;
  }();
  return cipher;
}

CResult Refused(std::string strWhy) {
  return CResult(RESULT_INVALID_DATA, std::move(strWhy));
}

}  // namespace

bool DecryptShippedDefinitions(const unsigned char* pShipped, std::size_t cbShipped, std::vector<unsigned char>& text) {
  if (cbShipped < kShippedHeaderBytes || cbShipped % 8 != 0) return false;
  text.assign(cbShipped, 0);
  DefinitionsCipher().Decrypt(pShipped, text.data(), cbShipped, BlowfishCipher::MODE_ECB);
  text[kShippedHeaderBytes - 2] = '\r';
  text[kShippedHeaderBytes - 1] = '\n';
  return true;
}

CResult EncryptShippedDefinitions(const std::string& strWorkingText, const std::string& strVersion,
                                  std::string& strShipped) {
  // Made aside: a refused version leaves strShipped as it was.
  std::string strMade;
  CShippedEncryptor encryptor([&strMade](std::string_view piece) {
    strMade.append(piece);
    return CResult();
  });
  CResult result = encryptor.Start(strVersion);
  if (result.IsOk()) result = encryptor.Add(strWorkingText);
  if (result.IsOk()) result = encryptor.Finish();
  if (result.IsOk()) strShipped = std::move(strMade);
  return result;
}

CResult CShippedDecryptor::Add(std::string_view shipped) {
  m_cbSeen += shipped.size();
  const std::size_t cbTotal = m_cbPartial + shipped.size();
  const std::size_t cbWhole = cbTotal / 8 * 8;
  if (cbWhole == 0) {  // still inside one block
    if (!shipped.empty()) std::memcpy(m_partial + m_cbPartial, shipped.data(), shipped.size());
    m_cbPartial = cbTotal;
    return CResult();
  }
  // A block begun by the last piece, completed from this one.
  m_strBlocks.assign(reinterpret_cast<const char*>(m_partial), m_cbPartial);
  m_strBlocks.append(shipped.substr(0, cbWhole - m_cbPartial));
  m_cbPartial = cbTotal - cbWhole;
  if (m_cbPartial > 0) std::memcpy(m_partial, shipped.data() + shipped.size() - m_cbPartial, m_cbPartial);
  auto* pBlocks = reinterpret_cast<unsigned char*>(&m_strBlocks[0]);
  DefinitionsCipher().Decrypt(pBlocks, pBlocks, cbWhole, BlowfishCipher::MODE_ECB);
  // The header line decrypts to noise and is not handed on.
  const std::uint64_t nFirst = m_cbSeen - m_cbPartial - cbWhole;  // where the blocks start in the file
  const std::size_t cbSkip = nFirst >= kShippedHeaderBytes ? 0 : static_cast<std::size_t>(kShippedHeaderBytes - nFirst);
  if (cbSkip >= cbWhole) return CResult();
  return m_body(std::string_view(m_strBlocks).substr(cbSkip));
}

CResult CShippedDecryptor::Finish() {
  if (m_cbSeen < kShippedHeaderBytes) return Refused("it is shorter than its header");
  if (m_cbPartial != 0) return Refused("it is not whole blocks");
  return CResult();
}

CResult CShippedEncryptor::Start(const std::string& strVersion) {
  if (strVersion.size() > kVersionLineChars)
    return CResult(RESULT_INVALID_PARAMETER, "the version does not fit the header line");
  std::string strHeader = strVersion;
  strHeader.resize(kVersionLineChars, ' ');
  strHeader += "\r\n";
  unsigned char noise[kShippedHeaderBytes];
  DefinitionsCipher().Decrypt(reinterpret_cast<const unsigned char*>(strHeader.data()), noise, sizeof noise,
                              BlowfishCipher::MODE_ECB);
  if (CProfileText::IsOtherEncoding(std::string_view(reinterpret_cast<const char*>(noise), sizeof noise))) {
    return CResult(RESULT_INVALID_PARAMETER, "the version's header line decrypts to a byte-order mark");
  }
  return m_shipped(strHeader);
}

CResult CShippedEncryptor::Add(std::string_view text) {
  const std::size_t cbWhole = (m_strPartial.size() + text.size()) / 8 * 8;
  if (cbWhole == 0) {
    m_strPartial.append(text);
    return CResult();
  }
  const std::size_t cbTaken = cbWhole - m_strPartial.size();
  m_strBlocks.assign(m_strPartial);
  m_strBlocks.append(text.substr(0, cbTaken));
  m_strPartial.assign(text.substr(cbTaken));
  auto* pBlocks = reinterpret_cast<unsigned char*>(&m_strBlocks[0]);
  DefinitionsCipher().Encrypt(pBlocks, pBlocks, cbWhole, BlowfishCipher::MODE_ECB);
  return m_shipped(m_strBlocks);
}

CResult CShippedEncryptor::Finish() {
  if (m_strPartial.empty()) return CResult();
  m_strPartial.resize(8, ' ');
  auto* pBlock = reinterpret_cast<unsigned char*>(&m_strPartial[0]);
  DefinitionsCipher().Encrypt(pBlock, pBlock, 8, BlowfishCipher::MODE_ECB);
  CResult result = m_shipped(m_strPartial);
  m_strPartial.clear();
  return result;
}

CResult CDefinitionsTextCheck::Add(std::string_view body) {
  if (m_failure.IsOk() && body.find('\0') != std::string_view::npos) m_failure = Refused(kZeroByte);
  if (m_failure.IsOk()) m_failure = m_lines.Add(body, [this](std::string_view line) { return CheckLine(line); });
  return m_failure;
}

CResult CDefinitionsTextCheck::CheckLine(std::string_view line) {
  ++m_nLine;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (IsBlankLine(line)) return CResult();
  if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
    m_bInSection = true;
    if (!KeyPrefixesOfSection(UnscrambleString(std::string(line.substr(1, line.size() - 2)))).empty()) {
      m_bMatchersSection = true;
    }
    return CResult();
  }
  const std::size_t nEquals = line.find('=');
  if (!m_bInSection || nEquals == std::string_view::npos || nEquals == 0) {
    return Refused("line " + std::to_string(m_nLine) + " of its decrypted text is neither a section nor an entry");
  }
  return CResult();
}

CResult CDefinitionsTextCheck::Finish() {
  if (m_failure.IsOk() && !m_lines.Rest().empty()) m_failure = CheckLine(m_lines.Rest());
  if (m_failure.IsOk() && !m_bMatchersSection) {
    m_failure = Refused("its decrypted text has none of the sections the matchers read");
  }
  return m_failure;
}

CResult IsDefinitionsText(const unsigned char* pText, std::size_t cbText) {
  if (cbText < kShippedHeaderBytes) return Refused("it is shorter than its header");
  return IsDefinitionsBody(pText + kShippedHeaderBytes, cbText - kShippedHeaderBytes);
}

CResult IsDefinitionsBody(const unsigned char* pBody, std::size_t cbBody) {
  CDefinitionsTextCheck check;
  const CResult result = check.Add(std::string_view(reinterpret_cast<const char*>(pBody), cbBody));
  return result.IsOk() ? check.Finish() : result;
}
