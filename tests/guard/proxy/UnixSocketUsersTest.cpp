// Whose a client is under Wine when no process is named: the Unix users of both
// ends of its connection in the kernel's socket table.
#include <gtest/gtest.h>

#include <string>

#include "guard/proxy/UnixSocketUsers.h"

namespace {

// The guard listens on 127.0.0.1:8118; clients from ports C00C to C00E.
const char kTable[] =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n"
    "   0: 0100007F:1FB6 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000        0 11 1 0\n"
    "   1: 0100007F:C00C 0100007F:1FB6 01 00000000:00000000 00:00000000 00000000  1000        0 12 1 0\n"
    "   2: 0100007F:1FB6 0100007F:C00C 01 00000000:00000000 00:00000000 00000000  1000        0 13 1 0\n"
    "   3: 0100007F:C00D 0100007F:1FB6 01 00000000:00000000 00:00000000 00000000  1001        0 14 1 0\n"
    "   4: 0100007F:1FB6 0100007F:C00D 01 00000000:00000000 00:00000000 00000000  1000        0 15 1 0\n"
    "   5: 0100007F:C00E 0100007F:1FB6 06 00000000:00000000 03:00001276 00000000     0        0 0 3 0\n"
    "   6: 0100007F:1FB6 0100007F:C00E 06 00000000:00000000 03:00001276 00000000     0        0 0 3 0\n";

const SSocketEnd kGuard = {0x0100007F, 0x1FB6};

TEST(UnixSocketUsers, OnlyAClientOfTheGuardsOwnUserIsThisUsers) {
  const struct {
    unsigned nClientPort;
    std::string strTable;
    bool bSameUser;
  } kCases[] = {
      {0xC00C, kTable, true},
      {0xC00D, kTable, false},  // another Unix user's program
      {0xC00E, kTable, false},  // both ends closed: nobody's
      {0xC00F, kTable, false},  // not listed
      {0xC00C, "", false},      // the table could not be read
      {0xC00C, std::string(kTable).replace(std::string(kTable).find("1000        0 12"), 4, "10x0"), false},
  };
  for (const auto& test : kCases) {
    EXPECT_EQ(test.bSameUser, IsSameUnixUserAtBothEnds(test.strTable, {0x0100007F, test.nClientPort}, kGuard))
        << std::hex << test.nClientPort << " in\n"
        << test.strTable;
  }
}

}  // namespace
