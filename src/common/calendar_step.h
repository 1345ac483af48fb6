// The grid's automatic step choice: the plain 1-2-5 rule and the calendar rule for dates.
//
// Both take the visible range in logical units (area size / scale) and the aimed number of
// intervals. They return no value when a raw step they need is not a finite positive number
// (a count of 0, a zero, infinite or NaN scale): the grid then keeps its previous step, so that
// nothing downstream sees an infinite or undefined step.
#pragma once

#include <optional>

namespace kelmira::layers::grid {

// NiceStep of |range / count|, raised to minStep.
std::optional<double> PlainStep(double range, double count, double minStep);

// A step in whole days, hours, minutes or seconds (days are the unit); at least one second.
std::optional<double> DateStep(double spanDays, double count);

}  // namespace kelmira::layers::grid
