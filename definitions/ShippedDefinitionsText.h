// The shipped definitions file turned into the text of the working file, and the
// check that this text is a definitions file at all (platform-free part). A file
// whose header line is right but whose body was never encrypted decrypts to noise:
// it must not take the place of working definitions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/PieceLines.h"
#include "shared/Result.h"

// The pass phrase of the definitions files: 8 key bytes, no terminator. The file is
// encrypted in electronic-codebook mode with an all-zero chain start.
extern const char kDefinitionsPassPhrase[9];

// The header line of the shipped file: it decrypts to noise, of which the last two
// bytes become a line end.
constexpr std::size_t kShippedHeaderBytes = 16;

// Decrypts the whole shipped file (header included, as one buffer) and repairs the
// first line's end. False for a file the cipher refuses: shorter than the header
// or not whole 8-byte blocks.
bool DecryptShippedDefinitions(const unsigned char* pShipped, std::size_t cbShipped, std::vector<unsigned char>& text);

// The shipped file of a working text: the version padded with spaces to 14
// characters and a line end, then the text padded with spaces to whole 8-byte
// blocks and encrypted. RESULT_INVALID_PARAMETER with the reason when the version
// line does not fit, or when it would decrypt to the start of a byte-order mark,
// which makes the reader take the whole file for another encoding.
CResult EncryptShippedDefinitions(const std::string& strWorkingText, const std::string& strVersion,
                                  std::string& strShipped);

// True when the decrypted text reads as a definitions file: after the first line,
// every line is empty (spaces pad the last block), a section "[...]" or a
// "key=value" entry with a key; the first such line is a section; at least one
// section is one the matchers read; and no byte is zero. Otherwise
// RESULT_INVALID_DATA with the reason.
CResult IsDefinitionsText(const unsigned char* pText, std::size_t cbText);
// The same check of the text after the header line (a working text as written).
CResult IsDefinitionsBody(const unsigned char* pBody, std::size_t cbBody);

// A shipped file given in pieces of any size, decrypted block by block: the text
// after the header line goes on as it comes. Finish refuses a file shorter than
// the header or not whole blocks.
class CShippedDecryptor {
 public:
  explicit CShippedDecryptor(PieceSink body) : m_body(std::move(body)) {}
  CResult Add(std::string_view shipped);
  CResult Finish();

 private:
  PieceSink m_body;
  std::uint64_t m_cbSeen = 0;
  std::string m_strBlocks;  // the blocks of the piece at hand, decrypted in place
  unsigned char m_partial[8] = {};
  std::size_t m_cbPartial = 0;
};

// The shipped file of a working text given in pieces, as EncryptShippedDefinitions
// makes it: Start hands on the header line (refused as there), Add the encrypted
// whole blocks of the text, Finish the last block padded with spaces.
class CShippedEncryptor {
 public:
  explicit CShippedEncryptor(PieceSink shipped) : m_shipped(std::move(shipped)) {}
  CResult Start(const std::string& strVersion);
  CResult Add(std::string_view text);
  CResult Finish();

 private:
  PieceSink m_shipped;
  std::string m_strBlocks;
  std::string m_strPartial;
};

// IsDefinitionsBody on a text given in pieces: Finish says whether it passed, with
// the same reasons; after a failure every call gives it again.
class CDefinitionsTextCheck {
 public:
  CResult Add(std::string_view body);
  CResult Finish();

 private:
  CResult CheckLine(std::string_view line);
  CResult m_failure;
  CPieceLines m_lines{"\n"};
  std::size_t m_nLine = 1;  // the header's
  bool m_bInSection = false, m_bMatchersSection = false;
};
