// A CSV file read into named numeric columns, for the plotting tool.
//
// Accepted: comma, semicolon or tab separated (the first data line decides), an optional header
// line (taken as one when any of its cells is not a number), '#' comment lines and blank lines.
// Cells may be quoted ("..." with "" for a quote). An empty cell is a missing value (NaN): the
// plot hides that point. With `dateColumn` set, that column also accepts calendar dates
// (YYYY-MM-DD, optionally followed by ' ' or 'T' and HH:MM or HH:MM:SS), stored as automation
// dates (days since 1899-12-30). With `text` set, that column is kept as text (tick labels) and
// its numbers read as missing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmira::plot {

struct CsvTable {
  std::vector<std::string> names;            // one per column ("column N" without a header)
  std::vector<std::vector<double>> columns;  // columns[c][row]
  int textColumn = -1;                       // the column kept as text, or -1
  std::vector<std::string> texts;            // its cells, one per row; its numbers are all NaN
  std::size_t rows() const { return columns.empty() ? 0 : columns.front().size(); }
};

// Where a column is chosen by the user: a header name (case-insensitive) or a 1-based number.
struct ColumnRef {
  std::string text;
};

// Columns read other than as plain numbers.
struct CsvColumnKinds {
  std::optional<ColumnRef> date;  // may also hold dates
  std::optional<ColumnRef> text;  // kept as text
};

struct CsvError {
  std::string message;  // "FILE:LINE: column N (name): ..." style, ready to print
};

// Parses text; `source` names it in messages. The columns of `kinds` are resolved once the header
// is known. A first line whose only text is in a numbered text column is data, not a header.
std::optional<CsvTable> ParseCsv(std::string_view text, std::string_view source, const CsvColumnKinds& kinds,
                                 CsvError* error);
// Reads and parses a file.
std::optional<CsvTable> ReadCsvFile(const std::string& path, const CsvColumnKinds& kinds, CsvError* error);

// Resolves a column reference against a table's names; -1 when it names no column.
int FindColumn(const CsvTable& table, const ColumnRef& ref);
int FindColumn(const std::vector<std::string>& names, const ColumnRef& ref);

// "2024-01-15", "2024-01-15 08:30", "2024-01-15T08:30:15" as an automation date; none when the
// text is not such a date.
std::optional<double> ParseDate(std::string_view text);

}  // namespace kelmira::plot
