// The working definitions file made from the shipped one: each failure names the
// step that failed, which decides what start-up and the running console do next.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "definitions/ShippedDefinitionsText.h"
#include "console/core/WorkingDefinitions_win.h"
#include "definitions/Scrambling.h"
#include "support/TempFolder_win.h"

namespace {

std::string ReadBytes(const std::string& strPath) {
  std::ostringstream bytes;
  bytes << std::ifstream(strPath, std::ios::binary).rdbuf();
  return bytes.str();
}

TEST(WorkingDefinitions, EachFailureNamesItsStepAndLeavesTheWorkingFile) {
  CTempFolder folder;
  const std::string strShipped = folder.Path() + "\\hkwdn1.hwd", strWorking = folder.Path() + "\\hkwdn2.hwd";
  const std::string strText =
      "[" + ScrambleString("HostIP") + "]\r\n" + ScrambleString("IP1") + "=" + ScrambleString("192.0.2.1") + "\r\n";
  std::string strEncrypted;
  ASSERT_TRUE(EncryptShippedDefinitions(strText, "12/09/2026", strEncrypted).IsOk());
  std::string strNoDefinitions;
  ASSERT_TRUE(EncryptShippedDefinitions("[Mine]\r\nX=1\r\n", "12/09/2026", strNoDefinitions).IsOk());

  const struct {
    const char* szCase;
    std::string strShippedBytes;  // empty: no shipped file
    std::uint32_t dwCode;
  } kCases[] = {
      {"no shipped file", "", ERROR_OPEN_FAILED},
      {"not whole blocks", strEncrypted.substr(0, strEncrypted.size() - 3), ERROR_BAD_FORMAT},
      {"no section the matchers read", strNoDefinitions, ERROR_INVALID_DATA},
  };
  WriteFileBytes(strWorking, "in use");
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.szCase);
    ::DeleteFileA(strShipped.c_str());
    if (!c.strShippedBytes.empty()) WriteFileBytes(strShipped, c.strShippedBytes);
    const CResult written = WriteWorkingDefinitionsFile(strShipped, strWorking, EWorkingWrite::BesideThenRename);
    EXPECT_EQ(c.dwCode, written.Code());
    EXPECT_FALSE(written.Text().empty());  // the reason, for the log
    EXPECT_EQ("in use", ReadBytes(strWorking));
  }

  WriteFileBytes(strShipped, strEncrypted);
  const CResult noFolder =
      WriteWorkingDefinitionsFile(strShipped, folder.Path() + "\\gone\\hkwdn2.hwd", EWorkingWrite::InPlace);
  EXPECT_EQ(static_cast<std::uint32_t>(ERROR_CANNOT_MAKE), noFolder.Code());

  const CResult written = WriteWorkingDefinitionsFile(strShipped, strWorking, EWorkingWrite::BesideThenRename);
  ASSERT_TRUE(written.IsOk()) << written.Code() << " " << written.Text();
  const std::string strWritten = ReadBytes(strWorking);
  EXPECT_EQ(strEncrypted.size(), strWritten.size());
  EXPECT_EQ("\r\n" + strText, strWritten.substr(kShippedHeaderBytes - 2, strText.size() + 2));
}

}  // namespace
