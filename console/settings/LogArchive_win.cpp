#include "console/settings/LogArchive_win.h"

#include <windows.h>

#include "console/settings/LogArchive.h"
#include "shared/OwnedResources_win.h"

namespace {

constexpr DWORD COPY_CHUNK_BYTES = 200;

bool WriteAll(HANDLE hFile, const void* pData, DWORD cbData) {
  DWORD cbWritten = 0;
  return ::WriteFile(hFile, pData, cbData, &cbWritten, nullptr) && cbWritten == cbData;
}

}  // namespace

SLocalTime CurrentLocalTime() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  SLocalTime now;
  now.wYear = st.wYear;
  now.wMonth = st.wMonth;
  now.wDayOfWeek = st.wDayOfWeek;
  now.wDay = st.wDay;
  now.wHour = st.wHour;
  now.wMinute = st.wMinute;
  now.wSecond = st.wSecond;
  now.wMilliseconds = st.wMilliseconds;
  return now;
}

std::string RunArchiveCheck(CAlertLogSettings& settings, const std::string& strAppFolder, const SLocalTime& now,
                            const SArchiveTexts& texts, const CPolicies& policies) {
  const std::int32_t nPeriod = policies.NumberOr(EPolicy::ArchiveLogDays, settings.GetArchivePeriod());
  if (ElapsedArchiveDays(now, settings.GetArchiveStartTime()) < nPeriod) return std::string();
  // A new period begins whether or not the archive is taken.
  settings.SetArchiveStartTime(now);
  if (policies.NumberOr(EPolicy::ArchiveLog, settings.GetArchiveOn()) == 0) return std::string();
  return ArchiveLogFile(strAppFolder, settings.GetLogFilePath(), now, texts);
}

std::string ArchiveLogFile(const std::string& strAppFolder, const std::string& strLogFilePath, const SLocalTime& now,
                           const SArchiveTexts& texts) {
  const std::string strFolder = strAppFolder + "\\LogBackup";
  if (::GetFileAttributesA(strFolder.c_str()) == INVALID_FILE_ATTRIBUTES)
    ::CreateDirectoryA(strFolder.c_str(), nullptr);

  const std::string strName = ArchiveFileName(now);
  const std::string strPath = strFolder + "\\" + strName;
  CCloseFile archive(::CreateFileA(strPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!archive) return std::string();

  // Read-only and shared: the program that writes the log may hold it open, and
  // the archive never changes it.
  CCloseFile log(::CreateFileA(strLogFilePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!log) return strPath;

  const std::string strHeader = ArchiveHeader(texts.strAppTitle, texts.strVersion, strName);
  if (!WriteAll(archive.Get(), strHeader.data(), static_cast<DWORD>(strHeader.size()))) return strPath;
  char abChunk[COPY_CHUNK_BYTES];
  for (;;) {
    DWORD cbRead = 0;
    if (!::ReadFile(log.Get(), abChunk, sizeof(abChunk), &cbRead, nullptr)) break;
    if (cbRead > 0 && !WriteAll(archive.Get(), abChunk, cbRead)) break;
    if (cbRead < sizeof(abChunk)) break;
  }
  return strPath;
}
