// Reading what a tool draws: the data file named by the options (or the built-in demo data), its
// series chosen and scaled (log, offset) as the options say. kelmira-plot and kelmira-view share
// it, so that a file reads the same in both.
#pragma once

#include "plot_data.h"
#include "plot_options.h"
#include "plot_render.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelmira::plot {

struct LoadedPlot {
  PlotData data;
  FilledLines lines;  // the lines' data filled while reading; empty when the series hold the values
};

// COM must be initialised. `progress` gets the part read, 0..1; notes and warnings for the user
// are added to *messages as they arise, also when the load then fails. On failure: nothing, and
// *error says why. ApplyScales sets its fields of *options.
std::optional<LoadedPlot> LoadPlot(PlotOptions* options, const std::function<void(double)>& progress,
                                   std::vector<std::string>* messages, std::string* error);

}  // namespace kelmira::plot
