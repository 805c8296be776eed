// A difference between two definitions lists: per section, the entries removed
// and added, which turns the installed definitions into the next ones without
// fetching the whole file (platform-free; the difference is outside input).
//
//   Hookwarden definitions difference 1
//   [HostLink]
//   =120                       the next 120 entries stay
//   -old.example/login         the next entry goes; it must be this one
//   +new.example/verify        an entry comes here
//   [Link]
//   +http://a.example/x        a section of two lists ("CLINK" and "VLINK") takes
//   +http://b.example/         its values in pairs, in the order of the layout
//
// Lines end with "\n". Entries after the last step stay. The entries of a changed
// section are numbered again from 1, so a section it changes must hold only its
// lists' keys, numbered from 1 without a gap, every number with a value of each
// list, in that order, as the definitions tool writes them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "shared/PieceLines.h"
#include "shared/Result.h"

struct SDifferenceStep {
  char cOp = '=';         // '=' keep, '-' remove, '+' add
  std::size_t nKeep = 0;  // entries kept, for '='
  std::string strValue;   // the plain value, for '-' and '+'
};

struct SDifferenceSection {
  std::string strName;
  std::vector<SDifferenceStep> steps;
};

struct SDefinitionsDifference {
  std::vector<SDifferenceSection> sections;
};

constexpr char kDifferenceFirstLine[] = "Hookwarden definitions difference 1";

// The difference, or RESULT_INVALID_DATA with the reason (naming the line) for text
// that is not one: a section the matchers do not read or named twice, a step before
// any section, a count that is not a number, a value with a zero byte.
CResultOf<SDefinitionsDifference> ParseDefinitionsDifference(const std::string& strText);

// The text that ParseDefinitionsDifference reads back; values must hold no line end.
std::string WriteDefinitionsDifference(const SDefinitionsDifference& difference);

// Applies the difference to the working definitions text (scrambled, from its
// first section on; blanks that pad it to whole blocks are dropped) and gives the
// new text, as the definitions tool writes it for the new list; RESULT_INVALID_DATA
// with the reason when it does not fit: a section missing or not in the tool's
// order, a removed entry that is not the one named, more entries kept or removed
// than there are, a remove or add that leaves a pair incomplete.
CResultOf<std::string> ApplyDefinitionsDifference(std::string_view working, const SDefinitionsDifference& difference);

// ApplyDefinitionsDifference on a working text given in pieces of any size: the
// new text goes on in pieces as it is made, so neither text is ever held whole.
// A failure (the same reasons) may come after some of the new text went on: what
// was handed on is then to be thrown away. After a failure every call gives it again.
class CDifferenceApplier {
 public:
  CDifferenceApplier(const SDefinitionsDifference& difference, PieceSink newText);
  CResult Add(std::string_view working);
  CResult Finish();

 private:
  CResult FinishText();
  CResult TakeLine(std::string_view line);
  CResult TakeEntry(std::string_view line);
  CResult StartSection(std::string_view line);
  CResult EndSection();
  CResult RunSteps();
  void WriteEntry(std::string_view value);
  // The scrambled key of the section's entry line nEntry (from 0).
  void AppendKey(std::string& strOut, std::size_t nEntry) const;
  CResult Flush(std::size_t cbAtLeast);
  CResult Fail(const std::string& strWhy) const;
  CResult Kept(CResult result);

  const SDefinitionsDifference& m_difference;
  PieceSink m_newText;
  CResult m_failure;
  CPieceLines m_lines{"\r\n"};
  std::string m_strOut;
  std::string m_strKey;
  std::vector<bool> m_done;
  // The changed section at hand, if any.
  const SDifferenceSection* m_pChanges = nullptr;
  std::string m_strSection;
  std::vector<const char*> m_prefixes;
  std::size_t m_nRead = 0;      // entry lines read
  std::size_t m_nWritten = 0;   // entry lines written
  std::size_t m_nStep = 0;      // the next step
  std::size_t m_nKeepLeft = 0;  // entry lines the step at hand still keeps
  std::size_t m_nBlanks = 0;    // empty lines not yet known to be the section's last
};
