#include "standins/defstool/DefinitionsList.h"

#include <unordered_map>

#include "definitions/Scrambling.h"
#include "shared/AsciiCase.h"

namespace {

bool IsPlainBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string Trim(const std::string& str) {
  std::size_t nBegin = 0, nEnd = str.size();
  while (nBegin < nEnd && IsPlainBlank(str[nBegin])) ++nBegin;
  while (nEnd > nBegin && IsPlainBlank(str[nEnd - 1])) --nEnd;
  return str.substr(nBegin, nEnd - nBegin);
}

bool IsSameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAsciiChar(a[i]) != LowerAsciiChar(b[i])) return false;
  }
  return true;
}

std::string Lowered(const std::string& str) {
  std::string strOut(str);
  for (char& c : strOut) c = LowerAsciiChar(c);
  return strOut;
}

CResult LineError(int nLine, const std::string& strWhat) {
  return CResult(RESULT_INVALID_DATA, "line " + std::to_string(nLine) + ": " + strWhat);
}

}  // namespace

CResultOf<DefinitionsList> ParsePlainDefinitions(const std::string& strText) {
  DefinitionsList list;
  // Per section, the line of each key (letters in lower case), for lists of any length.
  std::vector<std::unordered_map<std::string, int>> keyLines;
  SDefinitionSection* pSection = nullptr;
  int nLine = 0;
  std::size_t nStart = 0;
  while (nStart < strText.size()) {
    std::size_t nEnd = strText.find('\n', nStart);
    if (nEnd == std::string::npos) nEnd = strText.size();
    const std::string strLine = Trim(strText.substr(nStart, nEnd - nStart));
    nStart = nEnd + 1;
    ++nLine;
    if (strLine.empty() || strLine[0] == ';' || strLine[0] == '#') continue;

    if (strLine[0] == '[') {
      if (strLine.back() != ']') {
        return LineError(nLine, "section name without closing \"]\"");
      }
      const std::string strName = Trim(strLine.substr(1, strLine.size() - 2));
      if (strName.empty()) {
        return LineError(nLine, "empty section name");
      }
      pSection = nullptr;
      for (auto& section : list) {
        if (IsSameIgnoringCase(section.strName, strName)) pSection = &section;
      }
      if (!pSection) {
        list.push_back(SDefinitionSection{strName, nLine, {}});
        keyLines.emplace_back();
        pSection = &list.back();
      }
      continue;
    }

    const std::size_t nEquals = strLine.find('=');
    if (nEquals == std::string::npos) {
      return LineError(nLine, "expected \"[Section]\" or \"key=value\"");
    }
    if (!pSection) {
      return LineError(nLine, "entry before the first section");
    }
    SDefinitionEntry entry{Trim(strLine.substr(0, nEquals)), Trim(strLine.substr(nEquals + 1)), nLine};
    if (entry.strKey.empty()) {
      return LineError(nLine, "empty key in section \"" + pSection->strName + "\"");
    }
    const auto itFirst = keyLines[pSection - list.data()].emplace(Lowered(entry.strKey), nLine).first;
    if (itFirst->second != nLine) {
      return LineError(nLine, "key \"" + entry.strKey + "\" given twice in section \"" + pSection->strName +
                                  "\" (first on line " + std::to_string(itFirst->second) + ")");
    }
    pSection->entries.push_back(std::move(entry));
  }
  return list;
}

std::string WriteWorkingDefinitions(const DefinitionsList& list) {
  std::string strOut;
  for (const auto& section : list) {
    strOut += "[" + ScrambleString(section.strName) + "]\r\n";
    for (const auto& entry : section.entries) {
      strOut += ScrambleString(entry.strKey) + "=" + ScrambleString(entry.strValue) + "\r\n";
    }
    strOut += "\r\n";
  }
  return strOut;
}
