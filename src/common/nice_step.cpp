#include "common/nice_step.h"

#include <cmath>

namespace kelmira::common {
namespace {

// More decades than a double spans in either direction (about 309 up, 324 down).
constexpr int kMaxDecades = 400;

}  // namespace

double NiceStep(double range, double count) {
  const double raw = std::fabs(range / count);
  if (std::isnan(raw) || std::isinf(raw) || raw == 0.0) return raw;

  double power = 1.0;
  for (int i = 0; i < kMaxDecades && raw > power; ++i) {
    const double next = power * 10.0;
    if (std::isinf(next)) break;
    power = next;
  }
  for (int i = 0; i < kMaxDecades && raw < power; ++i) power *= 0.1;

  if (5.0 * power < raw) return 5.0 * power;
  if (2.0 * power < raw) return 2.0 * power;
  return power;
}

std::optional<double> UsableNiceStep(double range, double count) {
  const double raw = std::fabs(range / count);
  if (!std::isfinite(raw) || raw <= 0.0) return std::nullopt;
  return NiceStep(range, count);
}

std::optional<double> PlainStep(double range, double count, double minStep) {
  std::optional<double> step = UsableNiceStep(range, count);
  if (step && *step < minStep) step = minStep;
  return step;
}

}  // namespace kelmira::common
