#include "engine/WorkingDefinitionsFolder.h"

namespace {

constexpr std::size_t kMaxPathChars = 260;

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

bool IsPlainLocalPath(const std::string& strPath) {
  if (strPath.size() < 3 || strPath.size() > kMaxPathChars || !IsDriveLetter(strPath[0]) || strPath[1] != ':' ||
      !IsSeparator(strPath[2])) {
    return false;
  }
  std::string strName;
  for (std::size_t i = 3; i <= strPath.size(); ++i) {
    const char c = i < strPath.size() ? strPath[i] : '\\';
    if (!IsSeparator(c)) {
      if (static_cast<unsigned char>(c) < 0x20 || std::string(":*?\"<>|").find(c) != std::string::npos) return false;
      strName += c;
    } else if (!strName.empty()) {                                       // else a repeated or trailing separator
      if (strName.back() == '.' || strName.back() == ' ') return false;  // also "." and ".."
      strName.clear();
    }
  }
  return true;
}

std::string WorkingDefinitionsFolder(const std::string& strAppPath, const std::string& strDataPath,
                                     const std::string& strOwnFolder) {
  if (strDataPath.empty() || !IsPlainLocalPath(strOwnFolder)) return strAppPath;
  return strOwnFolder;
}
