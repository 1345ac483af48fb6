// A CSV file read into named numeric columns, for the plotting tool.
//
// Accepted: comma, semicolon or tab separated (the first data line decides), an optional header
// line (taken as one when any of its cells is not a number), '#' comment lines and blank lines.
// Cells may be quoted ("..." with "" for a quote). An empty cell is a missing value (NaN): the
// plot hides that point. With `dateColumn` set, that column also accepts calendar dates
// (YYYY-MM-DD, optionally followed by ' ' or 'T' and HH:MM or HH:MM:SS), stored as automation
// dates (days since 1899-12-30).
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
  std::size_t rows() const { return columns.empty() ? 0 : columns.front().size(); }
};

// Where a column is chosen by the user: a header name (case-insensitive) or a 1-based number.
struct ColumnRef {
  std::string text;
};

struct CsvError {
  std::string message;  // "FILE:LINE: column N (name): ..." style, ready to print
};

// Parses text; `source` names it in messages. dateColumn: index of a column that may hold dates
// (resolved after the header is known, see ReadCsv), or none.
std::optional<CsvTable> ParseCsv(std::string_view text, std::string_view source,
                                 const std::optional<ColumnRef>& dateColumn, CsvError* error);
// Reads and parses a file.
std::optional<CsvTable> ReadCsvFile(const std::string& path, const std::optional<ColumnRef>& dateColumn,
                                    CsvError* error);

// Resolves a column reference against a table's names; -1 when it names no column.
int FindColumn(const CsvTable& table, const ColumnRef& ref);
int FindColumn(const std::vector<std::string>& names, const ColumnRef& ref);

// "2024-01-15", "2024-01-15 08:30", "2024-01-15T08:30:15" as an automation date; none when the
// text is not such a date.
std::optional<double> ParseDate(std::string_view text);

}  // namespace kelmira::plot
