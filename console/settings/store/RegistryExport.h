// The console's own registry exporter: writes a key tree as REGEDIT4 text that the
// system's registry editor imports again. The header lines, then the root's key
// line and values, then every subkey depth first, each line on its own.
//
// What the registry editor needs to bring the values back as they were:
//   - names and texts in double quotes, a backslash and a double quote escaped;
//   - texts that are not plain text (a line feed of a mail link, the raw bytes of
//     a mail entry's "Port", any zero byte other than a terminating one) as
//     "hex(1):" with their bytes, which the editor stores byte for byte;
//   - names and data of any length.
#pragma once

#include <cstdint>
#include <string>

#include "console/settings/store/StoreKey.h"

constexpr const char* kBackupRootPath = "HKEY_CURRENT_USER\\Software\\Corvinth\\Hookwarden";

// Where the exporter's lines go; every line is written (and flushed) on its own.
class IExportLines {
 public:
  virtual ~IExportLines() = default;
  // strLine without its line end; a failure says why it could not be written.
  virtual CResult WriteLine(const std::string& strLine) = 0;
};

// The value line for one value: "NAME"=DATA, or @=DATA for the empty name.
std::string FormatValueLine(const std::string& strName, std::uint32_t dwType, const std::string& strData);

// The two "REGEDIT4" lines and the empty line, the key line of strRootPath, its
// values and subkeys. Without pRoot (the key did not open) nothing is written.
// Ends with the failure of the first line that could not be written.
CResult ExportRegistryTree(IStoreKey* pRoot, const std::string& strRootPath, IExportLines& lines);
