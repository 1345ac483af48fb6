#include "plot_data.h"

#include <algorithm>
#include <cfloat>
#include <cstdio>
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

std::optional<Range> Merge(std::optional<Range> a, const std::optional<Range>& b) {
  if (!a || !b) return a ? a : b;
  return Range{std::min(a->min, b->min), std::max(a->max, b->max)};
}

std::optional<PlotData> SelectSeries(CsvTable table, const PlotOptions& options, std::string* error) {
  auto find = [&](const ColumnRef& ref, const char* role) {
    int c = FindColumn(table, ref);
    if (c < 0) *error = "no column '" + ref.text + "' (for " + role + ") in the data";
    return c;
  };
  auto findAll = [&](const std::vector<ColumnRef>& refs, const char* role, std::vector<int>* columns) {
    for (const ColumnRef& ref : refs) {
      int c = find(ref, role);
      if (c < 0) return false;
      if (c == table.textColumn) {
        *error = "column '" + ref.text + "' (for " + role + ") holds the tick labels, not numbers";
        return false;
      }
      if (!table.IsRead(static_cast<std::size_t>(c))) {
        *error = "column '" + ref.text + "' (for " + role + ") was not read";
        return false;
      }
      columns->push_back(c);
    }
    return true;
  };
  PlotData data;
  data.xIsIndex = options.xIsIndex || (!options.xColumn && table.textColumn == 0);
  int xColumn = -1;
  if (!data.xIsIndex) {
    std::vector<int> x;
    if (!findAll({options.xColumn.value_or(ColumnRef{"1"})}, "--x", &x)) return std::nullopt;
    xColumn = x.front();
  }
  data.xName = data.xIsIndex ? (table.textColumn >= 0 ? table.names[static_cast<std::size_t>(table.textColumn)] : "row")
                             : table.names[static_cast<std::size_t>(xColumn)];
  std::vector<int> rightColumns, yColumns;
  if (!findAll(options.rightYColumns, "--right-y", &rightColumns) || !findAll(options.yColumns, "--y", &yColumns))
    return std::nullopt;
  if (options.yColumns.empty()) {
    for (int c = 0; c < static_cast<int>(table.columns.size()); ++c)
      if (c != xColumn && c != table.textColumn && table.IsRead(static_cast<std::size_t>(c)) &&
          std::find(rightColumns.begin(), rightColumns.end(), c) == rightColumns.end())
        yColumns.push_back(c);
  }
  // A column is handed over at its last use, not copied: a large file is held once.
  std::vector<int> uses(table.columns.size());
  for (int c : yColumns) ++uses[static_cast<std::size_t>(c)];
  for (int c : rightColumns) ++uses[static_cast<std::size_t>(c)];
  if (xColumn >= 0) ++uses[static_cast<std::size_t>(xColumn)];
  auto take = [&](int c) {
    auto& column = table.columns[static_cast<std::size_t>(c)];
    return --uses[static_cast<std::size_t>(c)] == 0 ? std::move(column) : column;
  };
  for (auto [columns, right] : {std::pair(&yColumns, false), std::pair(&rightColumns, true)})
    for (int c : *columns) data.series.push_back(Series{table.names[static_cast<std::size_t>(c)], take(c), right, {}});
  if (xColumn >= 0) data.x = take(xColumn);
  data.tickTexts = std::move(table.texts);
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
  // Y is drawn in single precision: a finite value beyond it would become an infinity.
  for (const Series& s : data.series)
    for (double v : s.y)
      if (std::isfinite(v) && std::fabs(v) > FLT_MAX) {
        char text[200];
        std::snprintf(text, sizeof text, "column '%s': %g is beyond the single precision Y is drawn in (at most %g)",
                      s.name.c_str(), v, static_cast<double>(FLT_MAX));
        *error = text;
        return std::nullopt;
      }
  return data;
}

PlotData DemoData(bool dateX) {
  constexpr int kPoints = 600;
  constexpr double kPi = 3.14159265358979323846;
  PlotData data;
  data.xName = "time";
  Series damped{"damped", {}, false, {}}, beat{"beat", {}, false, {}}, trend{"temperature", {}, true, {}};
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
    if (s.rightY == rightY) range = data.gathered ? Merge(range, s.gathered.range) : FiniteRange(s.y, range);
  if (!range) return std::nullopt;
  return Widen(*range);
}

std::optional<Range> DataRange(const PlotData& data, bool rightY, const Range& xWithin) {
  std::optional<Range> range;
  for (const Series& s : data.series) {
    if (s.rightY != rightY) continue;
    range = Merge(range, s.gathered.inXLimits);  // gathered for --xlim, the only limits asked
    const std::size_t n = data.xIsIndex ? s.y.size() : std::min(s.y.size(), data.x.size());
    for (std::size_t i = 0; i < n; ++i) {
      // NaN fails both compares, so a hidden X never counts.
      const double x = data.xIsIndex ? static_cast<double>(i + 1) : data.x[i], v = s.y[i];
      if (!(x >= xWithin.min && x <= xWithin.max) || !std::isfinite(v)) continue;
      if (!range) range = Range{v, v};
      range->min = std::min(range->min, v);
      range->max = std::max(range->max, v);
    }
  }
  if (!range) return std::nullopt;
  return Widen(*range);
}

std::optional<Range> XRange(const PlotData& data) {
  if (data.xIsIndex) return Widen(Range{1.0, static_cast<double>(std::max<std::size_t>(data.points(), 1))});
  auto range = data.gathered ? data.xRange : FiniteRange(data.x, std::nullopt);
  if (!range) return std::nullopt;
  return Widen(*range);
}

std::string SeriesNames(const PlotData& data, bool rightY) {
  std::string names;
  for (const Series& s : data.series) {
    if (s.rightY != rightY) continue;
    if (!names.empty()) names += ", ";
    names += s.name;
  }
  return names;
}

}  // namespace kelmira::plot
