// The plain list of definitions that the definitions tool reads, and the scrambled
// INI text of the working definitions file that it writes from it.
//
// Plain list: "[Section]" lines and "key=value" lines; blanks around section
// names, keys and values are dropped; empty lines and lines starting with ";" or
// "#" are comments. A section that appears twice is continued.
#pragma once

#include <string>
#include <vector>

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

// False with a message naming the line when the list is malformed: an entry before
// any section, a line that is neither, an unclosed section name, an empty key or a
// key given twice in one section.
bool ParsePlainDefinitions(const std::string& strText, DefinitionsList& list, std::string& strError);

// The working definitions file: every section name, key and value scrambled, lines
// ended with carriage return and line feed.
std::string WriteWorkingDefinitions(const DefinitionsList& list);
