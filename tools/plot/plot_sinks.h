// Reading straight into the lines: unless row texts are asked for, each drawn column's values go
// from the file into the arrays of a LineData made before the read, Y through its log and offset
// into single precision as it is parsed, and what the axes and messages need is gathered on the
// way. --y-offset auto takes its round value from a sample of the file read first; when the
// whole file's range gives another, the file is read again with that one, so that the picture is
// the one the whole range gives. A large file then never exists as arrays of doubles next to the lines'.
#pragma once

#include "csv_table.h"
#include "plot_data.h"
#include "plot_options.h"
#include "plot_render.h"

#include <optional>
#include <string>
#include <vector>

namespace kelmira::plot {

// Whether the values of a file may go straight into the lines with these options.
bool ReadsIntoLines(const PlotOptions& options);

// Chooses the series as SelectSeries does once the columns are known, makes and sizes one LineData
// per series, and fills it from the rows. COM must be initialised.
class LineSink : public RowSink {
 public:
  explicit LineSink(const PlotOptions& options) : options_(options) {}
  void Begin(const std::vector<std::string>& names, const std::vector<std::size_t>& readColumns, std::size_t maxRows,
             std::size_t stretches) override;
  void Put(std::size_t stretch, std::size_t row, const double* values) override;
  void Move(std::size_t from, std::size_t to, std::size_t count) override;
  void End(std::size_t rows) override;

  // With --y-offset auto: the offsets from a sample of the file (`read` as for the whole read).
  void GuessOffsets(CsvReadOptions read);
  // After a read without error: the series, with what was gathered, or SelectSeries' message.
  // Nothing and no message when a guessed offset was wrong: the sink is then set for another read.
  std::optional<PlotData> Select(std::string* error);
  bool ReadAgain() const { return again_; }
  // A failure making the lines, to be reported as a render failure would be; empty when none.
  const std::string& lineError() const { return lineError_; }
  FilledLines TakeLines() { return std::move(lines_); }

 private:
  struct Target {
    std::size_t value;  // index into a row's values
    bool log = false;
    double offset = 0;
    float* y = nullptr;
    BYTE* mask = nullptr;
    double* x = nullptr;
  };
  struct Beyond {
    bool found = false;
    double value = 0;
  };
  // Per stretch, merged in order.
  struct Stretch {
    std::vector<Gathered> series;
    std::vector<Beyond> beyond;  // the first finite value past single precision
    std::optional<Range> x;
    std::size_t xLeftOut = 0;
    bool anyX = false, anyY = false;  // finite values as read, before a log
  };
  void MakeLines(std::size_t maxRows);

  const PlotOptions& options_;
  PlotData data_;
  std::string selectError_, lineError_;
  void AutoOffsets(const PlotData& data, bool* changed);

  double offsets_[2] = {0, 0};  // --y-offset auto's, left and right
  bool again_ = false;
  std::size_t xValue_ = 0;
  bool logX_ = false;
  std::optional<Range> xLimits_;  // on the scale X is stored in
  std::vector<Target> targets_;
  FilledLines lines_;
  std::vector<Stretch> stretches_;
};

}  // namespace kelmira::plot
