#include "layers/grid_steps.h"

#include "layers/nice_step.h"

#include <cmath>

namespace kelmira::layers::grid {
namespace {

constexpr double kHour = 0.041666666666666664;       // 1/24
constexpr double kMinute = 0.0006944444444444445;    // 1/1440
constexpr double kSecond = 0.000011574074074074073;  // 1/86400

// NiceStep, or nothing when the raw step cannot give a usable one.
std::optional<double> UsableNiceStep(double range, double count) {
  const double raw = std::fabs(range / count);
  if (!std::isfinite(raw) || raw <= 0.0) return std::nullopt;
  return NiceStep(range, count);
}

}  // namespace

std::optional<double> PlainStep(double range, double count, double minStep) {
  std::optional<double> step = UsableNiceStep(range, count);
  if (step && *step < minStep) step = minStep;
  return step;
}

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

}  // namespace kelmira::layers::grid
