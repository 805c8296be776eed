// A file's new contents put in its place: a reader finds the old or the new file,
// and what fails leaves the old one and nothing beside it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "shared/ReadWholeFile_win.h"
#include "shared/RenameOver_win.h"
#include "support/TempFolder_win.h"

namespace {

std::string Contents(const std::string& strPath) {
  std::string strData;
  return ReadWholeFile(strPath, 1 << 20, &strData) ? strData : "(unreadable)";
}

bool Exists(const std::string& strPath) {
  return ::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(ReplacingFile, ReplacesOnlyWhenCommittedAndLeavesNothingBeside) {
  CTempFolder folder;
  const std::string strPath = folder.Path() + "\\file.hwd", strBeside = strPath + kBesideFileSuffix;
  WriteFileBytes(strPath, "old");

  const CResult replaced = ReplaceFileContents(strPath, "new contents");
  EXPECT_TRUE(replaced.IsOk()) << replaced.Code();
  EXPECT_EQ("new contents", Contents(strPath));
  EXPECT_FALSE(Exists(strBeside));

  {
    CReplacingFile file;
    ASSERT_TRUE(file.Create(strPath).IsOk());
    ASSERT_TRUE(file.Write("abandoned", 9).IsOk());
    EXPECT_EQ("new contents", Contents(strPath));  // written beside until committed
  }
  EXPECT_EQ("new contents", Contents(strPath));
  EXPECT_FALSE(Exists(strBeside));

  // A reader that does not share deletion keeps the old file: the failure is the
  // system's, and the new contents do not stay beside it.
  {
    CCloseFile reader(::CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    const CResult blocked = ReplaceFileContents(strPath, "blocked");
    EXPECT_FALSE(blocked.IsOk());
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), blocked.Code());
  }
  EXPECT_EQ("new contents", Contents(strPath));
  EXPECT_FALSE(Exists(strBeside));
}

}  // namespace
