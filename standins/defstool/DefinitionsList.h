// The plain list of definitions that the definitions tool reads, and the scrambled
// INI text of the working definitions file that it writes from it.
//
// Plain list: "[Section]" lines and "key=value" lines; blanks around section
// names, keys and values are dropped; empty lines and lines starting with ";" or
// "#" are comments. A section that appears twice is continued.
#pragma once

#include <string>
#include <vector>

#include "shared/Result.h"

struct SDefinitionEntry {
  std::string strKey;
  std::string strValue;
  int nLine = 0;  // line in the plain list, from 1
};

struct SDefinitionSection {
  std::string strName;
  int nLine = 0;
  std::vector<SDefinitionEntry> entries;
};

using DefinitionsList = std::vector<SDefinitionSection>;

// The list, or RESULT_INVALID_DATA with a message naming the line when it is
// malformed: an entry before any section, a line that is neither, an unclosed
// section name, an empty key or a key given twice in one section.
CResultOf<DefinitionsList> ParsePlainDefinitions(const std::string& strText);

// The working definitions file: every section name, key and value scrambled, lines
// ended with carriage return and line feed.
std::string WriteWorkingDefinitions(const DefinitionsList& list);
