// The shared 1-2-5 step rule, including the inputs on which the classic loop never ends.
#include "common/nice_step.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <tuple>

using kelmira::common::NiceStep;

namespace {

// The power of ten the rule makes by repeated multiplication, as the rule must make it.
double PowerByMultiplication(int exponent) {
  double p = 1.0;
  for (int i = 0; i < exponent; ++i) p *= 10.0;
  for (int i = 0; i > exponent; --i) p *= 0.1;
  return p;
}

}  // namespace

TEST(NiceStepTest, RoundsStrictlyBelowTheRawStep) {
  struct Case {
    double range, count, expected;
  } const cases[] = {
      {3, 1, 2},    {7, 1, 5},     {10, 1, 10},  {0.3, 1, 0.2}, {5, 1, 2},       {2, 1, 1},
      {100, 6, 10}, {100, 4, 20},  {120, 6, 10}, {100, 10, 10}, {100, 3, 20},    {100, 40, 2},
      {1, 1, 1},    {0.5, 1, 0.2}, {-30, 6, 2},  {30, -6, 2},   {1e-4, 6, 1e-5},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(NiceStep(c.range, c.count), c.expected) << c.range << " / " << c.count;
  // Powers of ten come from repeated multiplication, bit for bit.
  EXPECT_EQ(std::tuple(NiceStep(0.3, 1), NiceStep(0.0007, 1), NiceStep(3e7, 1)),  // 3e7: up past it, one step down
            std::tuple(2.0 * 0.1, 5.0 * PowerByMultiplication(-4), 2.0 * (PowerByMultiplication(8) * 0.1)));
}

TEST(NiceStepTest, EndsForZeroInfiniteAndUndefinedRawSteps) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // A count of 0 makes an infinite raw step.
  EXPECT_EQ(std::tuple(NiceStep(100, 0), NiceStep(-100, 0), NiceStep(inf, 6), NiceStep(0, 6)),
            std::tuple(inf, inf, inf, 0.0));
  for (auto [range, count] : {std::pair(0.0, 0.0), {nan, 6.0}, {inf, inf}})
    EXPECT_TRUE(std::isnan(NiceStep(range, count))) << range << " / " << count;
}

TEST(NiceStepTest, EndsAtTheEdgesOfTheDoubleRange) {
  // Above the last power of ten below overflow the classic loop spins on infinity forever.
  const double top = PowerByMultiplication(308);
  for (double raw : {DBL_MAX, 1.5e308, top * 1.01}) EXPECT_EQ(NiceStep(raw, 1), top) << raw;
  EXPECT_EQ(NiceStep(DBL_MAX, 0.5), std::numeric_limits<double>::infinity());  // the raw step overflows

  // Tiny and denormal raw steps stay within one decade below the raw step.
  for (double raw : {1e-300, DBL_MIN, 3e-310, 1e-320}) {
    const double step = NiceStep(raw, 1);
    EXPECT_TRUE(step > 0.0 && step <= raw && step * 20.0 > raw) << raw << ": " << step;
  }
  // The smallest denormal: the power of ten underflows to zero.
  EXPECT_EQ(NiceStep(std::numeric_limits<double>::denorm_min(), 1), 0.0);
}
