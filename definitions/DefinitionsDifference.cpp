#include "definitions/DefinitionsDifference.h"

#include <cstring>
#include <string_view>

#include "definitions/DefinitionsLayout.h"
#include "definitions/Scrambling.h"

namespace {

constexpr std::size_t kMaxKeepDigits = 12;

bool Fail(std::string& strError, const std::string& strWhy) {
  strError = strWhy;
  return false;
}

// The working text cut into lines at "\r\n"; the last line may lack it.
std::vector<std::string_view> CutLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t nEnd = text.find("\r\n");
    if (nEnd == std::string_view::npos) {
      lines.push_back(text);
      break;
    }
    lines.push_back(text.substr(0, nEnd));
    text.remove_prefix(nEnd + 2);
  }
  return lines;
}

bool IsSectionLine(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// One changed section: its entry lines checked and the steps applied.
bool RewriteSection(const std::string& strName, const std::vector<std::string_view>& lines, std::size_t nHeader,
                    std::size_t nEnd, const SDifferenceSection& changes, std::string& strNew, std::string& strWhy) {
  const std::vector<const char*> prefixes = KeyPrefixesOfSection(strName);
  const std::size_t k = prefixes.size();
  std::size_t nTail = nEnd;  // blank lines after the entries stay as they are
  while (nTail > nHeader + 1 && lines[nTail - 1].empty()) --nTail;
  std::vector<std::string_view> values;
  values.reserve(nTail - nHeader - 1);
  for (std::size_t i = nHeader + 1; i < nTail; ++i) {
    const std::size_t nEquals = lines[i].find('=');
    const std::size_t t = values.size();
    const std::string strExpected = prefixes[t % k] + std::to_string(t / k + 1);
    if (nEquals == std::string_view::npos || UnscrambleString(std::string(lines[i].substr(0, nEquals))) != strExpected) {
      return Fail(strWhy, "section \"" + strName + "\" does not hold " + strExpected + " where the difference needs it");
    }
    values.push_back(lines[i].substr(nEquals + 1));
  }
  if (values.size() % k != 0) return Fail(strWhy, "section \"" + strName + "\" ends with an incomplete entry");

  // The scrambled values of added entries, reserved whole so that views of them stay valid.
  std::vector<std::string> added;
  std::size_t nAdds = 0;
  for (const auto& step : changes.steps) nAdds += step.cOp == '+';
  added.reserve(nAdds);
  std::vector<std::string_view> result;
  result.reserve(values.size() + nAdds);
  const std::string strIncomplete = "the difference leaves an entry of section \"" + strName + "\" incomplete";
  std::size_t nNext = 0;
  for (const auto& step : changes.steps) {
    if (step.cOp == '=') {
      if (nNext % k != 0 || result.size() % k != 0) return Fail(strWhy, strIncomplete);
      if (step.nKeep > (values.size() - nNext) / k) {
        return Fail(strWhy, "section \"" + strName + "\" has fewer entries than the difference keeps");
      }
      result.insert(result.end(), values.begin() + nNext, values.begin() + nNext + step.nKeep * k);
      nNext += step.nKeep * k;
    } else if (step.cOp == '-') {
      if (nNext >= values.size() || values[nNext] != ScrambleString(step.strValue)) {
        return Fail(strWhy, "section \"" + strName + "\" does not hold the removed entry \"" + step.strValue + "\"");
      }
      ++nNext;
    } else {
      added.push_back(ScrambleString(step.strValue));
      result.push_back(added.back());
    }
  }
  if (nNext % k != 0 || result.size() % k != 0) return Fail(strWhy, strIncomplete);
  result.insert(result.end(), values.begin() + nNext, values.end());

  strNew.append(lines[nHeader].data(), lines[nHeader].size()).append("\r\n");
  for (std::size_t i = 0; i < result.size(); ++i) {
    strNew += ScrambleString(prefixes[i % k] + std::to_string(i / k + 1));
    strNew.append("=").append(result[i].data(), result[i].size()).append("\r\n");
  }
  for (std::size_t i = nTail; i < nEnd; ++i) strNew.append(lines[i].data(), lines[i].size()).append("\r\n");
  return true;
}

}  // namespace

