// The 1-2-5 step rule shared by the grid layer and the axes.
//
// NiceStep(range, count) rounds the raw step r = |range / count| down to 1, 2 or 5 times a power
// of ten, strictly below r where such a value exists: 3 gives 2, 7 gives 5, 10 gives 10, 0.3 gives
// 0.2, 5 gives 2, 2 gives 1. The powers of ten come from repeated multiplication by 10.0 and 0.1
// in double arithmetic (not from pow), so results match the classic loop bit for bit.
//
// Both loops are bounded, so every input terminates:
// - r NaN (0/0, NaN input) returns NaN; r +infinity (a count of 0) returns +infinity; r 0
//   returns 0. Callers that need a usable step use UsableNiceStep or PlainStep.
// - r above the largest power of ten that repeated multiplication reaches (about 1e308) returns
//   that power: the plain loop would overflow to infinity there and never come back down.
// - r at the very bottom of the denormals can give 0, because the power of ten underflows.
#pragma once

#include <kelmira/platform/types.h>

#include <optional>

namespace kelmira::common {

// Exported for the tests; the axes and the grid use it inside the module.
KELMIRA_API double NiceStep(double range, double count);

// NiceStep, or nothing when the raw step is not a finite positive number (a count of 0, a zero,
// infinite or NaN range): then the caller keeps its previous step, so nothing downstream sees an
// infinite or undefined step.
std::optional<double> UsableNiceStep(double range, double count);

// The automatic plain step: UsableNiceStep raised to minStep.
std::optional<double> PlainStep(double range, double count, double minStep);

}  // namespace kelmira::common
