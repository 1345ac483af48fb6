// OLE dates as calendar fields, written as text so that a table row reads like a date, and
// SYSTEMTIMEs built from the fields that matter.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace kelmira::test {

// "year-month-day hh:mm:ss day-of-week" of an OLE date, which must convert.
inline std::string DateFields(double date) {
  SYSTEMTIME st{};
  st.wMilliseconds = 99;
  EXPECT_TRUE(VariantTimeToSystemTime(date, &st)) << date;
  EXPECT_EQ(st.wMilliseconds, 0);
  char text[64];
  std::snprintf(text, sizeof text, "%d-%d-%d %02d:%02d:%02d %d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                st.wSecond, st.wDayOfWeek);
  return text;
}

inline SYSTEMTIME Time(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return {WORD(y), WORD(mo), 0, WORD(d), WORD(h), WORD(mi), WORD(s), 0};
}

}  // namespace kelmira::test
