// The registry exporter's text: value lines by type, the escapes and hex forms
// that let the registry editor read every value back, and the tree's layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/settings/store/RegistryExport.h"
#include "fuzz/MemoryStoreKey.h"

namespace {

class CCollectedLines : public IExportLines {
 public:
  bool WriteLine(const std::string& strLine) override {
    if (nFailAt == static_cast<int>(lines.size())) return false;
    lines.push_back(strLine);
    return true;
  }
  std::vector<std::string> lines;
  int nFailAt = -1;
};

std::string Bytes(std::initializer_list<int> bytes) {
  std::string str;
  for (const int b : bytes) str += static_cast<char>(b);
  return str;
}

}  // namespace

// What the registry editor reads back is shown with the editor itself
// (RegistryBackupTest_win.cpp); here the forms of the file.
TEST(RegistryExport, ValueLinesByType) {
  EXPECT_EQ(R"("App Path"="C:\\Program Files\\Hookwarden")",
            FormatValueLine("App Path", STORE_REG_SZ, std::string("C:\\Program Files\\Hookwarden\0", 28)));
  EXPECT_EQ("@=\"\"", FormatValueLine("", STORE_REG_SZ, ""));
  EXPECT_EQ("\"n\"=hex:01,00,00,00", FormatValueLine("n", STORE_REG_BINARY, Bytes({1, 0, 0, 0})));
  EXPECT_EQ("\"n\"=hex:", FormatValueLine("n", STORE_REG_BINARY, ""));
  EXPECT_EQ("\"d\"=dword:a1b2c3d4", FormatValueLine("d", 4, Bytes({0xd4, 0xc3, 0xb2, 0xa1})));
  EXPECT_EQ("\"d\"=hex(4):01,02", FormatValueLine("d", 4, Bytes({1, 2})));
  EXPECT_EQ("\"e\"=hex(2):25,00", FormatValueLine("e", 2, Bytes({0x25, 0})));
  EXPECT_EQ("\"m\"=hex(7):61,00,00", FormatValueLine("m", 7, Bytes({0x61, 0, 0})));
  EXPECT_EQ("\"q\"=hex(b):ff", FormatValueLine("q", 11, Bytes({0xff})));  // other types keep their bytes
}

TEST(RegistryExport, TreeIsWrittenDepthFirstWithLongValuesWhole) {
  SMemoryKeyNode root;
  CMemoryStoreKey key(&root);
  const std::string strLong(2000, 'x');
  const std::string strLongName(300, 'n');
  key.WriteValue(strLongName.c_str(), STORE_REG_SZ, strLong.data(), strLong.size());
  key.WriteValue("z", STORE_REG_BINARY, "\x05", 1);
  key.CreateSubKey("a")->CreateSubKey("deep")->WriteValue("v", STORE_REG_SZ, "1", 1);
  key.CreateSubKey("b")->WriteValue("w", STORE_REG_SZ, "2", 1);

  CCollectedLines out;
  ASSERT_TRUE(ExportRegistryTree(&key, "HKEY_CURRENT_USER\\Top", out));
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
  EXPECT_TRUE(ExportRegistryTree(nullptr, "HKEY_CURRENT_USER\\Top", none));
  EXPECT_TRUE(none.lines.empty());
  CCollectedLines failing;
  failing.nFailAt = 6;
  EXPECT_FALSE(ExportRegistryTree(&key, "HKEY_CURRENT_USER\\Top", failing));
  EXPECT_EQ(6u, failing.lines.size());
}
