// Renders PlotData with a LineGraph (title, axes, grid, left and right lines) hosted in a headless
// "AtlAxWin" window, copies the window's pixels into a picture of its own with the legend drawn on
// them (plot_legend.h), and writes that as PNG, and the graph's settings with --save.
// Everything goes through the public interfaces, as any host would.
#pragma once

#include "plot_data.h"
#include "plot_options.h"

#include <kelmira/kelmira.h>

#include <string>
#include <vector>

namespace kelmira::plot {

// False with a message in *error when an object cannot be made, the --load file cannot be read or
// a file cannot be written. The values are freed as the graph takes them, so that a large file is
// held about once: `data` keeps its names and row texts, not its values.
// `filled` holds the lines' data made while reading, one per series (see plot_sinks.h); empty
// when the series hold their values.
using FilledLines = std::vector<ComPtr<ILineData>>;
bool RenderPlot(PlotData&& data, const PlotOptions& options, std::string* error, const FilledLines& filled = {});

// What a failed PNG write means, for messages.
std::string DescribeWriteFailure(long hr);

}  // namespace kelmira::plot
