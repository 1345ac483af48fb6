#include "plot_load.h"

#include "csv_table.h"
#include "plot_scales.h"
#include "plot_sinks.h"

#include <utility>

namespace kelmira::plot {
namespace {

// What the options ask of the reader.
CsvReadOptions ReadOptions(const PlotOptions& options) {
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
  return read;
}

}  // namespace

std::optional<LoadedPlot> LoadPlot(PlotOptions* options, const std::function<void(double)>& progress,
                                   std::vector<std::string>* messages, std::string* error) {
  LoadedPlot loaded;
  std::vector<std::string> columnNames;
  if (options->input.empty()) {
    loaded.data = DemoData(options->dateX);
  } else {
    // The lines are made before the read when the values go straight into them.
    std::optional<LineSink> sink;
    if (ReadsIntoLines(*options)) sink.emplace(*options);
    CsvReadOptions read = ReadOptions(*options);
    if (sink) read.sink = &*sink;
    read.progress = progress;
    CsvError csvError;
    std::optional<PlotData> data;
    if (sink && options->yOffsetAuto) sink->GuessOffsets(read);
    std::optional<CsvTable> table = ReadCsvFile(options->input, read, &csvError);
    if (table && sink) data = sink->Select(error);
    if (table && sink && sink->ReadAgain()) {
      table = ReadCsvFile(options->input, read, &csvError);
      if (table) data = sink->Select(error);
    }
    if (!table) {
      *error = csvError.message;
      return std::nullopt;
    }
    messages->insert(messages->end(), table->notes.begin(), table->notes.end());
    columnNames = table->names;
    if (!sink) data = SelectSeries(std::move(*table), *options, error);
    if (!data) {
      *error = options->input + ": " + *error;
      return std::nullopt;
    }
    if (sink && !sink->lineError().empty()) {
      *error = sink->lineError();
      return std::nullopt;
    }
    loaded.data = std::move(*data);
    if (sink) loaded.lines = sink->TakeLines();
  }
  for (std::string& warning : ApplyScales(&loaded.data, options, columnNames, error))
    messages->push_back(std::move(warning));
  if (!error->empty()) {
    *error = options->input + ": " + *error;
    return std::nullopt;
  }
  return loaded;
}

}  // namespace kelmira::plot
