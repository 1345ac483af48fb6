// kelmira-plot: draws a CSV file (or built-in demo data) as a LineGraph and writes a PNG.
// Exit status: 0 written, 1 bad input or failure to render or write, 2 bad command line.
#include "plot/csv_table.h"
#include "common/output_file.h"
#include "plot/plot_data.h"
#include "plot/plot_options.h"
#include "plot/plot_render.h"
#include "plot/plot_scales.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include <cstdio>

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

  std::optional<PlotData> data;
  std::vector<std::string> columnNames;
  if (options.input.empty()) {
    data = DemoData(options.dateX);
  } else {
    CsvColumnKinds kinds;
    if (options.dateX && !options.xIsIndex) kinds.date = options.xColumn.value_or(ColumnRef{"1"});
    kinds.text = options.xTickLabels;
    CsvError csvError;
    auto table = ReadCsvFile(options.input, kinds, &csvError);
    if (!table) {
      std::fprintf(stderr, "kelmira-plot: %s\n", csvError.message.c_str());
      return 1;
    }
    columnNames = table->names;
    data = SelectSeries(*table, options, &error);
    if (!data) {
      std::fprintf(stderr, "kelmira-plot: %s: %s\n", options.input.c_str(), error.c_str());
      return 1;
    }
  }

  for (const std::string& warning : ApplyScales(&*data, &options, columnNames, &error))
    std::fprintf(stderr, "kelmira-plot: %s\n", warning.c_str());
  if (!error.empty()) {
    std::fprintf(stderr, "kelmira-plot: %s: %s\n", options.input.c_str(), error.c_str());
    return 1;
  }

  CoInitialize(nullptr);
  bool ok = RenderPlot(*data, options, &error);
  CoUninitialize();
  if (!ok) {
    std::fprintf(stderr, "kelmira-plot: %s\n", error.c_str());
    return 1;
  }
  // Standard output may be carrying the picture.
  const bool toStdout = options.output == "-";
  std::fprintf(toStdout ? stderr : stdout, "kelmira-plot: wrote %s (%dx%d, %zu lines, %zu points each)\n",
               toStdout ? "the PNG to standard output" : options.output.c_str(), options.width, options.height,
               data->series.size(), data->points());
  return 0;
}
