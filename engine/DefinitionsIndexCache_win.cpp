#include "engine/DefinitionsIndexCache_win.h"

#include <windows.h>

#include <cstdint>
#include <exception>
#include <mutex>
#include <string>

#include "definitions/ProfileText.h"
#include "shared/FileStamp_win.h"
#include "shared/OwnedResources_win.h"

namespace {

// A file written this recently may be written again within the same tick of its
// last write time (coarse clocks move in steps of some milliseconds): its content
// is read again at the next look until it is older.
constexpr ULONGLONG kSettledAfter100ns = 50 * 10000;

// The file read in pieces, so that it is never held whole.
constexpr DWORD kPieceSize = 1 << 20;

// The file's bytes handed to fnPiece in pieces; no file at all hands nothing, which
// lists nothing, as for the profile reader. False when the file is there but cannot
// be read.
bool ReadFilePieces(const std::string& strPath, const CDefinitionsIndex::FPiece& fnPiece) {
  if (strPath.empty()) return true;
  CCloseFile file(::CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD dwError = ::GetLastError();
    return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
  }
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
  std::string strPiece(kPieceSize, '\0');
  // Up to the size seen at the start: a file that grows meanwhile is read again at the next look.
  for (ULONGLONG nLeft = static_cast<ULONGLONG>(size.QuadPart); nLeft > 0;) {
    DWORD dwRead = 0;
    const DWORD dwWanted = nLeft < kPieceSize ? static_cast<DWORD>(nLeft) : kPieceSize;
    if (!::ReadFile(file.Get(), &strPiece[0], dwWanted, &dwRead, nullptr)) return false;
    if (dwRead == 0) break;  // cut short while being written: read again at the next look
    fnPiece(std::string_view(strPiece.data(), dwRead));
    nLeft -= dwRead;
  }
  return true;
}

// What tells one content from another, and the first bytes, where a byte-order mark
// would be.
struct SFileContent {
  uint64_t nHash = 14695981039346656037ull;  // FNV-1a over the bytes, then their count
  uint64_t cbData = 0;
  std::string strHead;
};

bool ReadContent(const std::string& strPath, SFileContent& content) {
  const bool bRead = ReadFilePieces(strPath, [&content](std::string_view piece) {
    for (unsigned char c : piece) content.nHash = (content.nHash ^ c) * 1099511628211ull;
    content.cbData += piece.size();
    if (content.strHead.size() < 3) content.strHead.append(piece.substr(0, 3 - content.strHead.size()));
  });
  content.nHash ^= content.cbData;
  return bRead;
}

// The index reads bytes; the profile reader hands back what the ANSI code page
// makes of them. Both agree only when the code page keeps every byte as one
// character of its own; a multi-byte code page (such as 932) or one with undefined
// bytes does not, and the file is walked there.
bool AnsiCodePageKeepsEveryByte() {
  for (int c = 1; c < 256; ++c) {
    const char cByte = static_cast<char>(c);
    WCHAR wsz[2] = {};
    if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &cByte, 1, wsz, 2) != 1) return false;
    char szBack[4] = {};
    BOOL bDefaulted = FALSE;
    if (::WideCharToMultiByte(CP_ACP, 0, wsz, 1, szBack, sizeof(szBack), nullptr, &bDefaulted) != 1 || bDefaulted ||
        szBack[0] != cByte) {
      return false;
    }
  }
  return true;
}

// The profile reader looks for a bare file name in the Windows folder.
std::string ProfilePath(const char* szPath) {
  std::string strPath(szPath ? szPath : "");
  // No name at all (the paths are not set yet) names no file.
  if (strPath.empty() || strPath.find_first_of("\\/") != std::string::npos) return strPath;
  char szFolder[MAX_PATH] = "";
  const UINT nLength = ::GetWindowsDirectoryA(szFolder, MAX_PATH);
  if (nLength == 0 || nLength >= MAX_PATH) return strPath;
  return std::string(szFolder) + "\\" + strPath;
}

