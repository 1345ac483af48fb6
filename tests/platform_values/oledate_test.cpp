// OLE dates against calendar fields (range ends, negative dates, rounding, leap years, round
// trips) and month names from the C locale.
#include "platform_values/value_helpers.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cmath>
#include <string>

namespace {

using values_test::TextOf;

// Year, month, day, hour, minute, second and day of the week.
using Fields = std::array<int, 7>;

Fields Split(double date) {
  SYSTEMTIME st{};
  st.wMilliseconds = 99;
  EXPECT_TRUE(VariantTimeToSystemTime(date, &st)) << date;
  EXPECT_EQ(st.wMilliseconds, 0);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wDayOfWeek};
}

SYSTEMTIME Time(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  SYSTEMTIME st{};
  st.wYear = WORD(y), st.wMonth = WORD(mo), st.wDay = WORD(d), st.wHour = WORD(h), st.wMinute = WORD(mi),
  st.wSecond = WORD(s);
  return st;
}

bool ToDate(SYSTEMTIME st, double* d) { return SystemTimeToVariantTime(&st, d); }

TEST(OleDate, KnownDaysAndBothEndsOfTheRange) {
  EXPECT_EQ(Split(0), (Fields{1899, 12, 30, 0, 0, 0, 6}));
  EXPECT_EQ(Split(37636), (Fields{2003, 1, 15, 0, 0, 0, 3}));
  EXPECT_EQ(Split(61), (Fields{1900, 3, 1, 0, 0, 0, 4}));
  EXPECT_EQ(Split(-657434), (Fields{100, 1, 1, 0, 0, 0, 5}));
  EXPECT_EQ(Split(2958465 + 86399.0 / 86400), (Fields{9999, 12, 31, 23, 59, 59, 5}));

  SYSTEMTIME st{};
  EXPECT_FALSE(VariantTimeToSystemTime(-657435, &st));
  EXPECT_FALSE(VariantTimeToSystemTime(2958466, &st));
  EXPECT_FALSE(VariantTimeToSystemTime(2958465.99999999, &st));  // rounds into 10000-01-01
  EXPECT_FALSE(VariantTimeToSystemTime(NAN, &st));
  EXPECT_FALSE(VariantTimeToSystemTime(1e300, &st));
  EXPECT_FALSE(VariantTimeToSystemTime(0, nullptr));
}

TEST(OleDate, NegativeDatesCountTheTimeForward) {
  EXPECT_EQ(Split(-1.25), (Fields{1899, 12, 29, 6, 0, 0, 5}));
  EXPECT_EQ(Split(-0.5), (Fields{1899, 12, 30, 12, 0, 0, 6}));
  EXPECT_EQ(Split(-657434.75), (Fields{100, 1, 1, 18, 0, 0, 5}));
}

TEST(OleDate, RoundsToTheNearestSecondAcrossMidnight) {
  EXPECT_EQ(Split(0.5 + 0.4 / 86400), (Fields{1899, 12, 30, 12, 0, 0, 6}));
  EXPECT_EQ(Split(0.5 + 0.6 / 86400), (Fields{1899, 12, 30, 12, 0, 1, 6}));
  EXPECT_EQ(Split(1 - 0.2 / 86400), (Fields{1899, 12, 31, 0, 0, 0, 0}));
  EXPECT_EQ(Split(-1.99999999), (Fields{1899, 12, 30, 0, 0, 0, 6}));  // day -1 at 24:00 is the next day
  EXPECT_EQ(Split(37636 + 1.0 / 3), (Fields{2003, 1, 15, 8, 0, 0, 3}));
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
  for (SYSTEMTIME bad :
       {Time(1900, 2, 29), Time(2001, 2, 29), Time(2003, 4, 31), Time(2003, 0, 1), Time(2003, 13, 1), Time(2003, 1, 0),
        Time(2003, 1, 1, 24), Time(2003, 1, 1, 0, 60), Time(2003, 1, 1, 0, 0, 60), Time(99, 1, 1), Time(10000, 1, 1)}) {
    EXPECT_FALSE(SystemTimeToVariantTime(&bad, &d)) << bad.wYear << "-" << bad.wMonth << "-" << bad.wDay;
  }
  EXPECT_EQ(d, 7);
}

TEST(OleDate, FieldsRoundTripAcrossTheRange) {
  for (double day = -657434; day <= 2958465; day += 997) {
    for (int second : {0, 1, 43199, 86399}) {
      const Fields f = Split(day < 0 ? day - second / 86400.0 : day + second / 86400.0);
      SYSTEMTIME st = Time(f[0], f[1], f[2], f[3], f[4], f[5]);
      double back = 0;
      ASSERT_TRUE(SystemTimeToVariantTime(&st, &back));
      ASSERT_EQ(Split(back), f);
      ASSERT_EQ(std::trunc(back), day) << f[0] << "-" << f[1] << "-" << f[2];
      ASSERT_EQ(f[3] * 3600 + f[4] * 60 + f[5], second);
    }
  }
}

std::u16string Month(int month, bool abbreviated) {
  BSTR name = nullptr;
  EXPECT_EQ(VarMonthName(month, abbreviated, 0, &name), S_OK);
  return TextOf(kelmira::Bstr::Attach(name).get());
}

TEST(VarMonthName, NamesFromTheCLocale) {
  for (const char* locale : {"C", "C.UTF-8"}) {
    if (!std::setlocale(LC_TIME, locale)) continue;
    EXPECT_EQ(Month(1, true), u"Jan");
    EXPECT_EQ(Month(1, false), u"January");
    EXPECT_EQ(Month(9, true), u"Sep");
    EXPECT_EQ(Month(12, false), u"December");
  }
  std::setlocale(LC_TIME, "C");
}

TEST(VarMonthName, RejectsBadArguments) {
  BSTR name = reinterpret_cast<BSTR>(&name);
  EXPECT_EQ(VarMonthName(0, 0, 0, &name), E_INVALIDARG);
  EXPECT_EQ(name, nullptr);
  EXPECT_EQ(VarMonthName(13, 1, 0, &name), E_INVALIDARG);
  EXPECT_EQ(VarMonthName(1, 0, 0x8, &name), E_INVALIDARG);
  EXPECT_EQ(VarMonthName(1, 0, 0, nullptr), E_POINTER);
}

}  // namespace
