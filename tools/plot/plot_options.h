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

// Lines, markers at the points, or both.
enum class DrawStyle { Lines, Points, LinesPoints };

enum class LegendPlace { Auto, UpperRight, UpperLeft, LowerRight, LowerLeft, Outside, None };

// Graph settings left unset keep the graph's own value when a saved graph is loaded, and take the
// tool's default otherwise.
struct PlotOptions {
  std::string input;  // empty: the built-in demo data
  std::string output = "kelmira-plot.png";
  int width = 800;
  int height = 500;
  // --size in print units: the vector page in points (0: the picture's pixels at 0.75 pt each).
  double pageWidthPt = 0, pageHeightPt = 0;
  int dpi = 96;  // --dpi: a PNG is drawn at dpi / 96 times the size
  std::optional<Range> xLimits, yLimits, rightYLimits;
  std::optional<ColumnRef> xColumn;      // default: the first column
  bool xIsIndex = false;                 // --x index: X is the point number
  std::vector<ColumnRef> yColumns;       // default: every column but X, the right-Y and label ones
  std::vector<ColumnRef> rightYColumns;  // drawn against the right Y axis
  std::optional<ColumnRef> xTickLabels;  // a text column labelling the X ticks
  bool dateX = false;
  std::optional<std::string> title, xLabel, yLabel, y2Label;
  std::optional<LONG> dateLabelFormat;  // 0, 1, 2, 100, 101 or 102
  std::optional<int> fontSize;          // points
  std::optional<COLORREF> background;   // default white
  std::optional<COLORREF> gridColor;    // default #a0a0a0
  std::optional<int> gridStyle;         // default dotted
  std::optional<bool> grid, border;     // default on
  std::vector<COLORREF> lineColors;     // default: kDefaultPalette
  int lineStyle = 0;                    // 0 solid, 1 dashed, 2 dotted
  int lineWidth = 1;
  Markers markers = Markers::None;
  DrawStyle drawStyle = DrawStyle::Lines;  // --markers alone gives Points
  LegendPlace legend = LegendPlace::Auto;  // Auto: upper right with more than one line
  std::string saveFile;                    // the graph's settings are written here after drawing
  std::string loadFile;                    // a graph saved with --save to start from

  bool logX = false, logY = false, logRightY = false;  // --logx, --logy, --logy2
  std::optional<double> yOffset;                       // --y-offset VALUE
  bool yOffsetAuto = false;                            // --y-offset auto
  // Set by ApplyScales: subtracted from the left and right Y values; X, left and right axes whose
  // labels the tool writes with an exponent.
  double yShift[2] = {0, 0};
  bool numberLabels[3] = {false, false, false};
  Separator separator = Separator::Detect;
  bool decimalComma = false;
  std::string dateFormat;  // --date-format: how the X column writes dates
  bool skipBadRows = false;
};

// Line colours used in turn when --colors is not given; once they are used up the lines repeat
// them dashed, then dotted.
extern const std::vector<COLORREF> kDefaultPalette;

enum class PictureFormat { Png, Svg, Pdf };

// Empty when the output's extension names a format the tool writes (a path without one and "-",
// standard output, are PNG), else the message.
std::string OutputFormatProblem(const std::string& path);
// The format the output's extension names, in any case; PNG for anything else.
PictureFormat OutputFormat(const std::string& path);

// "WxH" in pixels, or each side with a unit (in, cm, mm, pt) for print; false for anything else.
struct PictureSize {
  int width = 0, height = 0;         // pixels at 96 dpi (1 pt = 4/3 px)
  double widthPt = 0, heightPt = 0;  // 0 for sizes given in pixels
};
std::optional<PictureSize> ParsePictureSize(std::string_view text);

// A length in pixels at 96 dpi, drawn at `dpi`.
constexpr long long ScaledPixels(int pixels, int dpi) { return (static_cast<long long>(pixels) * dpi + 48) / 96; }

enum class ParseOutcome { Run, Help, Error };

ParseOutcome ParsePlotOptions(int argc, const char* const* argv, PlotOptions* options, std::string* error);
const char* PlotUsage();
// The options that choose and draw the data, and the notes on colours and cells, as every tool
// that reads data files lists them.
const char* PlotDataOptionsUsage();
const char* PlotDataNotes();

// "#RRGGBB", "RRGGBB" or a colour name, as 0x00BBGGRR.
std::optional<COLORREF> ParseColor(std::string_view text);

}  // namespace kelmira::plot
