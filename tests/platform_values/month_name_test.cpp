// VarMonthName in the C locale, and its argument checks.
#include "platform_values/value_helpers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

using values_test::TextOf;

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
