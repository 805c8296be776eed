// What a parse error of nlohmann-json says, for a reader's own message: without the
// error's number and position (each reader names the position its own way) and
// without the bytes it last read, which echo the input, up to a whole text.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

inline std::string JsonFaultText(const nlohmann::json::exception& error) {
  std::string strText = error.what();  // "[json.exception...] parse error at line 1, column 2: what; last read: ..."
  const std::size_t nPosition = strText.find(": ");
  if (nPosition != std::string::npos) strText.erase(0, nPosition + 2);
  const std::size_t nEcho = strText.find("; last read:");
  if (nEcho != std::string::npos) strText.erase(nEcho);
  return strText;
}
