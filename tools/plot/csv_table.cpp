#include "csv_table.h"

#include "input_file.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace kelmira::plot {
namespace {

// How a column is read; only the plotted ones are parsed at all.
enum class Kind : unsigned char { Skip, Number, Date, Text };

constexpr std::size_t kRowsPerProgress = 1 << 16;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

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

std::string ColumnLabel(const std::vector<std::string>& names, std::size_t c) {
  std::string label = "column " + std::to_string(c + 1);
  if (c < names.size() && names[c] != label) label += " (" + Printable(names[c]) + ")";
  return label;
}

std::string Counted(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::size_t CountLines(std::string_view text) {
  std::size_t n = 1;
  for (const char* p = text.data(); const void* nl = std::memchr(p, '\n', text.size() - (p - text.data()));) {
    ++n;
    p = static_cast<const char*>(nl) + 1;
  }
  return n;
}

class Reader {
 public:
  Reader(std::string_view text, std::string_view source, const CsvReadOptions& options, CsvError* error,
         std::function<void(std::size_t)> consumed)
      : text_(text), source_(source), options_(options), error_(error), consumed_(std::move(consumed)) {}

  std::optional<CsvTable> Read() {
    if (const std::string problem = EncodingProblem(text_); !problem.empty()) {
      Fail(std::string(source_) + ": " + problem);
      return std::nullopt;
    }
    separator_ = options_.separator;
    if (separator_ == Separator::Detect) separator_ = DetectSeparator(SampleLines(), options_.decimalComma);
    std::string_view line;
    bool header = false;
    if (NextLine(&line) && !FirstLine(line, &header)) return std::nullopt;
    if (!header && !kinds_.empty() && !Row(line)) return std::nullopt;
    while (NextLine(&line)) {
      if (!Row(line)) return std::nullopt;
      if (consumed_ && table_.rowCount % kRowsPerProgress == 0) consumed_(pos_);
    }
    if (table_.rowCount == 0) {
      Fail(std::string(source_) + ": no data rows" + (skipped_ ? " (" + SkippedNote() + ")" : ""));
      return std::nullopt;
    }
    for (std::size_t k = 0; k < readColumns_.size(); ++k)
      if (infinities_[k])
        table_.notes.push_back(std::string(source_) + ": " + ColumnLabel(table_.names, readColumns_[k]) + ": " +
                               Counted(infinities_[k], "infinite value drawn as a gap", "infinite values drawn as gaps"));
    if (skipped_) table_.notes.push_back(SkippedNote());
    return std::move(table_);
  }

 private:
  // The next line that is neither blank nor a comment.
  bool NextLine(std::string_view* out) {
    while (pos_ < text_.size()) {
      const char* start = text_.data() + pos_;
      const void* newline = std::memchr(start, '\n', text_.size() - pos_);
      const std::size_t n = newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - start)
                                    : text_.size() - pos_;
      std::string_view line(start, n);
      pos_ += n + (newline ? 1 : 0);
      if (++lineNumber_ == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);  // UTF-8 mark
      std::size_t first = 0;
      while (first < line.size() && IsBlank(line[first])) ++first;
      if (first == line.size() || line[first] == '#') continue;
      *out = line;
      return true;
    }
    return false;
  }

  std::vector<std::string_view> SampleLines() {
    const std::size_t pos = pos_, lineNumber = lineNumber_;
    std::vector<std::string_view> lines;
    for (std::string_view line; lines.size() < 20 && NextLine(&line);) lines.push_back(line);
    pos_ = pos, lineNumber_ = lineNumber;
    return lines;
  }

  bool IsValue(std::string_view cell) const {
    if (IsMissing(cell) || ParseNumber(cell, options_.decimalComma)) return true;
    return options_.dateFormat.empty() ? ParseDate(cell).has_value() : ParseDate(cell, options_.dateFormat).has_value();
  }

  // Names the columns (from a header, or by number) and decides how each is read.
  bool FirstLine(std::string_view line, bool* header) {
    if (!SplitCells(line, separator_, &cells_, &scratch_)) return Fail(lineNumber_, "a quoted cell is not closed");
    // A header when some cell is text that is neither a number nor a date; in a text column
    // chosen by number, text is data unless the cell is the very name asked for.
    std::vector<std::string> numbered;
    for (std::size_t c = 0; c < cells_.size(); ++c) numbered.push_back(std::string(cells_[c]));
    const int numberedText = options_.text ? FindColumn(numbered, *options_.text) : -1;
    for (std::size_t c = 0; c < cells_.size(); ++c)
      if (!IsValue(cells_[c]))
        *header = *header || static_cast<int>(c) != numberedText || EqualsNoCase(cells_[c], options_.text->text);
    for (std::size_t c = 0; c < cells_.size(); ++c)
      table_.names.push_back(*header && !cells_[c].empty() ? std::string(cells_[c]) : "column " + std::to_string(c + 1));
    table_.columns.resize(cells_.size());

    kinds_.assign(cells_.size(), options_.numbers ? Kind::Skip : Kind::Number);
    if (options_.numbers)
      for (const ColumnRef& ref : *options_.numbers)
        if (const int c = FindColumn(table_.names, ref); c >= 0) kinds_[static_cast<std::size_t>(c)] = Kind::Number;
    int dateIndex = -1;
    for (auto [ref, index] : {std::pair(&options_.date, &dateIndex), std::pair(&options_.text, &table_.textColumn)}) {
      if (!*ref) continue;
      *index = FindColumn(table_.names, **ref);
      if (*index < 0) return Fail(lineNumber_, "no column named '" + Printable((*ref)->text) + "'");
    }
    if (dateIndex >= 0 && dateIndex == table_.textColumn)
      return Fail(lineNumber_, ColumnLabel(table_.names, static_cast<std::size_t>(dateIndex)) +
                                   " cannot hold both dates and tick labels");
    if (dateIndex >= 0) kinds_[static_cast<std::size_t>(dateIndex)] = Kind::Date;
    if (table_.textColumn >= 0) kinds_[static_cast<std::size_t>(table_.textColumn)] = Kind::Text;

    // Each column read is reserved once, for every line left: no growth, no copy.
    const std::size_t rows = CountLines(text_.substr(pos_)) + 1;
    for (std::size_t c = 0; c < kinds_.size(); ++c) {
      if (kinds_[c] == Kind::Skip) continue;
      readColumns_.push_back(c);
      table_.columns[c].reserve(rows);
    }
    if (table_.textColumn >= 0) table_.texts.reserve(rows);
    values_.resize(readColumns_.size());
    infinities_.resize(readColumns_.size());
    return true;
  }

  std::optional<double> Value(Kind kind, std::string_view cell) const {
    if (kind == Kind::Text || IsMissing(cell)) return std::nan("");
    if (kind == Kind::Date && !options_.dateFormat.empty()) {
      if (auto date = ParseDate(cell, options_.dateFormat)) return date;
      return ParseNumber(cell, options_.decimalComma);
    }
    if (auto value = ParseNumber(cell, options_.decimalComma)) return value;
    return kind == Kind::Date ? ParseDate(cell) : std::nullopt;
  }

  std::string NotANumber(std::size_t c, std::string_view cell) const {
    std::string what = "'" + Printable(cell) + "' ";
    if (kinds_[c] != Kind::Date)
      what += "is not a number";
    else if (options_.dateFormat.empty())
      what += "is not a number or a date (YYYY-MM-DD[ HH:MM[:SS]])";
    else
      what += "is not a number or a date in the form " + Printable(options_.dateFormat);
    if (!options_.decimalComma && ParseNumber(cell, true)) what += " (a decimal comma needs --decimal-comma)";
    return ColumnLabel(table_.names, c) + ": " + what;
  }

  // Reads one row into the columns, or none of it.
  bool Row(std::string_view line) {
    if (!SplitCells(line, separator_, &cells_, &scratch_)) return BadRow("a quoted cell is not closed");
    if (cells_.size() != kinds_.size())
      return BadRow("expected " + std::to_string(kinds_.size()) + " cells, found " + std::to_string(cells_.size()));
    for (std::size_t k = 0; k < readColumns_.size(); ++k) {
      const std::size_t c = readColumns_[k];
      const auto value = Value(kinds_[c], cells_[c]);
      if (!value) return BadRow(NotANumber(c, cells_[c]));
      values_[k] = *value;
    }
    for (std::size_t k = 0; k < readColumns_.size(); ++k) {
      table_.columns[readColumns_[k]].push_back(values_[k]);
      infinities_[k] += std::isinf(values_[k]);
    }
    if (table_.textColumn >= 0) {
      const std::string_view cell = cells_[static_cast<std::size_t>(table_.textColumn)];
      table_.texts.emplace_back(IsMissing(cell) ? std::string_view() : cell);
    }
    ++table_.rowCount;
    return true;
  }

  // A bad row is skipped and counted when asked, else it ends reading.
  bool BadRow(const std::string& what) {
    if (!options_.skipBadRows) return Fail(lineNumber_, what);
    if (skipped_++ == 0) firstSkipped_ = lineNumber_;
    return true;
  }

  std::string SkippedNote() const {
    return "skipped " + Counted(skipped_, "bad row", "bad rows") + " (first: " + std::string(source_) + ":" +
           std::to_string(firstSkipped_) + ")";
  }

  bool Fail(std::size_t line, const std::string& what) {
    return Fail(std::string(source_) + ":" + std::to_string(line) + ": " + what);
  }
  bool Fail(std::string message) {
    if (error_) error_->message = std::move(message);
    return false;
  }

  std::string_view text_, source_;
  const CsvReadOptions& options_;
  CsvError* error_;
  std::function<void(std::size_t)> consumed_;
  std::size_t pos_ = 0, lineNumber_ = 0;
  Separator separator_ = Separator::Detect;
  std::vector<Kind> kinds_;
  std::vector<std::size_t> readColumns_;
  std::vector<std::string_view> cells_;
  std::string scratch_;
  std::vector<double> values_;  // the row being read, one per column read
  std::vector<std::size_t> infinities_;
  std::size_t skipped_ = 0, firstSkipped_ = 0;
  CsvTable table_;
};

}  // namespace

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

std::optional<CsvTable> ParseCsv(std::string_view text, std::string_view source, const CsvReadOptions& options,
                                 CsvError* error) {
  auto consumed = [&](std::size_t done) {
    if (options.progress) options.progress(static_cast<double>(done) / static_cast<double>(text.size()));
  };
  return Reader(text, source, options, error, consumed).Read();
}

std::optional<CsvTable> ReadCsvFile(const std::string& path, const CsvReadOptions& options, CsvError* error) {
  InputFile file;
  std::string message;
  if (!file.Open(path, &message)) {
    if (error) error->message = message;
    return std::nullopt;
  }
  const std::string_view text = file.text();
  auto consumed = [&](std::size_t done) {
    file.Release(done);
    if (options.progress) options.progress(static_cast<double>(done) / static_cast<double>(text.size()));
  };
  return Reader(text, path, options, error, consumed).Read();
}

}  // namespace kelmira::plot
