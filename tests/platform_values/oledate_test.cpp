// OLE dates against calendar fields: range ends, negative dates, rounding, leap years and
// round trips.
#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Fields {
  int year, month, day, hour, minute, second, dayOfWeek;
};

Fields Split(double date) {
  SYSTEMTIME st{};
  st.wMilliseconds = 99;
  EXPECT_TRUE(VariantTimeToSystemTime(date, &st)) << date;
  EXPECT_EQ(st.wMilliseconds, 0);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wDayOfWeek};
}

void ExpectFields(double date, Fields expected) {
  const Fields f = Split(date);
  EXPECT_EQ(f.year, expected.year) << date;
  EXPECT_EQ(f.month, expected.month) << date;
  EXPECT_EQ(f.day, expected.day) << date;
  EXPECT_EQ(f.hour, expected.hour) << date;
  EXPECT_EQ(f.minute, expected.minute) << date;
  EXPECT_EQ(f.second, expected.second) << date;
  EXPECT_EQ(f.dayOfWeek, expected.dayOfWeek) << date;
}

SYSTEMTIME Time(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  SYSTEMTIME st{};
  st.wYear = WORD(y), st.wMonth = WORD(mo), st.wDay = WORD(d), st.wHour = WORD(h), st.wMinute = WORD(mi),
  st.wSecond = WORD(s);
  return st;
}

bool ToDate(SYSTEMTIME st, double* d) { return SystemTimeToVariantTime(&st, d); }

TEST(OleDate, KnownDaysAndBothEndsOfTheRange) {
  ExpectFields(0, {1899, 12, 30, 0, 0, 0, 6});
  ExpectFields(37636, {2003, 1, 15, 0, 0, 0, 3});
  ExpectFields(61, {1900, 3, 1, 0, 0, 0, 4});
  ExpectFields(-657434, {100, 1, 1, 0, 0, 0, 5});
  ExpectFields(2958465 + 86399.0 / 86400, {9999, 12, 31, 23, 59, 59, 5});

  SYSTEMTIME st{};
  EXPECT_FALSE(VariantTimeToSystemTime(-657435, &st));
  EXPECT_FALSE(VariantTimeToSystemTime(2958466, &st));
  EXPECT_FALSE(VariantTimeToSystemTime(2958465.99999999, &st));  // rounds into 10000-01-01
  EXPECT_FALSE(VariantTimeToSystemTime(NAN, &st));
  EXPECT_FALSE(VariantTimeToSystemTime(1e300, &st));
  EXPECT_FALSE(VariantTimeToSystemTime(0, nullptr));
}

TEST(OleDate, NegativeDatesCountTheTimeForward) {
  ExpectFields(-1.25, {1899, 12, 29, 6, 0, 0, 5});
  ExpectFields(-0.5, {1899, 12, 30, 12, 0, 0, 6});
  ExpectFields(-657434.75, {100, 1, 1, 18, 0, 0, 5});
}

TEST(OleDate, RoundsToTheNearestSecondAcrossMidnight) {
  ExpectFields(0.5 + 0.4 / 86400, {1899, 12, 30, 12, 0, 0, 6});
  ExpectFields(0.5 + 0.6 / 86400, {1899, 12, 30, 12, 0, 1, 6});
  ExpectFields(1 - 0.2 / 86400, {1899, 12, 31, 0, 0, 0, 0});
  ExpectFields(-1.99999999, {1899, 12, 30, 0, 0, 0, 6});  // day -1 at 24:00 is the next day
  ExpectFields(37636 + 1.0 / 3, {2003, 1, 15, 8, 0, 0, 3});
}

TEST(OleDate, SystemTimeFieldsAreValidated) {
  double d = -1;
  ASSERT_TRUE(ToDate(Time(2000, 2, 29), &d));
  EXPECT_EQ(d, 36585);
  EXPECT_TRUE(ToDate(Time(2004, 2, 29), &d));
  EXPECT_TRUE(ToDate(Time(100, 1, 1), &d));
  EXPECT_EQ(d, -657434);
  ASSERT_TRUE(ToDate(Time(1899, 12, 29, 6), &d));
  EXPECT_EQ(d, -1.25);
  ASSERT_TRUE(ToDate(Time(9999, 12, 31, 23, 59, 59), &d));
  EXPECT_NEAR(d, 2958465 + 86399.0 / 86400, 1e-9);

  d = 7;
  for (SYSTEMTIME bad : {Time(1900, 2, 29), Time(2001, 2, 29), Time(2003, 4, 31), Time(2003, 0, 1),
                         Time(2003, 13, 1), Time(2003, 1, 0), Time(2003, 1, 1, 24), Time(2003, 1, 1, 0, 60),
                         Time(2003, 1, 1, 0, 0, 60), Time(99, 1, 1), Time(10000, 1, 1)}) {
    EXPECT_FALSE(SystemTimeToVariantTime(&bad, &d)) << bad.wYear << "-" << bad.wMonth << "-" << bad.wDay;
  }
  EXPECT_EQ(d, 7);
}

TEST(OleDate, FieldsRoundTripAcrossTheRange) {
  for (double day = -657434; day <= 2958465; day += 997) {
    for (int second : {0, 1, 43199, 86399}) {
      const Fields f = Split(day < 0 ? day - second / 86400.0 : day + second / 86400.0);
      SYSTEMTIME st = Time(f.year, f.month, f.day, f.hour, f.minute, f.second);
      double back = 0;
      ASSERT_TRUE(SystemTimeToVariantTime(&st, &back));
      ASSERT_EQ(Split(back).second, f.second);
      ASSERT_EQ(std::trunc(back), day) << f.year << "-" << f.month << "-" << f.day;
      ASSERT_EQ(f.hour * 3600 + f.minute * 60 + f.second, second);
    }
  }
}

}  // namespace
