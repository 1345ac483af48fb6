// Renders PlotData with a LineGraph (title, axes, grid, left and right lines) hosted in a headless
// "AtlAxWin" window, copies the window's pixels into a picture of its own with the legend drawn on
// them (plot_legend.h), and writes that as PNG, and the graph's settings with --save.
// Everything goes through the public interfaces, as any host would.
#pragma once

#include "plot_data.h"
#include "plot_legend.h"
#include "plot_options.h"

#include <kelmira/kelmira.h>

#include <optional>
#include <string>
#include <vector>

namespace kelmira::plot {

// False with a message in *error when an object cannot be made, the --load file cannot be read or
// a file cannot be written. The values are freed as the graph takes them, so that a large file is
// held about once: `data` keeps its names and row texts, not its values.
// `filled` holds the lines' data made while reading, one per series (see plot_sinks.h); empty
// when the series hold their values.
using FilledLines = std::vector<ComPtr<ILineData>>;

// What the graph shows: the given limits, else the data's ranges.
struct PlotView {
  Range x, y, rightY;
};

// The legend the tool draws over the graph (the library's legend layer draws nothing).
struct PlotLegend {
  LegendPlace place = LegendPlace::None;
  std::vector<LegendEntry> entries;
  LegendLook look;
  ComPtr<IFont> font;  // holds look.font's owner
  SIZE size{};
};

// A LineGraph made from the data: lines, look, steps for the options' size and the data's view,
// extents; not yet in a window.
struct PlotGraph {
  ComPtr<ILineGraph> graph;
  ComPtr<IPersistStreamInit> persist;
  ComPtr<IGraphicsContainer> container;
  std::vector<std::string> markerLayers;  // the tool's own layers (markers over lines)
  PlotLegend legend;
  PlotView view;                        // the extents (right Y: its limits)
  std::optional<PlotView> savedLimits;  // with --load: the limits the saved graph showed (X and Y)
  struct Look {
    double fontPoints = 0;
    LONG tickLength = 0;
  } screenLook;  // the font and ticks before --dpi scaled them
};
bool BuildPlotGraph(PlotData& data, const PlotOptions& options, const FilledLines& filled, PlotGraph* graph,
                    std::string* error);

// For a graph in a window, and again after each change of its limits or size (options.width and
// height): the grid and axis steps and the tick label lists that row texts and log or offset
// axes need for the limits it shows. `data` must keep its row texts and X.
bool FitTicks(const PlotGraph& graph, const PlotData& data, const PlotOptions& options, std::string* error);
bool RenderPlot(PlotData&& data, const PlotOptions& options, std::string* error, const FilledLines& filled = {});

// What a failed PNG write means, for messages.
std::string DescribeWriteFailure(long hr);

}  // namespace kelmira::plot
