// The difference from one plain list to the next (definitions/DefinitionsDifference.h),
// for updates that fetch only what changed.
#pragma once

#include <string>

#include "shared/Result.h"
#include "standins/defstool/DefinitionsList.h"

// The difference's text, checked by applying it to the old list's working text,
// which must give the new list's exactly. RESULT_INVALID_DATA with the reason when
// the lists do not allow one: sections added, removed or reordered; a changed section the
// matchers do not read, or whose keys are not its lists' prefixes numbered from 1
// in the tool's order; a value with a line end. Only the whole file is then offered.
CResultOf<std::string> MakeDefinitionsDifference(const DefinitionsList& oldList, const DefinitionsList& newList);
