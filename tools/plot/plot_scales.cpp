#include "plot_scales.h"

#include "tick_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace kelmira::plot {
namespace {

constexpr int kMaxTicks = 10000;

bool IsLog(const PlotOptions& options, ScaleAxis axis) {
  switch (axis) {
    case ScaleAxis::X: return options.logX;
    case ScaleAxis::Y: return options.logY;
    default: return options.logRightY;
  }
}

double Offset(const PlotOptions& options, ScaleAxis axis) {
  return axis == ScaleAxis::X ? 0.0 : options.yShift[axis == ScaleAxis::RightY ? 1 : 0];
}

// "column 3 (volume)", or "column 3" for a file without a header.
std::string ColumnText(const std::string& name, const std::vector<std::string>& columnNames) {
  const auto at = std::find(columnNames.begin(), columnNames.end(), name);
  if (at == columnNames.end()) return "column '" + name + "'";
  const std::string number = "column " + std::to_string(at - columnNames.begin() + 1);
  return name == number ? number : number + " (" + name + ")";
}

// log10 of each value; the count of values <= 0, which become gaps.
std::size_t TakeLog(std::vector<double>* values) {
  std::size_t left = 0;
  for (double& v : *values) {
    if (std::isnan(v)) continue;
    if (v <= 0) ++left;
    v = v > 0 ? std::log10(v) : NAN;
  }
  return left;
}

void LogOf(std::optional<Range>* limits) {
  if (*limits) **limits = Range{std::log10((*limits)->min), std::log10((*limits)->max)};
}

// Tenths of a decade are labelled at 1, 2 and 5 (log10 2 and log10 5 lie within 0.001 of 0.3
// and 0.7) up to this many pixels per decade, where that puts a label within a pixel, as close as
// the graph places its own ticks.
constexpr double kSparsePerDecade = 1000;
// Pixels between grid lines, at least.
constexpr double kGridGap = 12;

// Decades from 1e-3 to 1e5 written out, beyond that as 1e6; `decimals` of the mantissa.
std::string Compact(double mantissa, long exponent, int decimals = 0) {
  char text[48];
  if (exponent >= -3 && exponent <= 5)
    std::snprintf(text, sizeof text, "%.*f", static_cast<int>(std::max(0L, decimals - exponent)),
                  mantissa * std::pow(10.0, static_cast<double>(exponent)));
  else
    std::snprintf(text, sizeof text, "%.*fe%ld", decimals, mantissa, exponent);
  return text;
}

// 10^value to as many digits as place it within half a pixel, trailing zeros dropped.
std::string FineLogLabel(double value, double perDecade) {
  const int digits = static_cast<int>(std::clamp(1 + std::ceil(std::log10(perDecade / 2.3)), 1.0, 15.0));
  long exponent = std::lround(std::floor(value));
  const double scale = std::pow(10.0, digits - 1);
  double mantissa = std::round(std::pow(10.0, value - static_cast<double>(exponent)) * scale) / scale;
  if (mantissa >= 10) mantissa /= 10, ++exponent;
  int decimals = digits - 1;
  while (decimals > 0 && std::fabs(mantissa * std::pow(10.0, decimals - 1) -
                                   std::round(mantissa * std::pow(10.0, decimals - 1))) < 1e-6)
    --decimals;
  return Compact(mantissa, exponent, decimals);
}

std::string LogLabel(double value, double step, double perDecade) {
  if (step >= 1) return Compact(1, std::lround(value));
  if (std::fabs(step - 0.1) > 1e-12 || perDecade > kSparsePerDecade) return FineLogLabel(value, perDecade);
  const long tenths = std::lround(value * 10);
  const long decade = tenths >= 0 ? tenths / 10 : -((-tenths + 9) / 10);
  switch (tenths - decade * 10) {
    case 0: return Compact(1, decade);
    case 3: return Compact(2, decade);
    case 7: return Compact(5, decade);
    default: return "";
  }
}

int Decimals(double step) {
  int decimals = 0;
  for (double tenth = 1; decimals < 17 && tenth > step * (1 + 1e-9); tenth /= 10) ++decimals;
  return decimals;
}

// Written out while that takes few digits, else with an exponent and the digits the step needs.
std::string Number(double value, double step) {
  char text[64];
  value += 0.0;  // no "-0"
  if (step >= 1e-5 && std::fabs(value) < 1e15) {
    std::snprintf(text, sizeof text, "%.*f", Decimals(step), value);
  } else if (step > 0) {
    const double digits = value == 0 ? 1 : std::floor(std::log10(std::fabs(value))) - std::floor(std::log10(step)) + 1;
    std::snprintf(text, sizeof text, "%.*g", static_cast<int>(std::clamp(digits, 1.0, 17.0)), value);
  } else {
    std::snprintf(text, sizeof text, "%g", value);
  }
  return text;
}

// Whether the graph's own labels for a range would run to many digits: those need room (the
// strips and the X step are sized for about five) or an exponent.
bool LongLabels(std::optional<Range> r) {
  return r && (std::max(std::fabs(r->min), std::fabs(r->max)) >= 1e6 || r->max - r->min < 1e-4);
}

}  // namespace

// Labels written as offset + tick stay round.
double AutoOffset(Range r) {
  const double unit = std::pow(10.0, std::ceil(std::log10(std::max(r.max - r.min, 1e-300))));
  const double offset = std::round((r.min + r.max) / 2 / unit) * unit;
  return std::isfinite(offset) ? offset : 0.0;
}

