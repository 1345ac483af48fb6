// What the viewer's status line says: where the mouse is in data units, what a left drag does
// now, and the last thing that happened (a tool's report, a save, an error).
#pragma once

#include "plot/plot_options.h"

#include <string>

namespace kelmira::view {

// A logical point of the plot as the user reads it: log axes give the true value, an offset is
// added back, dates are written as dates. xPixel and yPixel, the data units one pixel spans,
// set the decimals: enough to tell neighbouring pixels apart, so that 1e9 + 0.004 reads as such.
std::string PointText(const plot::PlotOptions& options, double x, double y, double xPixel, double yPixel);

// The drag tools of keys 1..8, by number; empty outside 1..8.
const char* ToolName(int tool);  // "DragPoint" ...

struct StatusLine {
  std::string position;  // empty until the mouse is over the plot
  int tool = 0;          // 0: drags zoom
  std::string message;
  std::string Text() const;
};

}  // namespace kelmira::view
