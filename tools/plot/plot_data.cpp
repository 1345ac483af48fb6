#include "plot_data.h"

#include <algorithm>
#include <cmath>

namespace kelmira::plot {
namespace {

std::optional<Range> FiniteRange(const std::vector<double>& values, std::optional<Range> range) {
  for (double v : values) {
    if (!std::isfinite(v)) continue;
    if (!range) range = Range{v, v};
    range->min = std::min(range->min, v);
    range->max = std::max(range->max, v);
  }
  return range;
}

// A flat range is shown as one unit around its value (a fraction of it for large values).
Range Widen(Range r) {
  if (r.max > r.min) return r;
  double half = std::max(0.5, std::fabs(r.min) * 0.05);
  return Range{r.min - half, r.max + half};
}

}  // namespace

std::optional<PlotData> SelectSeries(const CsvTable& table, const PlotOptions& options, std::string* error) {
  auto find = [&](const ColumnRef& ref, const char* role) {
    int c = FindColumn(table, ref);
    if (c < 0) *error = "no column '" + ref.text + "' (for " + role + ") in the data";
    return c;
  };
  PlotData data;
  data.xIsIndex = options.xIsIndex;
  int xColumn = -1;
  if (!data.xIsIndex) {
    xColumn = options.xColumn ? find(*options.xColumn, "--x") : 0;
    if (xColumn < 0) return std::nullopt;
    data.x = table.columns[static_cast<std::size_t>(xColumn)];
  }
  int rightColumn = -1;
  if (options.rightYColumn) {
    rightColumn = find(*options.rightYColumn, "--right-y");
    if (rightColumn < 0) return std::nullopt;
  }
  std::vector<int> yColumns;
  if (!options.yColumns.empty()) {
    for (const ColumnRef& ref : options.yColumns) {
      int c = find(ref, "--y");
      if (c < 0) return std::nullopt;
      yColumns.push_back(c);
    }
  } else {
    for (int c = 0; c < static_cast<int>(table.columns.size()); ++c)
      if (c != xColumn && c != rightColumn) yColumns.push_back(c);
  }
  for (int c : yColumns)
    data.series.push_back(
        Series{table.names[static_cast<std::size_t>(c)], table.columns[static_cast<std::size_t>(c)], false});
  if (rightColumn >= 0)
    data.series.push_back(Series{table.names[static_cast<std::size_t>(rightColumn)],
                                 table.columns[static_cast<std::size_t>(rightColumn)], true});
  if (data.series.empty()) {
    *error = "nothing to draw: the data has no column besides X";
    return std::nullopt;
  }
  if (!DataRange(data, false) && !DataRange(data, true)) {
    *error = "nothing to draw: every value of the drawn columns is missing";
    return std::nullopt;
  }
  if (!data.xIsIndex && !XRange(data)) {
    *error = "nothing to draw: every X value is missing";
    return std::nullopt;
  }
  return data;
}

PlotData DemoData(bool dateX) {
  constexpr int kPoints = 600;
  constexpr double kPi = 3.14159265358979323846;
  PlotData data;
  Series damped{"damped", {}, false}, beat{"beat", {}, false}, trend{"temperature", {}, true};
  for (int i = 0; i < kPoints; ++i) {
    double t = i * 0.1;
    data.x.push_back(dateX ? 45352.0 + i / 24.0 : t);  // 2024-03-01, hourly
    damped.y.push_back(50.0 + 42.0 * std::exp(-t / 22.0) * std::sin(t * 0.55));
    beat.y.push_back(30.0 + 12.0 * std::sin(t * 0.21) + 2.5 * std::sin(t * 2.3));
    trend.y.push_back(14.0 + 6.0 * std::sin(t * 2 * kPi / 60.0) + 0.6 * std::sin(t * 0.9));
  }
  data.series = {damped, beat, trend};
  return data;
}

std::optional<Range> DataRange(const PlotData& data, bool rightY) {
  std::optional<Range> range;
  for (const Series& s : data.series)
    if (s.rightY == rightY) range = FiniteRange(s.y, range);
  if (!range) return std::nullopt;
  return Widen(*range);
}

std::optional<Range> XRange(const PlotData& data) {
  if (data.xIsIndex) return Widen(Range{1.0, static_cast<double>(std::max<std::size_t>(data.points(), 1))});
  auto range = FiniteRange(data.x, std::nullopt);
  if (!range) return std::nullopt;
  return Widen(*range);
}

}  // namespace kelmira::plot
