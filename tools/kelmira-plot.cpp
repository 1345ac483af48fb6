// kelmira-plot: draws a CSV file (or built-in demo data) as a LineGraph and writes a PNG.
// Exit status: 0 written, 1 bad input or failure to render or write, 2 bad command line.
#include "plot/csv_table.h"
#include "common/output_file.h"
#include "plot/plot_data.h"
#include "plot/plot_options.h"
#include "plot/plot_render.h"
#include "plot/plot_scales.h"
#include "plot/plot_sinks.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include <chrono>
#include <cstdio>
#include <utility>

#include <unistd.h>

namespace {

// A bar on stderr once reading a large file has taken a second, when stderr is a terminal.
class ProgressBar {
 public:
  void operator()(double part) {
    const int percent = static_cast<int>(part * 100);
    if (!terminal_ || percent == shown_ || std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) return;
    const int filled = static_cast<int>(part * 40);
    std::fprintf(stderr, "\rreading [%-40.*s] %3d%%", filled, "========================================", percent);
    shown_ = percent;
  }
  ~ProgressBar() {
    if (shown_ >= 0) std::fprintf(stderr, "\r%60s\r", "");
  }

 private:
  bool terminal_ = isatty(STDERR_FILENO) != 0;
  int shown_ = -1;  // the percentage on screen
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace

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
  // The lines are made before the read when the values go straight into them.
  CoInitialize(nullptr);
  std::optional<LineSink> sink;
  if (ReadsIntoLines(options)) sink.emplace(options);
  if (options.input.empty()) {
    data = DemoData(options.dateX);
  } else {
    CsvReadOptions read;
    if (options.dateX && !options.xIsIndex) read.date = options.xColumn.value_or(ColumnRef{"1"});
    read.text = options.xTickLabels;
    // Only the drawn columns are parsed; without --y every column is drawn.
    if (!options.yColumns.empty()) {
      read.numbers = options.yColumns;
      read.numbers->insert(read.numbers->end(), options.rightYColumns.begin(), options.rightYColumns.end());
      if (!options.xIsIndex) read.numbers->push_back(options.xColumn.value_or(ColumnRef{"1"}));
    }
    // Without -y, text columns are not drawn; X and the right-Y columns must still be numbers.
    if (options.yColumns.empty()) {
      read.leaveOutText = options.rightYColumns;
      if (!options.xIsIndex) read.leaveOutText->push_back(options.xColumn.value_or(ColumnRef{"1"}));
    }
    read.separator = options.separator;
    read.decimalComma = options.decimalComma;
    read.dateFormat = options.dateFormat;
    read.skipBadRows = options.skipBadRows;
    if (sink) read.sink = &*sink;
    CsvError csvError;
    std::optional<CsvTable> table;
    {
      ProgressBar bar;
      read.progress = [&bar](double part) { bar(part); };
      if (sink && options.yOffsetAuto) sink->GuessOffsets(read);
      table = ReadCsvFile(options.input, read, &csvError);
      if (table && sink) data = sink->Select(&error);
      if (table && sink && sink->ReadAgain()) {
        table = ReadCsvFile(options.input, read, &csvError);
        if (table) data = sink->Select(&error);
      }
    }
    if (!table) {
      std::fprintf(stderr, "kelmira-plot: %s\n", csvError.message.c_str());
      return 1;
    }
    for (const std::string& note : table->notes) std::fprintf(stderr, "kelmira-plot: %s\n", note.c_str());
    columnNames = table->names;
    if (!sink) data = SelectSeries(std::move(*table), options, &error);
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

  const std::size_t lines = data->series.size(), points = data->points();
  bool ok = !sink || sink->lineError().empty();
  if (!ok)
    error = sink->lineError();
  else
    ok = RenderPlot(std::move(*data), options, &error, sink ? sink->TakeLines() : FilledLines{});
  sink.reset();
  CoUninitialize();
  if (!ok) {
    std::fprintf(stderr, "kelmira-plot: %s\n", error.c_str());
    return 1;
  }
  // Standard output may be carrying the picture.
  const bool toStdout = options.output == "-";
  std::fprintf(toStdout ? stderr : stdout, "kelmira-plot: wrote %s (%dx%d, %zu lines, %zu points each)\n",
               toStdout ? "the PNG to standard output" : options.output.c_str(), options.width, options.height, lines,
               points);
  return 0;
}
