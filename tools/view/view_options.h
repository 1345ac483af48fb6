// Command line of kelmira-view: its own options, then every data option kelmira-plot takes.
// -o names the PNG that S writes and --save the file Ctrl+S writes; without them each save takes
// a new name beside the data (data-1.png, data-2.png, ...), so that no file is ever replaced that
// the user did not name.
#pragma once

#include "plot/plot_options.h"

#include <string>

namespace kelmira::view {

struct ViewOptions {
  plot::PlotOptions plot;  // width and height: the window's client area
  bool outputGiven = false, saveGiven = false;
  std::string script;    // --script: input events to replay
  std::string snapshot;  // --snapshot: the window as PNG once the script (or the first paint) is done
  bool headless() const { return !script.empty() || !snapshot.empty(); }
};

plot::ParseOutcome ParseViewOptions(int argc, const char* const* argv, ViewOptions* options, std::string* error);
const char* ViewUsage();

}  // namespace kelmira::view
