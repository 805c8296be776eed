// Entries that read back well but that no matcher would ever look at: sections the
// matchers do not read, keys that are not a section's prefix with a counter, and
// entries behind the end of a list (the first missing counter or empty value).
#pragma once

#include <string>
#include <vector>

#include "standins/defstool/DefinitionsList.h"

// One message per such entry, naming its line; empty when every entry is used.
std::vector<std::string> FindUnusedEntries(const DefinitionsList& list);
