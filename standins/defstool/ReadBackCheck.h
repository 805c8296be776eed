// Which definitions would not read back as written once scrambled and read by the
// system's private-profile reader, and why.
#pragma once

#include <string>
#include <vector>

#include "definitions/DefinitionsLayout.h"
#include "standins/defstool/DefinitionsList.h"

// Longest value the readers take whole (the definitions layout): 260 characters,
// 99 in the "HostIP" section.
std::size_t ValueLimitOf(const std::string& strSection);

// What goes wrong with one plain section name, key name or value, or empty text
// when it reads back unchanged. The message names the character position (from 1).
enum class EDefinitionPart { Section, Key, Value };
std::string FindReadBackFault(const std::string& strPlain, EDefinitionPart part,
                              std::size_t nValueLimit = kValueSize - 1);

// One message per fault in the list, each naming the line, section, key and
// position; empty when every entry reads back as written. Also refuses two names
// whose scrambled forms the reader would take for one (it ignores letter case).
std::vector<std::string> FindReadBackFaults(const DefinitionsList& list);
