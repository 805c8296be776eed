#include "standins/defstool/ReadBackCheck.h"

#include <cstdio>
#include <unordered_set>

#include "definitions/DefinitionsLayout.h"
#include "definitions/Scrambling.h"

namespace {

std::string Hex(unsigned char c) {
  char sz[8];
  std::snprintf(sz, sizeof sz, "0x%02X", c);
  return sz;
}

std::string At(std::size_t i, unsigned char cPlain) {
  return "character " + std::to_string(i + 1) + " (" + Hex(cPlain) + ")";
}

// Bytes that the reader trims from the ends of names and values: the C blanks and
// end of file (0x1A).
bool IsReaderBlank(unsigned char c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

// The reader compares names without regard to case, in the ANSI code page.
unsigned char FoldCase(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<unsigned char>(c + 0x20);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 0x10);
  if (c == 0x9F) return 0xFF;
  return c;
}

std::string Folded(const std::string& str) {
  std::string strOut(str);
  for (char& c : strOut) c = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
  return strOut;
}

const char* NameOf(EDefinitionPart part) {
  switch (part) {
    case EDefinitionPart::Section:
      return "section name";
    case EDefinitionPart::Key:
      return "key";
    default:
      return "value";
  }
}

}  // namespace

std::size_t ValueLimitOf(const std::string& strSection) {
  return ValueLimitOfSection(strSection.c_str());
}

std::string FindReadBackFault(const std::string& strPlain, EDefinitionPart part, std::size_t nValueLimit) {
  const std::string& strKey = ScramblingKey();
  if (part != EDefinitionPart::Value && strPlain.empty()) return "empty name";
  if (part == EDefinitionPart::Value && strPlain.size() > nValueLimit) {
    return "longer than " + std::to_string(nValueLimit) + " characters, the reader cuts it";
  }
  for (std::size_t i = 0; i < strPlain.size(); ++i) {
    const auto c = static_cast<unsigned char>(strPlain[i]);
    const auto s = static_cast<unsigned char>((c + static_cast<unsigned char>(strKey[i % strKey.size()])) & 0xFF);
    if (c == 0) return At(i, c) + " is a zero byte, which ends the text";
    if (s == 0) return At(i, c) + " sums with its key byte to 0 and is dropped";
    if (s == 0xBB) return At(i, c) + " scrambles to 0xBB, which reads back as \";\"";
    if (s == 0xBD) return At(i, c) + " scrambles to 0xBD, which reads back as \"=\"";
    if (s == '\r') return At(i, c) + " scrambles to a carriage return, which splits the line";
    if (s == '\n') return At(i, c) + " scrambles to a line feed, which splits the line";
    if (part == EDefinitionPart::Section && s == ']')
      return At(i, c) + " scrambles to \"]\", which ends the section name";
    if (part == EDefinitionPart::Key && i == 0 && s == '[')
      return At(i, c) + " scrambles to \"[\", which starts a section";
  }
  // No byte was dropped, so scrambled positions are the plain ones.
  const std::string strScrambled = ScrambleString(strPlain);
  if (strScrambled.empty()) return "";
  const auto cFirst = static_cast<unsigned char>(strScrambled.front());
  const auto cLast = static_cast<unsigned char>(strScrambled.back());
  const std::size_t nLast = strScrambled.size() - 1;
  if (IsReaderBlank(cFirst))
    return At(0, static_cast<unsigned char>(strPlain[0])) + " scrambles to a blank, which the reader trims";
  if (IsReaderBlank(cLast)) {
    return At(nLast, static_cast<unsigned char>(strPlain[nLast])) + " scrambles to a blank, which the reader trims";
  }
  if (strScrambled.size() >= 2 && (cFirst == '"' || cFirst == '\'') && cLast == cFirst) {
    return At(0, static_cast<unsigned char>(strPlain[0])) + " and " +
           At(nLast, static_cast<unsigned char>(strPlain[nLast])) + " scramble to quotes, which the reader removes";
  }
  return "";
}

std::vector<std::string> FindReadBackFaults(const DefinitionsList& list) {
  std::vector<std::string> faults;
  auto report = [&faults](int nLine, const std::string& strWhere, const std::string& strWhat) {
    faults.push_back("line " + std::to_string(nLine) + ": " + strWhere + ": " + strWhat);
  };
  std::vector<std::string> sectionsSeen;
  for (const auto& section : list) {
    const std::string strWhere = "section \"" + section.strName + "\"";
    std::string strFault = FindReadBackFault(section.strName, EDefinitionPart::Section);
    if (!strFault.empty())
      report(section.nLine, strWhere, std::string(NameOf(EDefinitionPart::Section)) + " " + strFault);
    const std::string strFolded = Folded(ScrambleString(section.strName));
    for (const auto& seen : sectionsSeen) {
      if (seen == strFolded) report(section.nLine, strWhere, "scrambles to the name of an earlier section");
    }
    sectionsSeen.push_back(strFolded);

    const std::size_t nLimit = ValueLimitOf(section.strName);
    std::unordered_set<std::string> keysSeen;  // lists of 100,000 entries are checked in passing
    for (const auto& entry : section.entries) {
      const std::string strEntry = strWhere + ", key \"" + entry.strKey + "\"";
      strFault = FindReadBackFault(entry.strKey, EDefinitionPart::Key);
      if (!strFault.empty()) report(entry.nLine, strEntry, "key " + strFault);
      strFault = FindReadBackFault(entry.strValue, EDefinitionPart::Value, nLimit);
      if (!strFault.empty()) report(entry.nLine, strEntry, "value " + strFault);
      const std::string strKeyFolded = Folded(ScrambleString(entry.strKey));
      if (!keysSeen.insert(strKeyFolded).second) {
        report(entry.nLine, strEntry, "key scrambles to the key of an earlier entry");
      }
    }
  }
  return faults;
}
