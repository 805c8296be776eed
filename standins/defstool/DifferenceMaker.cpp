#include "standins/defstool/DifferenceMaker.h"

#include <unordered_map>
#include <vector>

#include "definitions/DefinitionsLayout.h"
#include "definitions/DefinitionsDifference.h"

namespace {

CResult NoDifference(const std::string& strWhy) {
  return CResult(RESULT_INVALID_DATA, strWhy);
}

bool SameEntries(const SDefinitionSection& a, const SDefinitionSection& b) {
  if (a.entries.size() != b.entries.size()) return false;
  for (std::size_t i = 0; i < a.entries.size(); ++i) {
    if (a.entries[i].strKey != b.entries[i].strKey || a.entries[i].strValue != b.entries[i].strValue) return false;
  }
  return true;
}

// The section's numbered entries, each the values of its lists joined by line
// feeds (no value holds one); false when the keys are not in the tool's order.
bool GroupsOf(const SDefinitionSection& section, const std::vector<const char*>& prefixes,
              std::vector<std::string>& groups) {
  const std::size_t k = prefixes.size();
  if (section.entries.size() % k != 0) return false;
  groups.assign(section.entries.size() / k, std::string());
  for (std::size_t t = 0; t < section.entries.size(); ++t) {
    const auto& entry = section.entries[t];
    if (entry.strKey != prefixes[t % k] + std::to_string(t / k + 1)) return false;
    if (entry.strValue.find_first_of("\r\n") != std::string::npos) return false;
    if (t % k != 0) groups[t / k] += '\n';
    groups[t / k] += entry.strValue;
  }
  return true;
}

void AddValues(char cOp, const std::string& strGroup, SDifferenceSection& changes) {
  std::size_t nStart = 0;
  for (;;) {
    const std::size_t nEnd = strGroup.find('\n', nStart);
    SDifferenceStep step;
    step.cOp = cOp;
    step.strValue = strGroup.substr(nStart, nEnd - nStart);
    changes.steps.push_back(std::move(step));
    if (nEnd == std::string::npos) break;
    nStart = nEnd + 1;
  }
}

// Walks both lists once: equal entries are kept; an old entry the rest of the new
// list lacks is removed; a new entry the rest of the old list lacks is added; an
// entry that only moved is removed here and added where it now stands.
void DiffGroups(const std::vector<std::string>& oldGroups, const std::vector<std::string>& newGroups,
                SDifferenceSection& changes) {
  std::unordered_map<std::string, int> oldLeft, newLeft;
  for (const auto& group : oldGroups) ++oldLeft[group];
  for (const auto& group : newGroups) ++newLeft[group];
  std::size_t i = 0, j = 0, nKeep = 0;
  auto flushKeep = [&] {
    if (nKeep == 0) return;
    SDifferenceStep step;
    step.nKeep = nKeep;
    changes.steps.push_back(step);
    nKeep = 0;
  };
  while (i < oldGroups.size() || j < newGroups.size()) {
    if (i < oldGroups.size() && j < newGroups.size() && oldGroups[i] == newGroups[j]) {
      --oldLeft[oldGroups[i++]];
      --newLeft[newGroups[j++]];
      ++nKeep;
      continue;
    }
    flushKeep();
    const bool bOldStaysLater = i < oldGroups.size() && newLeft[oldGroups[i]] > 0;
    if (j < newGroups.size() && (i == oldGroups.size() || (bOldStaysLater && oldLeft[newGroups[j]] == 0))) {
      AddValues('+', newGroups[j], changes);
      --newLeft[newGroups[j++]];
    } else {
      AddValues('-', oldGroups[i], changes);
      --oldLeft[oldGroups[i++]];
    }
  }
}

}  // namespace

CResultOf<std::string> MakeDefinitionsDifference(const DefinitionsList& oldList, const DefinitionsList& newList) {
  if (oldList.size() != newList.size()) return NoDifference("the lists do not have the same sections");
  SDefinitionsDifference difference;
  for (std::size_t s = 0; s < oldList.size(); ++s) {
    const auto& oldSection = oldList[s];
    const auto& newSection = newList[s];
    if (oldSection.strName != newSection.strName) return NoDifference("the lists do not have the same sections");
    if (SameEntries(oldSection, newSection)) continue;
    const std::vector<const char*> prefixes = KeyPrefixesOfSection(oldSection.strName);
    if (prefixes.empty()) return NoDifference("section \"" + oldSection.strName + "\" is read by no matcher");
    std::vector<std::string> oldGroups, newGroups;
    if (!GroupsOf(oldSection, prefixes, oldGroups) || !GroupsOf(newSection, prefixes, newGroups)) {
      return NoDifference("the keys of section \"" + oldSection.strName + "\" are not numbered from 1 in order");
    }
    difference.sections.push_back(SDifferenceSection{oldSection.strName, {}});
    DiffGroups(oldGroups, newGroups, difference.sections.back());
  }
  std::string strDifference = WriteDefinitionsDifference(difference);
  // What the updater will do with it must give the new list's file exactly.
  const CResultOf<SDefinitionsDifference> readBack = ParseDefinitionsDifference(strDifference);
  if (!readBack.IsOk()) return readBack.Result();
  const CResultOf<std::string> applied = ApplyDefinitionsDifference(WriteWorkingDefinitions(oldList), readBack.Value());
  if (!applied.IsOk()) return applied.Result();
  if (applied.Value() != WriteWorkingDefinitions(newList)) {
    return NoDifference("the difference would not give the new list's file");
  }
  return strDifference;
}
