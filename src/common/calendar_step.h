// The calendar step rule shared by the grid layer and the axes: a step for a date range (days
// are the unit) in whole days, hours, minutes or seconds.
//
// Above one day per interval the step is the plain 1-2-5 step in days. Below, the first unit
// (days, hours, minutes, seconds) whose 1-2-5 step is at least half a unit gives the step; the
// step is never below one second.
#pragma once

#include <optional>

namespace kelmira::common {

struct CalendarStep {
  double step;  // the rule's result, whatever the input (a zero range gives one second)
  bool usable;  // every raw step the rule consulted was a finite positive number
};

CalendarStep CalendarStepOf(double spanDays, double count);

// The grid's form: nothing when a raw step the rule needs is not usable (see UsableNiceStep), so
// that the grid keeps its previous step.
inline std::optional<double> DateStep(double spanDays, double count) {
  const CalendarStep s = CalendarStepOf(spanDays, count);
  if (!s.usable) return std::nullopt;
  return s.step;
}

}  // namespace kelmira::common
