// The folder the engine reads the working definitions file from: "Data Path" only
// says that the console keeps it in the user's own folder, which must be a plain
// local path.
#include <gtest/gtest.h>

#include <string>

#include "engine/WorkingDefinitionsFolder.h"

namespace {

const std::string kApp = "C:\\Program Files\\Hookwarden";
const std::string kOwn = "C:\\Users\\ann\\AppData\\Local\\Hookwarden";

struct SFolderCase {
  const char* szDataPath;
  const char* szOwnFolder;
  bool bOwn;  // false: the application folder
};

class WorkingDefinitionsFolderTest : public ::testing::TestWithParam<SFolderCase> {};

TEST_P(WorkingDefinitionsFolderTest, IsTheUsersOwnLocalFolderOrTheApplicationFolder) {
  const SFolderCase& c = GetParam();
  EXPECT_EQ(c.bOwn ? std::string(c.szOwnFolder) : kApp, WorkingDefinitionsFolder(kApp, c.szDataPath, c.szOwnFolder))
      << "Data Path '" << c.szDataPath << "', own folder '" << c.szOwnFolder << "'";
}

INSTANTIATE_TEST_SUITE_P(DataPathAndOwnFolder, WorkingDefinitionsFolderTest,
                         ::testing::Values(
                             // Without "Data Path", as earlier consoles: the application folder.
                             SFolderCase{"", kOwn.c_str(), false},
                             // The value as the console writes it, or naming another place altogether:
                             // the user's own folder.
                             SFolderCase{kOwn.c_str(), kOwn.c_str(), true},
                             SFolderCase{"\\\\attacker.example\\share", kOwn.c_str(), true},
                             // An own folder that is plain and local in another spelling is still its own.
                             SFolderCase{kOwn.c_str(), "c:/Users//ann\\AppData\\Local\\Hookwarden\\", true},
                             // An own folder that is unknown or not a plain local path: the application folder.
                             SFolderCase{kOwn.c_str(), "", false},
                             SFolderCase{kOwn.c_str(), "\\\\server\\profiles\\ann\\Hookwarden", false},
                             SFolderCase{kOwn.c_str(), "\\\\?\\C:\\Users\\ann\\AppData\\Local\\Hookwarden", false},
                             SFolderCase{kOwn.c_str(), "C:Users\\ann\\AppData\\Local\\Hookwarden", false},
                             SFolderCase{kOwn.c_str(), "Users\\ann\\AppData\\Local\\Hookwarden", false},
                             SFolderCase{kOwn.c_str(), "C:\\Users\\ann\\..\\bob\\AppData\\Local\\Hookwarden", false},
                             SFolderCase{kOwn.c_str(), "C:\\Users\\ann \\AppData\\Local\\Hookwarden", false},
                             SFolderCase{kOwn.c_str(), "C:\\Users\\ann\\AppData\\Local\\Hookwarden:stream", false},
                             SFolderCase{kOwn.c_str(), "C:\\Users\\ann\\AppData\\Local\\Hook\twarden", false},
                             SFolderCase{kOwn.c_str(), "1:\\Users", false}));

TEST(PlainLocalPath, LengthIsBoundedAt260Characters) {
  const std::string strLongest = "C:\\" + std::string(257, 'a');
  EXPECT_TRUE(IsPlainLocalPath(strLongest));
  EXPECT_FALSE(IsPlainLocalPath(strLongest + "a"));
  EXPECT_TRUE(IsPlainLocalPath("C:\\"));
  EXPECT_FALSE(IsPlainLocalPath("C:"));
}

}  // namespace
