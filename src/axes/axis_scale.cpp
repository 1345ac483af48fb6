#include "axes/axis_scale.h"

#include "common/calendar_step.h"
#include "common/nice_step.h"

#include <cmath>

namespace kelmira::axes {
namespace {

// More tenths than a double has (down to the denormals), so the loop ends for any step.
constexpr int kMaxDecimals = 330;
// The double just below one minute (1/1440 of a day).
constexpr double kJustBelowOneMinute = 0.0006944444444444444;

HRESULT ReadRange(AxisKind kind, const ScaleFields& fields, IGraphicsContainer* container, AxisScale* scale) {
  scale->start = fields.startValue;
  scale->end = fields.endValue;
  if (!container) return S_OK;
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  HRESULT hr = container->GetLimits(&xMin, &xMax, &yMin, &yMax);
  if (FAILED(hr)) return hr;
  if (kind == AxisKind::X) {
    scale->start = xMin;
    scale->end = xMax;
    return S_OK;
  }
  scale->start = yMin;
  scale->end = yMax;
  if (!fields.leftAligned) return S_OK;
  VARIANT_BOOL hasRightY = VARIANT_FALSE;
  hr = container->get_HasRightYAxisLayers(&hasRightY);
  if (FAILED(hr) || !hasRightY) return hr;
  scale->rightY = true;
  return container->GetRightYLimits(&scale->start, &scale->end);
}

// The grid's step, then the automatic rules when its AutoStep is on.
HRESULT ReadStep(AxisKind kind, IGridLayer* grid, AxisScale* scale) {
  HRESULT hr = S_OK;
  VARIANT_BOOL useDate = VARIANT_FALSE;
  if (kind == AxisKind::X) {
    hr = grid->get_XStep(&scale->step);
    if (SUCCEEDED(hr)) hr = grid->get_UseXAsDate(&useDate);
  } else if (!scale->rightY) {
    hr = grid->get_YStep(&scale->step);
  }
  if (FAILED(hr)) return hr;
  scale->dateMode = useDate != 0;

  VARIANT_BOOL autoStep = VARIANT_FALSE;
  hr = grid->get_AutoStep(&autoStep);
  if (FAILED(hr) || !autoStep) return hr;
  LONG count = 0;
  hr = kind == AxisKind::X ? grid->get_XSteps(&count) : grid->get_YSteps(&count);
  if (FAILED(hr)) return hr;
  const double range = scale->end - scale->start;
  if (kind == AxisKind::X && scale->dateMode) {
    // Unlike the grid, the axis takes a step from an unusable raw step as the rule gives it: the
    // tick test then draws nothing.
    scale->step = common::CalendarStepOf(range, count).step;
  } else {
    scale->step = common::NiceStep(range, count);
  }
  return S_OK;
}

}  // namespace

int AutomaticPrecision(double step) {
  const double size = std::fabs(step);
  if (step == 0.0 || size >= 1.0) return 0;
  double tenth = 1.0;
  int decimals = 0;
  while (decimals < kMaxDecimals && !(tenth <= size)) {
    ++decimals;
    tenth *= 0.1;
  }
  return decimals;
}

HRESULT ResolveScale(AxisKind kind, const ScaleFields& fields, IGraphicsContainer* container, IGridLayer* grid,
                     AxisScale* scale) {
  *scale = AxisScale{};
  HRESULT hr = ReadRange(kind, fields, container, scale);
  if (FAILED(hr)) return hr;
  scale->step = fields.step;
  if (grid) {
    hr = ReadStep(kind, grid, scale);
    if (FAILED(hr)) return hr;
  }
  scale->precision = fields.precision >= 0 ? static_cast<int>(fields.precision) : AutomaticPrecision(scale->step);
  return S_OK;
}

DateFlags ComputeDateFlags(double start, double end, double step) {
  SYSTEMTIME a{}, b{};
  const bool known = VariantTimeToSystemTime(start, &a) && VariantTimeToSystemTime(end, &b);
  DateFlags flags;
  flags.showYear = !known || a.wYear != b.wYear;
  flags.showDate = !known || a.wYear != b.wYear || a.wMonth != b.wMonth || a.wDay != b.wDay;
  flags.showTime = step < 1.0;
  flags.showSeconds = step < kJustBelowOneMinute;
  return flags;
}

}  // namespace kelmira::axes
