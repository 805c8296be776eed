// The feeds that come as JSON: the whole text is checked (nlohmann-json), and the
// elements of the top-level object's arrays that carry the wanted names are handed
// back, each with its line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "shared/Result.h"

struct SJsonListItem {
  std::string strText;  // the string element, escapes decoded to UTF-8
  std::size_t nLine;    // its line in the text, from 1
  bool bString;         // false: the element is not a string (strText empty)
};

// The elements of the arrays with the wanted names, or RESULT_INVALID_DATA with a
// message naming the line for text that is not one JSON object (nesting deeper
// than 64 levels counts as broken; a byte-order mark before it is allowed). Arrays
// of the wanted names that appear more than once are all taken.
CResultOf<std::vector<SJsonListItem>> ReadJsonLists(const std::string& strText, const std::vector<std::string>& names);
