#include "common/calendar_step.h"

#include "common/nice_step.h"

namespace kelmira::common {
namespace {

constexpr double kHour = 0.041666666666666664;       // 1/24
constexpr double kMinute = 0.0006944444444444445;    // 1/1440
constexpr double kSecond = 0.000011574074074074073;  // 1/86400

}  // namespace

std::optional<double> DateStep(double spanDays, double count) {
  if (spanDays / count > 1.0) return UsableNiceStep(spanDays, count);

  std::optional<double> step = UsableNiceStep(spanDays, count);
  if (!step) return std::nullopt;
  if (*step >= 0.5) return step;

  step = UsableNiceStep(spanDays * 24.0, count);
  if (!step) return std::nullopt;
  if (*step >= 0.5) return *step * kHour;

  step = UsableNiceStep(spanDays * 1440.0, count);
  if (!step) return std::nullopt;
  if (*step >= 0.5) return *step * kMinute;

  step = UsableNiceStep(spanDays * 86400.0, count);
  if (!step) return std::nullopt;
  if (*step < 1.0) step = 1.0;
  return *step * kSecond;
}

}  // namespace kelmira::common
