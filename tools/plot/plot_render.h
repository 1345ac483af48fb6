// Renders PlotData with a LineGraph (title, axes, grid, left and right lines) hosted in a headless
// "AtlAxWin" window, copies the window's pixels into a picture of its own with the legend drawn on
// them (plot_legend.h), and writes that as PNG, and the graph's settings with --save.
// Everything goes through the public interfaces, as any host would.
#pragma once

#include "plot_data.h"
#include "plot_options.h"

#include <string>

namespace kelmira::plot {

// False with a message in *error when an object cannot be made, the --load file cannot be read or
// a file cannot be written. The values are freed as the graph takes them, so that a large file is
// held about once: `data` keeps its names and row texts, not its values.
bool RenderPlot(PlotData&& data, const PlotOptions& options, std::string* error);

// What a failed PNG write means, for messages.
std::string DescribeWriteFailure(long hr);

}  // namespace kelmira::plot
