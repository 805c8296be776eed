#include "definitions/DefinitionsDifference.h"

#include <charconv>
#include <cstring>
#include <string_view>
#include <utility>

#include "definitions/DefinitionsLayout.h"
#include "definitions/Scrambling.h"

namespace {

constexpr std::size_t kMaxKeepDigits = 12;

CResult NotADifference(const std::string& strWhy) {
  return CResult(RESULT_INVALID_DATA, strWhy);
}

bool IsSectionLine(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// New text is handed on in pieces of about this size.
constexpr std::size_t kOutPieceBytes = 256 * 1024;

}  // namespace

CResultOf<SDefinitionsDifference> ParseDefinitionsDifference(const std::string& strText) {
  SDefinitionsDifference difference;
  std::size_t nStart = 0, nLine = 0;
  while (nStart < strText.size()) {
    std::size_t nEnd = strText.find('\n', nStart);
    if (nEnd == std::string::npos) nEnd = strText.size();
    std::string strLine = strText.substr(nStart, nEnd - nStart);
    nStart = nEnd + 1;
    if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
    const std::string strWhere = "line " + std::to_string(++nLine) + " of the difference ";
    if (nLine == 1) {
      if (strLine != kDifferenceFirstLine) return NotADifference("the text is not a Hookwarden definitions difference");
      continue;
    }
    if (strLine.empty()) continue;
    if (strLine.find('\0') != std::string::npos) return NotADifference(strWhere + "holds a zero byte");
    if (strLine.front() == '[') {
      if (strLine.back() != ']') return NotADifference(strWhere + "is a section name without \"]\"");
      const std::string strName = strLine.substr(1, strLine.size() - 2);
      if (KeyPrefixesOfSection(strName).empty()) {
        return NotADifference(strWhere + "names a section the matchers do not read");
      }
      for (const auto& section : difference.sections) {
        if (section.strName == strName) return NotADifference(strWhere + "names a section a second time");
      }
      difference.sections.push_back(SDifferenceSection{strName, {}});
      continue;
    }
    if (difference.sections.empty()) return NotADifference(strWhere + "comes before any section");
    SDifferenceStep step;
    step.cOp = strLine.front();
    if (step.cOp == '=') {
      const std::string strCount = strLine.substr(1);
      if (strCount.empty() || strCount.size() > kMaxKeepDigits ||
          strCount.find_first_not_of("0123456789") != std::string::npos) {
        return NotADifference(strWhere + "keeps a count that is not a number");
      }
      step.nKeep = static_cast<std::size_t>(std::stoull(strCount));
    } else if (step.cOp == '-' || step.cOp == '+') {
      step.strValue = strLine.substr(1);
    } else {
      return NotADifference(strWhere + "is neither a section nor a step (=, - or +)");
    }
    difference.sections.back().steps.push_back(std::move(step));
  }
  if (nLine == 0) return NotADifference("the text is not a Hookwarden definitions difference");
  return difference;
}

std::string WriteDefinitionsDifference(const SDefinitionsDifference& difference) {
  std::string strText = std::string(kDifferenceFirstLine) + "\n";
  for (const auto& section : difference.sections) {
    strText += "[" + section.strName + "]\n";
    for (const auto& step : section.steps) {
      if (step.cOp == '=') {
        strText += "=" + std::to_string(step.nKeep) + "\n";
      } else {
        (strText += step.cOp) += step.strValue + "\n";
      }
    }
  }
  return strText;
}

CResultOf<std::string> ApplyDefinitionsDifference(std::string_view working, const SDefinitionsDifference& difference) {
  std::string strNew;
  strNew.reserve(working.size() + working.size() / 64);
  CDifferenceApplier applier(difference, [&strNew](std::string_view piece) {
    strNew.append(piece);
    return CResult();
  });
  CResult result = applier.Add(working);
  if (result.IsOk()) result = applier.Finish();
  if (!result.IsOk()) return result;
  return strNew;
}

CDifferenceApplier::CDifferenceApplier(const SDefinitionsDifference& difference, PieceSink newText)
    : m_difference(difference), m_newText(std::move(newText)), m_done(difference.sections.size(), false) {}

CResult CDifferenceApplier::Fail(const std::string& strWhy) const {
  return CResult(RESULT_INVALID_DATA, strWhy);
}

CResult CDifferenceApplier::Kept(CResult result) {
  if (!result.IsOk()) m_failure = result;
  return result;
}

CResult CDifferenceApplier::Add(std::string_view working) {
  if (!m_failure.IsOk()) return m_failure;
  CResult result = m_lines.Add(working, [this](std::string_view line) { return TakeLine(line); });
  return Kept(result.IsOk() ? Flush(kOutPieceBytes) : result);
}

CResult CDifferenceApplier::Finish() {
  if (!m_failure.IsOk()) return m_failure;
  return Kept(FinishText());
}

CResult CDifferenceApplier::FinishText() {
  // Blanks pad the text to whole blocks; they end it.
  std::string_view last = m_lines.Rest();
  while (!last.empty() && last.back() == ' ') last.remove_suffix(1);
  CResult result = last.empty() ? CResult() : TakeLine(last);
  if (result.IsOk()) result = EndSection();
  if (!result.IsOk()) return result;
  for (std::size_t i = 0; i < m_done.size(); ++i) {
    if (!m_done[i]) return Fail("the definitions have no section \"" + m_difference.sections[i].strName + "\"");
  }
  return Flush(1);
}

CResult CDifferenceApplier::Flush(std::size_t cbAtLeast) {
  if (m_strOut.size() < cbAtLeast) return CResult();
  CResult result = m_newText(m_strOut);
  m_strOut.clear();
  return result;
}

CResult CDifferenceApplier::TakeLine(std::string_view line) {
  if (IsSectionLine(line)) {
    CResult ended = EndSection();
    return ended.IsOk() ? StartSection(line) : ended;
  }
  if (!m_pChanges) {
    m_strOut.append(line).append("\r\n");
    return CResult();
  }
  // Empty lines belong to the section's end unless an entry follows them.
  if (line.empty()) {
    ++m_nBlanks;
    return CResult();
  }
  return TakeEntry(line);
}

CResult CDifferenceApplier::StartSection(std::string_view line) {
  m_strOut.append(line).append("\r\n");
  const std::string strName = UnscrambleString(std::string(line.substr(1, line.size() - 2)));
  for (std::size_t i = 0; i < m_difference.sections.size(); ++i) {
    if (m_difference.sections[i].strName != strName) continue;
    if (m_done[i]) return Fail("the definitions hold section \"" + strName + "\" twice");
    m_done[i] = true;
    m_pChanges = &m_difference.sections[i];
    m_strSection = strName;
    m_prefixes = KeyPrefixesOfSection(strName);
    m_nRead = m_nWritten = m_nStep = m_nKeepLeft = m_nBlanks = 0;
    return RunSteps();
  }
  return CResult();
}

CResult CDifferenceApplier::EndSection() {
  if (!m_pChanges) return CResult();
  const std::vector<SDifferenceStep>& steps = m_pChanges->steps;
  if (m_nRead % m_prefixes.size() != 0) return Fail("section \"" + m_strSection + "\" ends with an incomplete entry");
  if (m_nKeepLeft > 0) return Fail("section \"" + m_strSection + "\" has fewer entries than the difference keeps");
  if (m_nStep < steps.size()) {  // a removal waits for an entry
    return Fail("section \"" + m_strSection + "\" does not hold the removed entry \"" + steps[m_nStep].strValue + "\"");
  }
  for (std::size_t i = 0; i < m_nBlanks; ++i) m_strOut += "\r\n";
  m_pChanges = nullptr;
  return CResult();
}

// Runs the steps up to the next that needs an entry of the section: adds go out at
// once, a keep counts down the entries that follow, a removal waits for its entry.
CResult CDifferenceApplier::RunSteps() {
  const std::vector<SDifferenceStep>& steps = m_pChanges->steps;
  const std::size_t k = m_prefixes.size();
  const std::string strIncomplete = "the difference leaves an entry of section \"" + m_strSection + "\" incomplete";
  for (; m_nStep < steps.size(); ++m_nStep) {
    const SDifferenceStep& step = steps[m_nStep];
    if (step.cOp == '+') {
      WriteEntry(ScrambleString(step.strValue));
    } else if (step.cOp == '-') {
      return CResult();
    } else {
      if (m_nRead % k != 0 || m_nWritten % k != 0) return Fail(strIncomplete);
      if (step.nKeep > 0) {
        m_nKeepLeft = step.nKeep * k;
        return CResult();
      }
    }
  }
  if (m_nRead % k != 0 || m_nWritten % k != 0) return Fail(strIncomplete);
  return CResult();
}

void CDifferenceApplier::AppendKey(std::string& strOut, std::size_t nEntry) const {
  const std::size_t k = m_prefixes.size();
  char szKey[48];
  const std::size_t cchPrefix = std::strlen(m_prefixes[nEntry % k]);
  std::memcpy(szKey, m_prefixes[nEntry % k], cchPrefix);
  char* pEnd = std::to_chars(szKey + cchPrefix, szKey + sizeof szKey, nEntry / k + 1).ptr;
  AppendScrambled(strOut, std::string_view(szKey, pEnd - szKey));
}

CResult CDifferenceApplier::TakeEntry(std::string_view line) {
  const std::size_t k = m_prefixes.size();
  const std::size_t nEquals = line.find('=');
  m_strKey.clear();
  AppendKey(m_strKey, m_nRead);
  // The tool writes keys that scramble to letters and digits alone, so a key
  // unscrambles to the one expected exactly when it is that key scrambled.
  if (m_nBlanks > 0 || nEquals == std::string_view::npos || line.substr(0, nEquals) != m_strKey) {
    return Fail("section \"" + m_strSection + "\" does not hold " + m_prefixes[m_nRead % k] +
                std::to_string(m_nRead / k + 1) + " where the difference needs it");
  }
  ++m_nRead;
  const std::string_view value = line.substr(nEquals + 1);
  const std::vector<SDifferenceStep>& steps = m_pChanges->steps;
  if (m_nKeepLeft > 0) {
    WriteEntry(value);
    if (--m_nKeepLeft > 0) return CResult();
  } else if (m_nStep < steps.size()) {
    if (value != ScrambleString(steps[m_nStep].strValue)) {
      return Fail("section \"" + m_strSection + "\" does not hold the removed entry \"" + steps[m_nStep].strValue +
                  "\"");
    }
  } else {
    WriteEntry(value);  // entries after the last step stay
    return CResult();
  }
  ++m_nStep;
  return RunSteps();
}

void CDifferenceApplier::WriteEntry(std::string_view value) {
  AppendKey(m_strOut, m_nWritten);
  m_strOut.append("=").append(value).append("\r\n");
  ++m_nWritten;
}
