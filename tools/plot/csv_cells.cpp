#include "csv_cells.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace kelmira::plot {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool EqualsNoCase(std::string_view a, std::string_view lower) {
  if (a.size() != lower.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if ((a[i] >= 'A' && a[i] <= 'Z' ? a[i] - 'A' + 'a' : a[i]) != lower[i]) return false;
  return true;
}

char SeparatorChar(Separator separator) {
  switch (separator) {
    case Separator::Semicolon: return ';';
    case Separator::Tab: return '\t';
    case Separator::Blanks: return ' ';
    default: return ',';
  }
}

bool IsSeparator(char c, Separator separator) {
  return separator == Separator::Blanks ? c == ' ' || c == '\t' : c == SeparatorChar(separator);
}

// Quoted cells are rare: they are built in `scratch`, reserved for the whole line so that the
// cells already taken stay where they are.
bool SplitQuoted(std::string_view line, Separator separator, std::vector<std::string_view>* cells,
                 std::string* scratch) {
  scratch->clear();
  scratch->reserve(line.size());
  std::size_t start = 0, end = 0;  // the cell in scratch; `end` leaves out trailing blanks
  bool quoted = false, started = false;
  auto finish = [&] {
    cells->emplace_back(scratch->data() + start, end - start);
    start = end = scratch->size();
    started = false;
  };
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') {
        *scratch += c;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        *scratch += '"';
        ++i;
      } else {
        quoted = false;
      }
      end = scratch->size();
    } else if (c == '"') {
      quoted = started = true;
    } else if (IsSeparator(c, separator) && (started || separator != Separator::Blanks)) {
      finish();
    } else if (IsBlank(c)) {
      if (started) *scratch += c;
    } else {
      *scratch += c;
      started = true;
      end = scratch->size();
    }
  }
  if (quoted) return false;
  if (started || separator != Separator::Blanks || cells->empty()) finish();
  return true;
}

}  // namespace

bool IsMissing(std::string_view cell) {
  return cell.empty() || EqualsNoCase(cell, "nan") || EqualsNoCase(cell, "na") || EqualsNoCase(cell, "null");
}

std::optional<double> ParseNumber(std::string_view cell, bool decimalComma) {
  char copy[64];
  if (decimalComma && cell.find(',') != std::string_view::npos) {
    // "1.5" is refused with a decimal comma: the dot would be a thousands mark there.
    if (cell.size() > sizeof copy || cell.find('.') != std::string_view::npos) return std::nullopt;
    std::memcpy(copy, cell.data(), cell.size());
    *std::find(copy, copy + cell.size(), ',') = '.';
    cell = std::string_view(copy, cell.size());
  }
  if (!cell.empty() && cell.front() == '+') cell.remove_prefix(1);
  if (cell.empty() || cell.front() == '+') return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
  if (end != cell.data() + cell.size()) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    // Beyond a double or below its smallest: strtod says which, as an infinity or 0.
    const std::string text(cell);
    return std::strtod(text.c_str(), nullptr);
  }
  if (ec != std::errc()) return std::nullopt;
  return value;
}

bool SplitCells(std::string_view line, Separator separator, std::vector<std::string_view>* cells,
                std::string* scratch) {
  cells->clear();
  line = Trim(line);
  if (line.find('"') != std::string_view::npos) return SplitQuoted(line, separator, cells, scratch);
  if (separator == Separator::Blanks) {
    while (!line.empty()) {
      std::size_t n = 0;
      while (n < line.size() && line[n] != ' ' && line[n] != '\t') ++n;
      cells->push_back(line.substr(0, n));
      line = Trim(line.substr(n));
    }
    if (cells->empty()) cells->emplace_back();
    return true;
  }
  const char sep = SeparatorChar(separator);
  while (true) {
    const void* found = std::memchr(line.data(), sep, line.size());
    if (!found) break;
    const auto n = static_cast<std::size_t>(static_cast<const char*>(found) - line.data());
    cells->push_back(Trim(line.substr(0, n)));
    line.remove_prefix(n + 1);
  }
  cells->push_back(Trim(line));
  return true;
}

Separator DetectSeparator(const std::vector<std::string_view>& lines, bool decimalComma) {
  std::vector<std::string_view> cells;
  std::string scratch;
  auto fits = [&](Separator separator) {
    std::size_t count = 0;
    for (std::string_view line : lines) {
      if (!SplitCells(line, separator, &cells, &scratch)) return false;
      if (count == 0) count = cells.size();
      if (cells.size() != count || count < 2) return false;
    }
    return count > 0;
  };
  for (Separator s : {Separator::Tab, Separator::Semicolon, Separator::Comma, Separator::Blanks})
    if ((s != Separator::Comma || !decimalComma) && fits(s)) return s;
  // Ragged lines: the first one decides, so that its row is reported as the bad one.
  const std::string_view first = lines.empty() ? std::string_view() : lines.front();
  if (first.find('\t') != std::string_view::npos) return Separator::Tab;
  if (first.find(';') != std::string_view::npos) return Separator::Semicolon;
  if (first.find(',') != std::string_view::npos && !decimalComma) return Separator::Comma;
  return decimalComma ? Separator::Semicolon : Separator::Comma;
}

}  // namespace kelmira::plot
