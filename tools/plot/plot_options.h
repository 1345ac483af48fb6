// Command-line options of kelmira-plot.
#pragma once

#include "csv_table.h"

#include <kelmira/platform/types.h>

#include <optional>
#include <string>
#include <vector>

namespace kelmira::plot {

struct Range {
  double min = 0;
  double max = 0;
};

enum class Markers { None, Circle, Plus, Cross };

struct PlotOptions {
  std::string input;  // empty: the built-in demo data
  std::string output = "kelmira-plot.png";
  int width = 800;
  int height = 500;
  std::optional<Range> xLimits, yLimits, rightYLimits;
  std::optional<ColumnRef> xColumn;  // default: the first column
  bool xIsIndex = false;             // --x index: X is the point number
  std::vector<ColumnRef> yColumns;   // default: every column but X (and the right-Y one)
  std::optional<ColumnRef> rightYColumn;
  bool dateX = false;
  COLORREF background = 0x00FFFFFF;
  COLORREF gridColor = 0x00A0A0A0;
  std::vector<COLORREF> lineColors;  // default: kDefaultPalette
  int lineStyle = 0;                 // 0 solid, 1 dashed, 2 dotted
  int lineWidth = 1;
  Markers markers = Markers::None;
  int gridStyle = 2;
  bool grid = true;
  bool border = true;
};

// Line colours used in turn when --colors is not given.
extern const std::vector<COLORREF> kDefaultPalette;

enum class ParseOutcome { Run, Help, Error };

ParseOutcome ParsePlotOptions(int argc, const char* const* argv, PlotOptions* options, std::string* error);
const char* PlotUsage();

// "#RRGGBB", "RRGGBB" or a colour name, as 0x00BBGGRR.
std::optional<COLORREF> ParseColor(std::string_view text);

}  // namespace kelmira::plot
