// The calendar step rule shared by the grid layer and the axes: a step for a date range (days
// are the unit) in whole days, hours, minutes or seconds.
//
// Above one day per interval the step is the plain 1-2-5 step in days. Below, the first unit
// (days, hours, minutes, seconds) whose 1-2-5 step is at least half a unit gives the step; the
// step is never below one second. Nothing comes back when a raw step it needs is not a finite
// positive number (see UsableNiceStep).
#pragma once

#include <optional>

namespace kelmira::common {

std::optional<double> DateStep(double spanDays, double count);

}  // namespace kelmira::common
