// kelmira-plot: draws a CSV file (or built-in demo data) as a LineGraph and writes a PNG, SVG or PDF.
// Exit status: 0 written, 1 bad input or failure to render or write, 2 bad command line.
#include "common/output_file.h"
#include "common/progress_bar.h"
#include "plot/plot_load.h"
#include "plot/plot_options.h"
#include "plot/plot_render.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include <cstdio>
#include <utility>

#include <unistd.h>

int main(int argc, char** argv) {
  using namespace kelmira::plot;
  PlotOptions options;
  std::string error;
  switch (ParsePlotOptions(argc, argv, &options, &error)) {
    case ParseOutcome::Help: std::fputs(PlotUsage(), stdout); return 0;
    case ParseOutcome::Error:
      std::fprintf(stderr, "kelmira-plot: %s\nTry 'kelmira-plot --help'.\n", error.c_str());
      return 2;
    case ParseOutcome::Run: break;
  }

  if (options.output == "-" && isatty(STDOUT_FILENO)) {
    std::fprintf(stderr, "kelmira-plot: -o - would write the PNG to the terminal; redirect standard output\n");
    return 2;
  }
  // Refused outputs cost no work and leave every file as it was.
  for (const std::string* path : {&options.output, &options.saveFile}) {
    if (path->empty() || (path == &options.output && *path == "-")) continue;
    if (const std::string problem = kelmira::tools::OutputProblem(*path); !problem.empty()) {
      std::fprintf(stderr, "kelmira-plot: %s\n", problem.c_str());
      return 1;
    }
  }

  CoInitialize(nullptr);
  std::vector<std::string> messages;
  std::optional<LoadedPlot> loaded;
  {
    kelmira::tools::ProgressBar bar;
    loaded = LoadPlot(
        &options, [&bar](double part) { bar(part); }, &messages, &error);
  }
  for (const std::string& message : messages) std::fprintf(stderr, "kelmira-plot: %s\n", message.c_str());
  bool ok = loaded.has_value();
  std::size_t lines = 0, points = 0;
  if (ok) {
    lines = loaded->data.series.size(), points = loaded->data.points();
    ok = RenderPlot(std::move(loaded->data), options, &error, std::move(loaded->lines));
  }
  loaded.reset();
  CoUninitialize();
  if (!ok) {
    std::fprintf(stderr, "kelmira-plot: %s\n", error.c_str());
    return 1;
  }
  // Standard output may be carrying the picture.
  const bool toStdout = options.output == "-";
  char size[64];
  if (OutputFormat(options.output) != PictureFormat::Png)
    std::snprintf(size, sizeof size, "%gx%g pt", options.pageWidthPt > 0 ? options.pageWidthPt : options.width * 0.75,
                  options.pageHeightPt > 0 ? options.pageHeightPt : options.height * 0.75);
  else
    std::snprintf(size, sizeof size, "%lldx%lld", ScaledPixels(options.width, options.dpi),
                  ScaledPixels(options.height, options.dpi));
  std::fprintf(toStdout ? stderr : stdout, "kelmira-plot: wrote %s (%s, %zu lines, %zu points each)\n",
               toStdout ? "the PNG to standard output" : options.output.c_str(), size, lines, points);
  return 0;
}
