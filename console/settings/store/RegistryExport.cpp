#include "console/settings/store/RegistryExport.h"

#include <cstdio>
#include <memory>

namespace {

enum : std::uint32_t {
  kRegExpandSz = 2,
  kRegDword = 4,
  kRegMultiSz = 7,
};

// Inside double quotes: the registry editor reads \\ and \" back.
std::string Quoted(const std::string& strText) {
  std::string str = "\"";
  for (const char c : strText) {
    if (c == '\\' || c == '"') str += '\\';
    str += c;
  }
  str += '"';
  return str;
}

// Each byte as two lower-case hex digits, separated by szSeparator.
std::string HexBytes(const std::string& strData, const char* szSeparator) {
  static const char kDigits[] = "0123456789abcdef";
  std::string str;
  str.reserve(strData.size() * 3);
  for (std::size_t i = 0; i < strData.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(strData[i]);
    if (i > 0) str += szSeparator;
    str += kDigits[b >> 4];
    str += kDigits[b & 15];
  }
  return str;
}

// "hex:" or "hex(N):", then the bytes separated by commas.
std::string HexData(const char* szPrefix, const std::string& strData) {
  return szPrefix + HexBytes(strData, ",");
}

// Text the editor reads back from quotes unchanged: no control character and no
// zero byte except one at the end, which is not written.
bool IsPlainText(const std::string& strData, std::string* pText) {
  std::string strText = strData;
  if (!strText.empty() && strText.back() == 0) strText.pop_back();
  for (const char c : strText) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  }
  *pText = strText;
  return true;
}

std::string FormatData(std::uint32_t dwType, const std::string& strData) {
  switch (dwType) {
    case STORE_REG_SZ: {
      std::string strText;
      if (IsPlainText(strData, &strText)) return Quoted(strText);
      return HexData("hex(1):", strData);
    }
    case kRegExpandSz:
      return HexData("hex(2):", strData);
    case STORE_REG_BINARY:
      return HexData("hex:", strData);
    case kRegDword:
      // Most significant byte first; a size other than 4 keeps its bytes.
      if (strData.size() == 4) return "dword:" + HexBytes(std::string(strData.rbegin(), strData.rend()), "");
      return HexData("hex(4):", strData);
    case kRegMultiSz:
      return HexData("hex(7):", strData);
  }
  // Any other type keeps its bytes and number, so that nothing is lost.
  char szPrefix[24];
  std::snprintf(szPrefix, sizeof(szPrefix), "hex(%x):", static_cast<unsigned>(dwType));
  return HexData(szPrefix, strData);
}

CResult ExportKey(IStoreKey& key, const std::string& strPath, IExportLines& lines) {
  for (const std::string& strName : key.ValueNames()) {
    std::uint32_t dwType = 0;
    std::string strData;
    // A value that went away since the names were listed is left out.
    if (!key.ReadTypedValue(strName.c_str(), &dwType, &strData)) continue;
    const CResult written = lines.WriteLine(FormatValueLine(strName, dwType, strData));
    if (!written.IsOk()) return written;
  }
  for (const std::string& strName : key.SubKeyNames()) {
    const std::unique_ptr<IStoreKey> pSubKey = key.OpenSubKey(strName.c_str());
    if (!pSubKey) continue;  // a subkey that does not open is skipped without its line
    const std::string strSubPath = strPath + "\\" + strName;
    CResult written = lines.WriteLine("[" + strSubPath + "]");
    if (written.IsOk()) written = ExportKey(*pSubKey, strSubPath, lines);
    if (!written.IsOk()) return written;
  }
  return CResult();
}

}  // namespace

std::string FormatValueLine(const std::string& strName, std::uint32_t dwType, const std::string& strData) {
  const std::string strLeft = strName.empty() ? "@" : Quoted(strName);
  return strLeft + "=" + FormatData(dwType, strData);
}

CResult ExportRegistryTree(IStoreKey* pRoot, const std::string& strRootPath, IExportLines& lines) {
  if (!pRoot) return CResult();  // the file stays empty
  for (const std::string& strLine :
       {std::string("REGEDIT4"), std::string("REGEDIT4"), std::string(), "[" + strRootPath + "]"}) {
    const CResult written = lines.WriteLine(strLine);
    if (!written.IsOk()) return written;
  }
  return ExportKey(*pRoot, strRootPath, lines);
}
