#include "common/calendar_step.h"

#include "common/nice_step.h"

#include <cmath>

namespace kelmira::common {
namespace {

constexpr double kHour = 0.041666666666666664;       // 1/24
constexpr double kMinute = 0.0006944444444444445;    // 1/1440
constexpr double kSecond = 0.000011574074074074073;  // 1/86400

// NiceStep, noting whether its raw step was usable.
double Consult(double range, double count, bool& usable) {
  const double raw = std::fabs(range / count);
  usable = usable && std::isfinite(raw) && raw > 0.0;
  return NiceStep(range, count);
}

}  // namespace

CalendarStep CalendarStepOf(double spanDays, double count) {
  bool usable = true;
  if (spanDays / count > 1.0) return {Consult(spanDays, count, usable), usable};
  double r = Consult(spanDays, count, usable);
  if (r >= 0.5) return {r, usable};
  r = Consult(spanDays * 24.0, count, usable);
  if (r >= 0.5) return {r * kHour, usable};
  r = Consult(spanDays * 1440.0, count, usable);
  if (r >= 0.5) return {r * kMinute, usable};
  r = Consult(spanDays * 86400.0, count, usable);
  if (r < 1.0) r = 1.0;
  return {r * kSecond, usable};
}

}  // namespace kelmira::common
