// The web proxy's connection slots: a full proxy closes the connection idle for
// longest, refuses only when none is idle, and no one program takes every slot.
#include <gtest/gtest.h>

#include "guard/proxy/ConnectionSlots.h"

namespace {

TEST(ConnectionSlots, FullMakesRoomByClosingTheLongestIdle) {
  CConnectionSlots slots(3, 3);
  const auto a = slots.Admit(10, 100);
  const auto b = slots.Admit(11, 200);
  const auto c = slots.Admit(12, 300);
  ASSERT_TRUE(a.bAdmitted && b.bAdmitted && c.bAdmitted);
  slots.SetIdle(a.nId, false, 400);
  // b idle since 200, c since 300: b goes first.
  auto d = slots.Admit(13, 500);
  EXPECT_TRUE(d.bAdmitted);
  EXPECT_EQ(d.nEvict, b.nId);
  EXPECT_EQ(slots.Count(), 3u);
  // Idle again later than c: c is now the longest idle.
  slots.SetIdle(a.nId, true, 600);
  slots.SetIdle(d.nId, false, 600);
  EXPECT_EQ(slots.Admit(14, 700).nEvict, c.nId);
  // All busy: refused, nothing closed.
  CConnectionSlots busy(1, 1);
  const auto only = busy.Admit(1, 0);
  busy.SetIdle(only.nId, false, 1);
  const auto refused = busy.Admit(2, 2);
  EXPECT_FALSE(refused.bAdmitted);
  EXPECT_EQ(refused.nEvict, 0u);
  busy.Remove(only.nId);
  EXPECT_TRUE(busy.Admit(2, 3).bAdmitted);
}

TEST(ConnectionSlots, OneProgramMakesRoomOnlyAmongItsOwn) {
  CConnectionSlots slots(4, 2);
  const auto other = slots.Admit(7, 0);  // another program's, idle for longest
  const auto first = slots.Admit(9, 10);
  const auto second = slots.Admit(9, 20);
  ASSERT_TRUE(other.bAdmitted && first.bAdmitted && second.bAdmitted);
  // At its limit the program's own idle connection goes, not the other's.
  const auto third = slots.Admit(9, 30);
  EXPECT_TRUE(third.bAdmitted);
  EXPECT_EQ(third.nEvict, first.nId);
  slots.SetIdle(second.nId, false, 40);
  slots.SetIdle(third.nId, false, 40);
  EXPECT_FALSE(slots.Admit(9, 50).bAdmitted);
  // Others still get in.
  const auto fourth = slots.Admit(8, 60);
  EXPECT_TRUE(fourth.bAdmitted);
  EXPECT_EQ(fourth.nEvict, 0u);
}

}  // namespace
