// The series kelmira-plot draws: chosen from a CSV table by the options, or the built-in demo.
#pragma once

#include "csv_table.h"
#include "plot_options.h"

#include <optional>
#include <string>
#include <vector>

namespace kelmira::plot {

// What was gathered while reading, when the values went straight into the lines.
struct Gathered {
  std::optional<Range> range, inXLimits;  // of the finite values; of those whose X is in --xlim
  std::size_t shown = 0;                  // points with X and Y
  double worst = 0;                       // the most a value moves in single precision
  std::size_t leftOut = 0;                // values <= 0 left out of a log scale
  std::optional<double> lost;             // the first value the offset puts beyond single precision
};

struct Series {
  std::string name;
  std::vector<double> y;  // NaN: the point is hidden
  bool rightY = false;
  Gathered gathered;
};

struct PlotData {
  bool xIsIndex = false;
  std::string xName;      // the X column's name, or what the index counts
  std::vector<double> x;  // empty when xIsIndex; NaN hides the point
  std::vector<Series> series;
  std::vector<std::string> tickTexts;  // per row, from --xticklabels; empty without it
  // Set when the values went straight into the lines: the series' Y and X stay empty.
  bool gathered = false;
  std::optional<Range> xRange;  // of the finite X values
  std::size_t xLeftOut = 0;     // X values <= 0 left out of a log scale
  std::size_t rows = 0;
  std::size_t points() const { return gathered ? rows : series.empty() ? 0 : series.front().y.size(); }
};

// Picks X, the drawn columns, the right-Y columns and the tick texts; an error names the missing
// column or says that nothing is left to draw. Without --x, a tick-text first column makes X the
// row number. The table's columns move into the series.
std::optional<PlotData> SelectSeries(CsvTable table, const PlotOptions& options, std::string* error);

// Built-in data: two damped oscillations and a slow trend on the right-Y scale; with dates, X runs
// hourly from 2024-03-01.
PlotData DemoData(bool dateX);

// The range of the finite values of the chosen series (left or right); none when every value is
// missing. An empty range is widened so that it can be shown.
std::optional<Range> DataRange(const PlotData& data, bool rightY);
std::optional<Range> XRange(const PlotData& data);
// The same for the points whose X lies in `xWithin` (ends included).
std::optional<Range> DataRange(const PlotData& data, bool rightY, const Range& xWithin);

// The union of two ranges.
std::optional<Range> Merge(std::optional<Range> a, const std::optional<Range>& b);

// The names of the left or the right series, joined with ", ".
std::string SeriesNames(const PlotData& data, bool rightY);

}  // namespace kelmira::plot
