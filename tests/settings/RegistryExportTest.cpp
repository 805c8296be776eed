// The registry exporter's text: value lines by type, the escapes and hex forms
// that let the registry editor read every value back, and the tree's layout.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "console/settings/store/RegistryExport.h"
#include "fuzz/MemoryStoreKey.h"

namespace {

class CCollectedLines : public IExportLines {
 public:
  CResult WriteLine(const std::string& strLine) override {
    if (nFailAt == static_cast<int>(lines.size())) return CResult(RESULT_CANT_WRITE);
    lines.push_back(strLine);
    return CResult();
  }
  std::vector<std::string> lines;
  int nFailAt = -1;
};

std::string Bytes(std::initializer_list<int> bytes) {
  std::string str;
  for (const int b : bytes) str += static_cast<char>(b);
  return str;
}

// The registry's type numbers beyond the two the settings write.
enum : std::uint32_t {
  kRegExpandSz = 2,
  kRegDword = 4,
  kRegMultiSz = 7,
  kRegQword = 11,
};

struct SValueLineCase {
  const char* szName;
  std::uint32_t dwType;
  std::string strData;
  const char* szLine;
};

void PrintTo(const SValueLineCase& c, std::ostream* pOut) {
  *pOut << c.szLine;
}

class ValueLines : public ::testing::TestWithParam<SValueLineCase> {};

// What the registry editor reads back is shown with the editor itself
// (RegistryBackupTest_win.cpp); here the forms of the file.
TEST_P(ValueLines, ByType) {
  const SValueLineCase& c = GetParam();
  EXPECT_EQ(c.szLine, FormatValueLine(c.szName, c.dwType, c.strData));
}

INSTANTIATE_TEST_SUITE_P(
    RegistryExport, ValueLines,
    ::testing::Values(SValueLineCase{"App Path", STORE_REG_SZ, std::string("C:\\Program Files\\Hookwarden\0", 28),
                                     R"("App Path"="C:\\Program Files\\Hookwarden")"},
                      SValueLineCase{"", STORE_REG_SZ, "", "@=\"\""},
                      SValueLineCase{"n", STORE_REG_BINARY, Bytes({1, 0, 0, 0}), "\"n\"=hex:01,00,00,00"},
                      SValueLineCase{"n", STORE_REG_BINARY, "", "\"n\"=hex:"},
                      SValueLineCase{"d", kRegDword, Bytes({0xd4, 0xc3, 0xb2, 0xa1}), "\"d\"=dword:a1b2c3d4"},
                      SValueLineCase{"d", kRegDword, Bytes({1, 2}), "\"d\"=hex(4):01,02"},
                      SValueLineCase{"e", kRegExpandSz, Bytes({0x25, 0}), "\"e\"=hex(2):25,00"},
                      SValueLineCase{"m", kRegMultiSz, Bytes({0x61, 0, 0}), "\"m\"=hex(7):61,00,00"},
                      // Other types keep their bytes.
                      SValueLineCase{"q", kRegQword, Bytes({0xff}), "\"q\"=hex(b):ff"}));

}  // namespace

TEST(RegistryExport, TreeIsWrittenDepthFirstWithLongValuesWhole) {
  SMemoryKeyNode root;
  CMemoryStoreKey key(&root);
  const std::string strLong(2000, 'x');
  const std::string strLongName(300, 'n');
  static_cast<void>(key.SetValue(strLongName.c_str(), STORE_REG_SZ, strLong.data(), strLong.size()));
  static_cast<void>(key.SetValue("z", STORE_REG_BINARY, "\x05", 1));
  static_cast<void>(key.CreateSubKey("a")->CreateSubKey("deep")->SetValue("v", STORE_REG_SZ, "1", 1));
  static_cast<void>(key.CreateSubKey("b")->SetValue("w", STORE_REG_SZ, "2", 1));

  CCollectedLines out;
  ASSERT_TRUE(ExportRegistryTree(&key, "HKEY_CURRENT_USER\\Top", out).IsOk());
  const std::vector<std::string> expected = {
      "REGEDIT4",
      "REGEDIT4",
      "",
      "[HKEY_CURRENT_USER\\Top]",
      "\"" + strLongName + "\"=\"" + strLong + "\"",
      "\"z\"=hex:05",
      "[HKEY_CURRENT_USER\\Top\\a]",
      "[HKEY_CURRENT_USER\\Top\\a\\deep]",
      "\"v\"=\"1\"",
      "[HKEY_CURRENT_USER\\Top\\b]",
      "\"w\"=\"2\"",
  };
  EXPECT_EQ(expected, out.lines);

  // A key that did not open leaves the file empty; a line that cannot be written
  // ends the export with a failure.
  CCollectedLines none;
  EXPECT_TRUE(ExportRegistryTree(nullptr, "HKEY_CURRENT_USER\\Top", none).IsOk());
  EXPECT_TRUE(none.lines.empty());
  CCollectedLines failing;
  failing.nFailAt = 6;
  const CResult failed = ExportRegistryTree(&key, "HKEY_CURRENT_USER\\Top", failing);
  EXPECT_FALSE(failed.IsOk());
  EXPECT_EQ(RESULT_CANT_WRITE, failed.Code());
  EXPECT_EQ(6u, failing.lines.size());
}
