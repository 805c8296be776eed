// The guard of the window procedures and COM methods: an exception becomes the
// boundary's failure answer, memory that ran out its own one where it has one.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "shared/BoundaryGuard.h"

TEST(BoundaryGuard, ExceptionsBecomeTheFailureAnswer) {
  constexpr long kOutOfMemory = 0x8007000E;
  constexpr long kFailure = 0x80004005;
  EXPECT_EQ(7L, RunGuarded(kOutOfMemory, kFailure, [] { return 7L; }));
  EXPECT_EQ(kOutOfMemory, RunGuarded(kOutOfMemory, kFailure, []() -> long { throw std::bad_alloc(); }));
  EXPECT_EQ(kFailure, RunGuarded(kOutOfMemory, kFailure, []() -> long { throw std::runtime_error("scan"); }));
  EXPECT_EQ(kFailure, RunGuarded(kOutOfMemory, kFailure, []() -> long { throw 1; }));
  // A request window answers 0, block, whatever went wrong.
  EXPECT_EQ(0, RunGuarded(0, []() -> int { throw std::bad_alloc(); }));
  EXPECT_EQ(1, RunGuarded(0, [] { return 1; }));
}
