// Source of definition entries for the matchers. In the engine library it is the
// scrambled working definitions file; tests and fuzz targets hand in their own.
#pragma once

class IDefinitionReader {
 public:
  virtual ~IDefinitionReader() = default;

  // Reads the value of the plain key szKey in the plain section szSection into
  // szOut (at most dwOutSize bytes, terminator included; always terminated).
  // Returns the number of characters read: 0 when the key is missing or empty.
  virtual unsigned long ReadEntry(const char* szSection, const char* szKey, char* szOut,
                                  unsigned long dwOutSize) const = 0;
};