std::vector<std::string> ApplyScales(PlotData* data, PlotOptions* options, const std::vector<std::string>& columnNames,
                                     std::string* error) {
  std::vector<std::string> warnings;
  const std::string file = options->input.empty() ? "demo" : options->input;
  auto leftOut = [&](std::size_t count, const std::string& name) {
    if (count == 0) return;
    warnings.push_back(file + ": " + ColumnText(name, columnNames) + ": " + std::to_string(count) +
                       (count == 1 ? " value" : " values") + " <= 0 left out of the log scale");
  };
  if (options->logX && !data->xIsIndex) leftOut(TakeLog(&data->x) + data->xLeftOut, data->xName);
  for (Series& s : data->series)
    if (s.rightY ? options->logRightY : options->logY) leftOut(TakeLog(&s.y) + s.gathered.leftOut, s.name);
  if (!DataRange(*data, false) && !DataRange(*data, true)) {
    *error = "nothing to draw: no value is above 0 on the log scale";
    return {};
  }
  if (!data->xIsIndex && !XRange(*data)) {
    *error = "nothing to draw: no X value is above 0 on the log scale";
    return {};
  }
  if (options->logX) LogOf(&options->xLimits);
  if (options->logY) LogOf(&options->yLimits);
  if (options->logRightY) LogOf(&options->rightYLimits);

  // Offsets, and the precision check on what the graph will store, in pixels of the true range.
  // The plot is a little lower than the picture; the check errs towards warning.
  for (const bool right : {false, true}) {
    std::optional<Range>& limits = right ? options->rightYLimits : options->yLimits;
    const std::optional<Range> shown = limits ? limits : DataRange(*data, right);
    const bool log = right ? options->logRightY : options->logY;
    if (!shown) continue;
    double& offset = options->yShift[right ? 1 : 0];
    if (!log) offset = options->yOffsetAuto ? AutoOffset(*shown) : options->yOffset.value_or(0.0);
    for (Series& s : data->series) {
      if (s.rightY != right) continue;
      double worst = s.gathered.worst;
      if (const std::optional<double> v = s.gathered.lost) {
        *error = ColumnText(s.name, columnNames) + ": " + Number(*v, 0) + " less the offset " + Number(offset, 0) +
                 " is beyond single precision";
        return {};
      }
      for (double& v : s.y) {
        if (!std::isfinite(v)) continue;
        const double stored = static_cast<float>(v - offset);
        if (!std::isfinite(stored)) {
          *error = ColumnText(s.name, columnNames) + ": " + Number(v, 0) + " less the offset " + Number(offset, 0) +
                   " is beyond single precision";
          return {};
        }
        worst = std::max(worst, std::fabs(stored + offset - v));
        v -= offset;
      }
      for (std::optional<Range>* r : {&s.gathered.range, &s.gathered.inXLimits})
        if (*r) **r = Range{(*r)->min - offset, (*r)->max - offset};
      const double pixels = worst * options->height / (shown->max - shown->min);
      if (!(pixels > 0.1) || !(shown->max > shown->min)) continue;
      char text[160];
      std::snprintf(text, sizeof text, "values lose up to %.2g pixels in single precision%s", pixels,
                    offset == 0 ? "; --y-offset auto draws them relative to an offset" : "");
      warnings.push_back(file + ": " + ColumnText(s.name, columnNames) + ": " + text);
    }
    if (limits) limits = Range{limits->min - offset, limits->max - offset};
    options->numberLabels[right ? 2 : 1] = !log && offset == 0 && LongLabels(shown);
  }
  options->numberLabels[0] =
      !options->logX && !options->dateX && LongLabels(options->xLimits ? options->xLimits : XRange(*data));
  return warnings;
}

bool HasScaleLabels(const PlotOptions& options, ScaleAxis axis) {
  return IsLog(options, axis) || Offset(options, axis) != 0 || options.numberLabels[static_cast<int>(axis)];
}

double LogStep(double min, double max, double pixels, double room) {
  const double decades = max - min;
  if (!(decades > 0) || !(pixels > 0)) return 1;
  const double perDecade = pixels / decades;
  if (decades < 0.7 || perDecade > kSparsePerDecade)
    return GridStep(decades, static_cast<int>(std::max(1.0, pixels / (4 * room))));
  // Labels at 1, 2 and 5 lie at least 0.3 decades apart; grid lines at every tenth need some air.
  if (perDecade * 0.3 >= room && perDecade / 10 >= kGridGap) return 0.1;
  for (double step : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0})
    if (perDecade * step >= room) return step;
  return 200;
}

std::string ScaleLabel(const PlotOptions& options, ScaleAxis axis, double value, double step, double perUnit) {
  if (IsLog(options, axis)) return LogLabel(value, step, perUnit);
  return Number(value + Offset(options, axis), step);
}

double CalendarStep(double spanDays, int count) {
  const double units[] = {1, 24, 1440, 86400};
  if (spanDays / count > 1) return GridStep(spanDays, count);
  for (double perDay : units) {
    const double step = GridStep(spanDays * perDay, count);
    if (step >= 0.5 || perDay == 86400) return std::max(step, perDay == 86400 ? 1.0 : 0.0) / perDay;
  }
  return 1;
}

std::vector<double> DrawnTicksY(double start, double end, double step, long height, long margin) {
  std::vector<double> ticks;
  if (!(step > 0) || !(end > start) || height <= 2 * margin) return ticks;
  const double scale = static_cast<double>(height - 2 * margin) / (start - end);
  const auto first = static_cast<std::int64_t>(std::clamp(end / -step, -9e18, 9e18));  // as the axis holds it
  for (std::int64_t i = 0; i < kMaxTicks; ++i) {
    const double value = static_cast<double>(first + i) * -step;
    if (!(value >= start)) break;
    const double y = static_cast<double>(margin) + std::trunc((value - end) * scale);
    if (y >= 0 && y <= static_cast<double>(height)) ticks.push_back(value);
  }
  return ticks;
}

}  // namespace kelmira::plot
