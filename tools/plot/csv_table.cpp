#include "csv_table.h"

#include <kelmira/platform.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kelmira::plot {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool IsMissing(std::string_view cell) {
  return cell.empty() || EqualsNoCase(cell, "nan") || EqualsNoCase(cell, "na") || EqualsNoCase(cell, "null");
}

// A finite decimal number taking the whole cell.
std::optional<double> ParseNumber(std::string_view cell) {
  if (!cell.empty() && cell.front() == '+') cell.remove_prefix(1);
  double value = 0;
  auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
  if (ec != std::errc() || end != cell.data() + cell.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Splits one line into cells; quotes group separators and "" is a quote. False on an open quote.
bool SplitCells(std::string_view line, char separator, std::vector<std::string>* cells) {
  cells->clear();
  std::string cell;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quoted) {
      if (c != '"') {
        cell += c;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        cell += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == separator) {
      cells->emplace_back(Trim(cell));
      cell.clear();
    } else {
      cell += c;
    }
  }
  cells->emplace_back(Trim(cell));
  return !quoted;
}

char DetectSeparator(std::string_view line) {
  if (line.find('\t') != std::string_view::npos) return '\t';
  if (line.find(';') != std::string_view::npos && line.find(',') == std::string_view::npos) return ';';
  return ',';
}

struct Reader {
  std::string_view source;
  CsvError* error;

  bool Fail(std::size_t line, const std::string& what) {
    if (error) error->message = std::string(source) + ":" + std::to_string(line) + ": " + what;
    return false;
  }
};

std::string ColumnLabel(const std::vector<std::string>& names, std::size_t c) {
  std::string label = "column " + std::to_string(c + 1);
  if (c < names.size() && names[c] != label) label += " (" + names[c] + ")";
  return label;
}

}  // namespace

std::optional<double> ParseDate(std::string_view text) {
  text = Trim(text);
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  auto number = [&text](std::size_t digits, int* out) {
    if (text.size() < digits) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + digits, *out);
    if (ec != std::errc() || end != text.data() + digits) return false;
    text.remove_prefix(digits);
    return true;
  };
  auto expect = [&text](char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
  };
  if (!number(4, &year) || !expect('-') || !number(2, &month) || !expect('-') || !number(2, &day)) return std::nullopt;
  if (!text.empty()) {
    if (text.front() != ' ' && text.front() != 'T') return std::nullopt;
    text.remove_prefix(1);
    if (!number(2, &hour) || !expect(':') || !number(2, &minute)) return std::nullopt;
    if (!text.empty() && (!expect(':') || !number(2, &second))) return std::nullopt;
    if (!text.empty()) return std::nullopt;
  }
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wHour = static_cast<WORD>(hour);
  st.wMinute = static_cast<WORD>(minute);
  st.wSecond = static_cast<WORD>(second);
  double value = 0;
  if (!SystemTimeToVariantTime(&st, &value)) return std::nullopt;
  // The platform accepts day 31 of short months by rolling over; a calendar date must exist.
  SYSTEMTIME back{};
  if (!VariantTimeToSystemTime(value, &back) || back.wDay != st.wDay || back.wMonth != st.wMonth) return std::nullopt;
  return value;
}

int FindColumn(const std::vector<std::string>& names, const ColumnRef& ref) {
  for (std::size_t c = 0; c < names.size(); ++c)
    if (EqualsNoCase(names[c], ref.text)) return static_cast<int>(c);
  int number = 0;
  auto [end, ec] = std::from_chars(ref.text.data(), ref.text.data() + ref.text.size(), number);
  if (ec == std::errc() && end == ref.text.data() + ref.text.size() && number >= 1 &&
      static_cast<std::size_t>(number) <= names.size())
    return number - 1;
  return -1;
}

int FindColumn(const CsvTable& table, const ColumnRef& ref) { return FindColumn(table.names, ref); }

std::optional<CsvTable> ParseCsv(std::string_view text, std::string_view source, const CsvColumnKinds& kinds,
                                 CsvError* error) {
  Reader reader{source, error};
  CsvTable table;
  std::vector<std::string> cells;
  char separator = 0;
  int dateIndex = -1;
  int& textIndex = table.textColumn;
  std::size_t lineNumber = 0;
  bool first = true;

  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    if (lineNumber == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);  // UTF-8 mark
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    if (!separator) separator = DetectSeparator(trimmed);
    if (!SplitCells(trimmed, separator, &cells)) {
      reader.Fail(lineNumber, "a quoted cell is not closed");
      return std::nullopt;
    }

    if (first) {
      first = false;
      // A header when some cell is text that is neither a number nor a date; in a text column
      // chosen by number, text is data unless the cell is the very name asked for.
      const int numberedText = kinds.text ? FindColumn(cells, *kinds.text) : -1;
      bool header = false;
      for (std::size_t c = 0; c < cells.size(); ++c)
        if (!IsMissing(cells[c]) && !ParseNumber(cells[c]) && !ParseDate(cells[c]))
          header = header || static_cast<int>(c) != numberedText || EqualsNoCase(cells[c], kinds.text->text);
      for (std::size_t c = 0; c < cells.size(); ++c)
        table.names.push_back(header && !cells[c].empty() ? cells[c] : "column " + std::to_string(c + 1));
      table.columns.resize(cells.size());
      for (auto [ref, index] : {std::pair(&kinds.date, &dateIndex), std::pair(&kinds.text, &textIndex)}) {
        if (!*ref) continue;
        *index = FindColumn(table.names, **ref);
        if (*index < 0) {
          reader.Fail(lineNumber, "no column named '" + (*ref)->text + "'");
          return std::nullopt;
        }
      }
      if (dateIndex >= 0 && dateIndex == textIndex) {
        reader.Fail(lineNumber, ColumnLabel(table.names, static_cast<std::size_t>(dateIndex)) +
                                    " cannot hold both dates and tick labels");
        return std::nullopt;
      }
      if (header) continue;
    }

    if (cells.size() != table.columns.size()) {
      reader.Fail(lineNumber,
                  "expected " + std::to_string(table.columns.size()) + " cells, found " + std::to_string(cells.size()));
      return std::nullopt;
    }
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const std::string& cell = cells[c];
      std::optional<double> value;
      if (static_cast<int>(c) == textIndex) {
        table.texts.push_back(IsMissing(cell) ? std::string() : cell);
        value = std::nan("");
      } else if (IsMissing(cell)) {
        value = std::nan("");
      } else {
        value = ParseNumber(cell);
        if (!value && static_cast<int>(c) == dateIndex) value = ParseDate(cell);
      }
      if (!value) {
        std::string what = static_cast<int>(c) == dateIndex ? "is not a number or a date (YYYY-MM-DD[ HH:MM[:SS]])"
                                                            : "is not a number";
        reader.Fail(lineNumber, ColumnLabel(table.names, c) + ": '" + cell + "' " + what);
        return std::nullopt;
      }
      table.columns[c].push_back(*value);
    }
  }
  if (table.columns.empty() || table.rows() == 0) {
    if (error) error->message = std::string(source) + ": no data rows";
    return std::nullopt;
  }
  return table;
}

std::optional<CsvTable> ReadCsvFile(const std::string& path, const CsvColumnKinds& kinds, CsvError* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    if (error) error->message = "cannot read '" + path + "': it is a directory";
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) error->message = "cannot open '" + path + "': " + std::strerror(errno);
    return std::nullopt;
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    if (error) error->message = "cannot read '" + path + "': " + std::strerror(errno);
    return std::nullopt;
  }
  return ParseCsv(content.str(), path, kinds, error);
}

}  // namespace kelmira::plot
