// Results as the user reads them, and owned resources that keep a failed call's
// reason while they close.
#include <gtest/gtest.h>

#include <string>

#include "shared/OwnedResources_win.h"
#include "shared/Result_win.h"

namespace {

// A handle value no process holds: closing it fails with ERROR_INVALID_HANDLE.
HANDLE const kBogusHandle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7FF0));

TEST(OwnedResources, ClosingKeepsTheThreadsLastError) {
  CCloseHandle handle(kBogusHandle);
  ::SetLastError(ERROR_ACCESS_DENIED);
  handle.Reset();
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), ::GetLastError());
}

TEST(Result, MessageIsItsOwnTextOrTheSystemsTextOfItsCode) {
  EXPECT_TRUE(CResult().IsOk());
  const CResult denied(ERROR_ACCESS_DENIED);
  EXPECT_FALSE(denied.IsOk());
  EXPECT_EQ(SystemErrorText(ERROR_ACCESS_DENIED), ResultMessage(denied));
  EXPECT_NE("", ResultMessage(denied));
  EXPECT_EQ("an internal error", ResultMessage(CResult(ERROR_INTERNAL_ERROR, "an internal error")));
}

TEST(Result, AValueComesOnlyWithSuccess) {
  const CResultOf<int> value(7);
  EXPECT_TRUE(value.IsOk());
  EXPECT_EQ(7, value.Value());
  const CResultOf<int> denied(CResult(ERROR_ACCESS_DENIED));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), denied.Result().Code());
  // A success handed over without a value must not read as one.
  const CResultOf<int> none{CResult()};
  EXPECT_FALSE(none.IsOk());
}

}  // namespace
