// A CSV (or whitespace-separated) file read into named numeric columns, for the plotting tool.
//
// Accepted: cells separated by commas, semicolons, tabs or runs of blanks (the first lines decide
// unless the separator is given), an optional header line (taken as one when any of its cells is
// not a number), '#' comment lines and blank lines. Cells may be quoted ("..." with "" for a
// quote). An empty cell or NaN is a missing value: the plot hides that point; "inf" and numbers
// beyond a double are infinities, hidden too and counted in a note. The header names the columns
// first; only the columns asked for are read, so the others may hold anything. With `date` set,
// that column also accepts dates (see date_format.h), stored as automation dates. With `text`
// set, that column is kept as text (tick labels) and its numbers read as missing.
#pragma once

#include "csv_cells.h"
#include "date_format.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmira::plot {

struct CsvTable {
  std::vector<std::string> names;            // one per column ("column N" without a header)
  std::vector<std::vector<double>> columns;  // columns[c][row]; empty for a column not read
  int textColumn = -1;                       // the column kept as text, or -1
  std::vector<std::string> texts;            // its cells, one per row; its numbers are all NaN
  std::size_t rowCount = 0;
  std::vector<std::string> notes;  // what the user should know about data that was read anyway
  std::size_t rows() const { return rowCount; }
  bool IsRead(std::size_t column) const { return column < columns.size() && columns[column].size() == rowCount; }
};

// Where a column is chosen by the user: a header name (case-insensitive) or a 1-based number.
struct ColumnRef {
  std::string text;
};

// Takes the values of the columns read instead of the table, for a caller that stores them its
// own way. Rows of a stretch come from one thread; stretches are read side by side.
class RowSink {
 public:
  virtual ~RowSink() = default;
  // Before any row: the columns read (in the order of the values handed over) and the most rows
  // there can be.
  virtual void Begin(const std::vector<std::string>& names, const std::vector<std::size_t>& readColumns,
                     std::size_t maxRows, std::size_t stretches) = 0;
  // Row `row` of stretch `stretch`, one value per column read.
  virtual void Put(std::size_t stretch, std::size_t row, const double* values) = 0;
  // After reading: rows [from, from + count) move down to `to`, over the rows lost to blank
  // lines, comments and skipped rows; then the row count.
  virtual void Move(std::size_t from, std::size_t to, std::size_t count) = 0;
  virtual void End(std::size_t rows) = 0;
};

struct CsvReadOptions {
  std::optional<ColumnRef> date;  // may also hold dates
  std::optional<ColumnRef> text;  // kept as text
  // The other columns read as numbers; none: every column. Names that match no column are left
  // for the caller to report.
  std::optional<std::vector<ColumnRef>> numbers;
  // Set, with `numbers` unset: a column whose first rows hold text and no number is not read, and
  // one note names such columns; the columns listed here are read all the same.
  std::optional<std::vector<ColumnRef>> leaveOutText;
  Separator separator = Separator::Detect;
  bool decimalComma = false;
  std::string dateFormat;                // empty: ISO dates
  bool skipBadRows = false;              // else the first bad row is an error
  std::function<void(double)> progress;  // told now and then the part read, 0 to 1
  unsigned threads = 0;                  // stretches of the file read side by side; 0: as pays
  RowSink* sink = nullptr;               // takes the numbers; the table then holds none
};

struct CsvError {
  std::string message;  // "FILE:LINE: column N (name): ..." style, ready to print
};

// Parses text; `source` names it in messages. A first line whose only text is in a numbered text
// column is data, not a header.
std::optional<CsvTable> ParseCsv(std::string_view text, std::string_view source, const CsvReadOptions& options,
                                 CsvError* error);
// Reads and parses a file.
std::optional<CsvTable> ReadCsvFile(const std::string& path, const CsvReadOptions& options, CsvError* error);

// Resolves a column reference against a table's names; -1 when it names no column.
int FindColumn(const CsvTable& table, const ColumnRef& ref);
int FindColumn(const std::vector<std::string>& names, const ColumnRef& ref);

}  // namespace kelmira::plot
