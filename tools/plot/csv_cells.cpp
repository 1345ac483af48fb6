#include "csv_cells.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
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

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Most cells are short decimals. When the digits fit in 53 bits and the power of ten is exact,
// one multiplication or division rounds correctly (Clinger's fast path); other text, and numbers
// outside that, are left to from_chars.
bool ShortDecimal(std::string_view cell, double* value) {
  const char *p = cell.data(), *end = p + cell.size();
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  std::uint64_t digits = 0;
  int count = 0, scale = 0;
  for (; p != end && IsDigit(*p); ++p, ++count) digits = digits * 10 + static_cast<unsigned>(*p - '0');
  if (p != end && *p == '.')
    for (++p; p != end && IsDigit(*p); ++p, ++count, --scale) digits = digits * 10 + static_cast<unsigned>(*p - '0');
  if (count == 0 || count > 19 || digits > (std::uint64_t{1} << 53)) return false;
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool down = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    int exponent = 0, n = 0;
    for (; p != end && IsDigit(*p) && n < 4; ++p, ++n) exponent = exponent * 10 + (*p - '0');
    if (n == 0) return false;
    scale += down ? -exponent : exponent;
  }
  if (p != end || scale < -22 || scale > 22) return false;
  const double magnitude = scale < 0 ? static_cast<double>(digits) / kPowersOfTen[-scale]
                                     : static_cast<double>(digits) * kPowersOfTen[scale];
  *value = negative ? -magnitude : magnitude;
  return true;
}

}  // namespace

bool IsMissing(std::string_view cell) {
  return cell.empty() || EqualsNoCase(cell, "nan") || EqualsNoCase(cell, "na") || EqualsNoCase(cell, "null");
}

bool ParseNumber(std::string_view cell, bool decimalComma, double* value) {
  char copy[64];
  if (decimalComma && cell.find(',') != std::string_view::npos) {
    // "1.5" is refused with a decimal comma: the dot would be a thousands mark there.
    if (cell.size() > sizeof copy || cell.find('.') != std::string_view::npos) return false;
    std::memcpy(copy, cell.data(), cell.size());
    *std::find(copy, copy + cell.size(), ',') = '.';
    cell = std::string_view(copy, cell.size());
  }
  if (ShortDecimal(cell, value)) return true;
  if (!cell.empty() && cell.front() == '+') cell.remove_prefix(1);
  if (cell.empty() || cell.front() == '+') return false;
  auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), *value);
  if (end != cell.data() + cell.size()) return false;
  if (ec == std::errc::result_out_of_range) {
    // Beyond a double or below its smallest: strtod says which, as an infinity or 0.
    const std::string text(cell);
    *value = std::strtod(text.c_str(), nullptr);
    return true;
  }
  return ec == std::errc();
}

std::optional<double> ParseNumber(std::string_view cell, bool decimalComma) {
  double value = 0;
  if (!ParseNumber(cell, decimalComma, &value)) return std::nullopt;
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
