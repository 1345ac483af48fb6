// OLE dates against calendar fields (range ends, negative dates, rounding, leap years, round
// trips) and month names from the C locale.
#include "support/ole_date_fields.h"
#include "support/variant_values.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <vector>

namespace {

using namespace kelmira::test;

TEST(OleDate, SplitsIntoFieldsJoinsThemBackAndNamesMonths) {
  // Negative dates count the time forward from midnight; times round to the nearest second,
  // across midnight too (day -1 at 24:00 is day 0).
  const std::pair<double, std::string> cases[] = {
      {61, "1900-3-1 00:00:00 4"},       {2958465 + 86399.0 / 86400, "9999-12-31 23:59:59 5"},
      {0, "1899-12-30 00:00:00 6"},      {1 - 0.2 / 86400, "1899-12-31 00:00:00 0"},
      {-657434, "100-1-1 00:00:00 5"},   {0.5 + 0.4 / 86400, "1899-12-30 12:00:00 6"},
      {37636, "2003-1-15 00:00:00 3"},   {-1.99999999, "1899-12-30 00:00:00 6"},
      {-0.5, "1899-12-30 12:00:00 6"},   {0.5 + 0.6 / 86400, "1899-12-30 12:00:01 6"},
      {-1.25, "1899-12-29 06:00:00 5"},  {37636 + 1.0 / 3, "2003-1-15 08:00:00 3"},
      {-657434.75, "100-1-1 18:00:00 5"}};
  for (const auto& [date, fields] : cases) EXPECT_EQ(DateFields(date), fields) << date;

  SYSTEMTIME st{};
  // 2958465.99999999 rounds into 10000-01-01.
  for (double outside : {-657435.0, 2958466.0, 2958465.99999999, double(NAN), 1e300})
    EXPECT_FALSE(VariantTimeToSystemTime(outside, &st)) << outside;
  EXPECT_FALSE(VariantTimeToSystemTime(0, nullptr));

  // System times are validated, and the fields round-trip across the range.
  const std::pair<SYSTEMTIME, double> valid[] = {{Time(2000, 2, 29), 36585},
                                                 {Time(9999, 12, 31, 23, 59, 59), 2958465 + 86399.0 / 86400},
                                                 {Time(100, 1, 1), -657434},
                                                 {Time(1899, 12, 29, 6), -1.25}};
  double d = 7;
  for (auto [time, expected] : valid) EXPECT_TRUE(SystemTimeToVariantTime(&time, &d) && d == expected) << d;
  d = 7;
  for (SYSTEMTIME bad :
       {Time(1900, 2, 29), Time(2001, 2, 29), Time(2003, 4, 31), Time(2003, 0, 1), Time(2003, 13, 1), Time(2003, 1, 0),
        Time(2003, 1, 1, 24), Time(2003, 1, 1, 0, 60), Time(2003, 1, 1, 0, 0, 60), Time(99, 1, 1), Time(10000, 1, 1)})
    EXPECT_FALSE(SystemTimeToVariantTime(&bad, &d)) << bad.wYear << "-" << bad.wMonth << "-" << bad.wDay;
  EXPECT_EQ(d, 7);

  for (double day = -657434; day <= 2958465; day += 997) {
    for (int second : {0, 1, 43199, 86399}) {
      const double date = day < 0 ? day - second / 86400.0 : day + second / 86400.0;
      double back = 0;
      ASSERT_TRUE(VariantTimeToSystemTime(date, &st) && SystemTimeToVariantTime(&st, &back)) << date;
      ASSERT_EQ(std::pair(back, st.wHour * 3600 + st.wMinute * 60 + st.wSecond), std::pair(date, second));
    }
  }

  // Month names come from the C locale.
  ASSERT_TRUE(std::setlocale(LC_TIME, "C"));
  const std::tuple<int, int, std::u16string> names[] = {
      {1, 1, u"Jan"}, {1, 0, u"January"}, {9, 1, u"Sep"}, {12, 0, u"December"}};
  for (const auto& [month, abbreviated, text] : names) {
    BSTR name = nullptr;
    EXPECT_EQ(VarMonthName(month, abbreviated, 0, &name), S_OK);
    EXPECT_EQ(TextOf(kelmira::Bstr::Attach(name).get()), text);
  }
  BSTR name = reinterpret_cast<BSTR>(&name);
  EXPECT_EQ((std::vector<HRESULT>{VarMonthName(0, 0, 0, &name), VarMonthName(13, 1, 0, &name),
                                  VarMonthName(1, 0, 0x8, &name), VarMonthName(1, 0, 0, nullptr)}),
            (std::vector<HRESULT>{E_INVALIDARG, E_INVALIDARG, E_INVALIDARG, E_POINTER}));
  EXPECT_EQ(name, nullptr);
}

}  // namespace