class CIndexCache {
 public:
  std::shared_ptr<const CDefinitionsIndex> Get(const char* szPath) {
    const std::string strPath = ProfilePath(szPath);
    std::shared_ptr<const CDefinitionsIndex> pIndex;
    if (Fresh(strPath, pIndex)) return pIndex;
    std::unique_lock<std::mutex> refresh(m_refresh, std::try_to_lock);
    if (!refresh.owns_lock()) {
      // Another thread looks at the file: answer from what was, if anything was.
      if (Known(strPath, pIndex)) return pIndex;
      refresh.lock();
      if (Fresh(strPath, pIndex)) return pIndex;
    }
    try {
      return Refresh(strPath);
    } catch (const std::exception&) {
      return nullptr;  // out of memory for this file: walked instead
    }
  }

 private:
  bool Known(const std::string& strPath, std::shared_ptr<const CDefinitionsIndex>& pIndex) {
    std::lock_guard<std::mutex> lock(m_state);
    if (!m_bKnown || m_strPath != strPath) return false;
    pIndex = m_pIndex;
    return true;
  }
  bool Fresh(const std::string& strPath, std::shared_ptr<const CDefinitionsIndex>& pIndex) {
    std::lock_guard<std::mutex> lock(m_state);
    if (!m_bKnown || m_strPath != strPath || ::GetTickCount64() - m_nLookedAt >= kDefinitionsRecheckMs) return false;
    pIndex = m_pIndex;
    return true;
  }

  // Runs under m_refresh: one thread at a time reads and builds.
  std::shared_ptr<const CDefinitionsIndex> Refresh(const std::string& strPath) {
    const SFileStamp version = StampOfFile(strPath);
    {
      std::lock_guard<std::mutex> lock(m_state);
      if (m_bKnown && m_strPath == strPath && m_version == version && !m_bUnsettled) {
        m_nLookedAt = ::GetTickCount64();
        return m_pIndex;
      }
    }
    SFileContent content;
    if (!ReadContent(strPath, content)) return nullptr;  // walked this time, looked at again next time
    const uint64_t nHash = content.nHash;
    std::shared_ptr<const CDefinitionsIndex> pIndex;
    bool bSame = false;
    {
      std::lock_guard<std::mutex> lock(m_state);
      bSame = m_bKnown && m_strPath == strPath && m_nHash == nHash;
      if (bSame) pIndex = m_pIndex;
    }
    if (!bSame && !CProfileText::IsOtherEncoding(content.strHead)) {
      // The tables read the file again, each when it is first needed.
      pIndex = std::make_shared<const CDefinitionsIndex>(
          [strPath](const CDefinitionsIndex::FPiece& fnPiece) { return ReadFilePieces(strPath, fnPiece); });
      // The tables in use are built before the new index replaces the old one, so
      // that meanwhile the other threads answer from the old one.
      std::shared_ptr<const CDefinitionsIndex> pOld;
      if (Known(strPath, pOld) && pOld) {
        for (int i = 0; i < CDefinitionsIndex::kTables; ++i) {
          const auto table = static_cast<CDefinitionsIndex::ETable>(i);
          if (pOld->IsBuilt(table)) pIndex->Prepare(table);
        }
      }
    }
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    std::lock_guard<std::mutex> lock(m_state);
    m_bKnown = true;
    m_strPath = strPath;
    m_version = version;
    m_bUnsettled = version.bFound && FileTimeNumber(now) - version.nLastWrite < kSettledAfter100ns;
    m_nHash = nHash;
    m_pIndex = pIndex;  // the index replaced goes with its last reader
    m_nLookedAt = ::GetTickCount64();
    return pIndex;
  }

  std::mutex m_refresh;
  std::mutex m_state;  // guards the members below; held only to copy them
  bool m_bKnown = false;
  std::string m_strPath;
  SFileStamp m_version;
  bool m_bUnsettled = false;
  uint64_t m_nHash = 0;
  std::shared_ptr<const CDefinitionsIndex> m_pIndex;
  ULONGLONG m_nLookedAt = 0;
};

}  // namespace

std::shared_ptr<const CDefinitionsIndex> CurrentDefinitionsIndex(const char* szPath) {
  static const bool bIndexable = AnsiCodePageKeepsEveryByte();
  if (!bIndexable) return nullptr;
  static CIndexCache cache;
  return cache.Get(szPath);
}
