// The error code a failing call leaves in the thread's last error.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

namespace kelmira::test {

// Runs call, which must fail by returning 0 or null, and gives the last error it set.
template <class Call>
DWORD LastErrorOf(Call call) {
  SetLastError(0);
  EXPECT_FALSE(call());
  return GetLastError();
}

}  // namespace kelmira::test
