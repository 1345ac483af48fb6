// What one drawing of an axis shows: the range, the step, the precision of numeric labels and,
// for a date axis, which parts of the date the labels carry. Everything here is read afresh at
// every drawing from the axis's own fields, its container's limits and its grid's step settings.
// The functions are exported for the tests; the axes use them in the module.
#pragma once

#include <kelmira/kelmira.h>

namespace kelmira::axes {

enum class AxisKind { X, Y };

// The fields of an axis that the scale is made from.
struct ScaleFields {
  double startValue = 0.0;
  double endValue = 10.0;
  double step = 1.0;
  LONG precision = 0;        // negative: automatic
  bool leftAligned = false;  // Y only: may show the container's right-Y range
};

struct DateFlags {
  bool showDate = false;
  bool showYear = false;
  bool showTime = false;
  bool showSeconds = false;
};

struct AxisScale {
  double start = 0.0;
  double end = 0.0;
  double step = 0.0;
  int precision = 0;
  bool dateMode = false;  // X only: the grid's UseXAsDate
  bool rightY = false;    // Y only: showing the container's right-Y limits
};

// Range, step and precision, asking the container and the grid (either may be null) in the order
// the axis asks them. A failing call on either ends the resolution with its HRESULT.
KELMIRA_API HRESULT ResolveScale(AxisKind kind, const ScaleFields& fields, IGraphicsContainer* container,
                                 IGridLayer* grid, AxisScale* scale);

// Decimals for a step when Precision is automatic: 0 for a step of 0 or at least 1 in size,
// otherwise the first count of tenths (0.1, 0.01, ... by repeated multiplication) at or below it.
KELMIRA_API int AutomaticPrecision(double step);

// Which parts of the date labels show, from the range's calendar dates and the step. A range end
// outside the OLE date range counts as differing in every field.
KELMIRA_API DateFlags ComputeDateFlags(double start, double end, double step);

}  // namespace kelmira::axes