bool ParseDefinitionsDifference(const std::string& strText, SDefinitionsDifference& difference,
                                std::string& strError) {
  difference = SDefinitionsDifference();
  std::size_t nStart = 0, nLine = 0;
  while (nStart < strText.size()) {
    std::size_t nEnd = strText.find('\n', nStart);
    if (nEnd == std::string::npos) nEnd = strText.size();
    std::string strLine = strText.substr(nStart, nEnd - nStart);
    nStart = nEnd + 1;
    if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
    const std::string strWhere = "line " + std::to_string(++nLine) + " of the difference ";
    if (nLine == 1) {
      if (strLine != kDifferenceFirstLine) return Fail(strError, "the text is not a Hookwarden definitions difference");
      continue;
    }
    if (strLine.empty()) continue;
    if (strLine.find('\0') != std::string::npos) return Fail(strError, strWhere + "holds a zero byte");
    if (strLine.front() == '[') {
      if (strLine.back() != ']') return Fail(strError, strWhere + "is a section name without \"]\"");
      const std::string strName = strLine.substr(1, strLine.size() - 2);
      if (KeyPrefixesOfSection(strName).empty()) {
        return Fail(strError, strWhere + "names a section the matchers do not read");
      }
      for (const auto& section : difference.sections) {
        if (section.strName == strName) return Fail(strError, strWhere + "names a section a second time");
      }
      difference.sections.push_back(SDifferenceSection{strName, {}});
      continue;
    }
    if (difference.sections.empty()) return Fail(strError, strWhere + "comes before any section");
    SDifferenceStep step;
    step.cOp = strLine.front();
    if (step.cOp == '=') {
      const std::string strCount = strLine.substr(1);
      if (strCount.empty() || strCount.size() > kMaxKeepDigits ||
          strCount.find_first_not_of("0123456789") != std::string::npos) {
        return Fail(strError, strWhere + "keeps a count that is not a number");
      }
      step.nKeep = static_cast<std::size_t>(std::stoull(strCount));
    } else if (step.cOp == '-' || step.cOp == '+') {
      step.strValue = strLine.substr(1);
    } else {
      return Fail(strError, strWhere + "is neither a section nor a step (=, - or +)");
    }
    difference.sections.back().steps.push_back(std::move(step));
  }
  if (nLine == 0) return Fail(strError, "the text is not a Hookwarden definitions difference");
  return true;
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

bool ApplyDefinitionsDifference(std::string_view working, const SDefinitionsDifference& difference,
                                std::string& strNew, std::string& strWhy) {
  std::string_view text(working);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const std::vector<std::string_view> lines = CutLines(text);
  strNew.clear();
  strNew.reserve(working.size() + working.size() / 64);
  std::vector<bool> done(difference.sections.size(), false);
  std::size_t nLine = 0;
  while (nLine < lines.size()) {
    std::size_t nEnd = nLine + 1;
    while (nEnd < lines.size() && !IsSectionLine(lines[nEnd])) ++nEnd;
    const SDifferenceSection* pChanges = nullptr;
    std::string strName;
    if (IsSectionLine(lines[nLine])) {
      strName = UnscrambleString(std::string(lines[nLine].substr(1, lines[nLine].size() - 2)));
      for (std::size_t i = 0; i < difference.sections.size(); ++i) {
        if (difference.sections[i].strName != strName) continue;
        if (done[i]) return Fail(strWhy, "the definitions hold section \"" + strName + "\" twice");
        done[i] = true;
        pChanges = &difference.sections[i];
      }
    }
    if (pChanges) {
      if (!RewriteSection(strName, lines, nLine, nEnd, *pChanges, strNew, strWhy)) return false;
    } else {
      for (std::size_t i = nLine; i < nEnd; ++i) strNew.append(lines[i].data(), lines[i].size()).append("\r\n");
    }
    nLine = nEnd;
  }
  for (std::size_t i = 0; i < done.size(); ++i) {
    if (!done[i]) return Fail(strWhy, "the definitions have no section \"" + difference.sections[i].strName + "\"");
  }
  return true;
}
