#include "csv_table.h"

#include "input_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <thread>

namespace kelmira::plot {
namespace {

// How a column is read; only the plotted ones are parsed at all.
enum class Kind : unsigned char { Skip, Number, Date, Text };

constexpr std::size_t kRowsPerProgress = 1 << 14;

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

// The next line that is neither blank nor a comment, from `*pos` on.
bool NextLine(std::string_view text, std::size_t* pos, std::size_t* lineNumber, std::string_view* out) {
  while (*pos < text.size()) {
    const char* start = text.data() + *pos;
    const void* newline = std::memchr(start, '\n', text.size() - *pos);
    const std::size_t n =
        newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - start) : text.size() - *pos;
    std::string_view line(start, n);
    *pos += n + (newline ? 1 : 0);
    if (++*lineNumber == 1 && *pos == n + (newline ? 1 : 0) && line.starts_with("\xEF\xBB\xBF"))
      line.remove_prefix(3);  // UTF-8 mark
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    if (first == line.size() || line[first] == '#') continue;
    *out = line;
    return true;
  }
  return false;
}

std::size_t CountNewlines(std::string_view text) {
  std::size_t n = 0;
  const char *p = text.data(), *end = p + text.size();
  while (const void* newline = std::memchr(p, '\n', static_cast<std::size_t>(end - p))) {
    ++n;
    p = static_cast<const char*>(newline) + 1;
  }
  return n;
}

// What the first line decided, shared by the row readers.
struct Layout {
  explicit Layout(const CsvReadOptions& readOptions) : options(readOptions) {}
  const CsvReadOptions& options;
  Separator separator = Separator::Detect;
  char separatorChar = 0;  // 0 for runs of blanks
  std::vector<std::string> names;
  std::vector<Kind> kinds;               // per column
  std::vector<std::size_t> readColumns;  // the columns read, in order
  int textColumn = -1;
};

std::string NotANumber(const Layout& layout, std::size_t c, std::string_view cell) {
  std::string what = "'" + Printable(cell) + "' ";
  if (layout.kinds[c] != Kind::Date)
    what += "is not a number";
  else if (layout.options.dateFormat.empty())
    what += "is not a number or a date (YYYY-MM-DD[ HH:MM[:SS]])";
  else
    what += "is not a number or a date in the form " + Printable(layout.options.dateFormat);
  if (!layout.options.decimalComma && ParseNumber(cell, true)) what += " (a decimal comma needs --decimal-comma)";
  return ColumnLabel(layout.names, c) + ": " + what;
}

// Reads the rows of one stretch of the text straight into the columns, from row `firstRow` on.
// Stretches are read side by side; each keeps its own counts and its first error.
class RowReader {
 public:
  RowReader(const Layout& layout, std::string_view text, std::size_t firstLine, std::size_t firstRow,
            std::vector<double*> columns, std::size_t stretch)
      : infinities(layout.readColumns.size()),
        layout_(layout),
        sink_(layout.options.sink),
        stretch_(stretch),
        text_(text),
        lineNumber_(firstLine - 1),
        row_(firstRow),
        columns_(std::move(columns)),
        values_(layout.readColumns.size()) {}

  // Reads to the end or to the first bad row that is not skipped; `consumed` hears of the bytes
  // read now and then.
  void Read(const std::function<void(std::size_t, std::size_t)>& consumed) {
    std::size_t from = 0;
    for (std::string_view line; NextLine(text_, &pos_, &lineNumber_, &line);) {
      if (!Row(line)) return;
      if (consumed && ++sinceReport_ == kRowsPerProgress) {
        consumed(from, pos_);
        from = pos_, sinceReport_ = 0;
      }
    }
    if (consumed && from != pos_) consumed(from, pos_);  // the last rows: progress reaches the whole
  }

  std::size_t rows = 0;
  std::vector<std::string> texts;
  std::vector<std::size_t> infinities;
  std::size_t skipped = 0, firstSkipped = 0;
  std::optional<std::string> error;  // "LINE: what"
  std::size_t errorLine = 0;

 private:
  // False when the cell is neither missing nor a value of its column's kind.
  bool Value(Kind kind, std::string_view cell, double* value) const {
    const CsvReadOptions& options = layout_.options;
    const bool formatFirst = kind == Kind::Date && !options.dateFormat.empty();
    if (kind != Kind::Text && !formatFirst && ParseNumber(cell, options.decimalComma, value)) return true;
    std::optional<double> found;
    if (kind == Kind::Text || IsMissing(cell))
      found = std::nan("");
    else if (kind == Kind::Date)
      found = formatFirst ? ParseDate(cell, options.dateFormat) : ParseDate(cell);
    if (found) *value = *found;
    return found || (formatFirst && ParseNumber(cell, options.decimalComma, value));
  }

  // Reads one row into the columns, or none of it.
  bool Row(std::string_view line) {
    if (FastRow(line)) return true;
    if (!SplitCells(line, layout_.separator, &cells_, &scratch_)) return BadRow("a quoted cell is not closed");
    if (cells_.size() != layout_.kinds.size())
      return BadRow("expected " + std::to_string(layout_.kinds.size()) + " cells, found " +
                    std::to_string(cells_.size()));
    const std::vector<std::size_t>& read = layout_.readColumns;
    for (std::size_t k = 0; k < read.size(); ++k)
      if (!Value(layout_.kinds[read[k]], cells_[read[k]], &values_[k]))
        return BadRow(NotANumber(layout_, read[k], cells_[read[k]]));
    Commit();
    if (layout_.textColumn >= 0) {
      const std::string_view cell = cells_[static_cast<std::size_t>(layout_.textColumn)];
      texts.emplace_back(IsMissing(cell) ? std::string_view() : cell);
    }
    ++row_, ++rows;
    return true;
  }

  void Commit() {
    for (std::size_t k = 0; k < values_.size(); ++k) infinities[k] += std::isinf(values_[k]);
    if (sink_) return sink_->Put(stretch_, row_, values_.data());
    for (std::size_t k = 0; k < values_.size(); ++k) columns_[k][row_] = values_[k];
  }

  // The common row: numbers only, no quotes, one character between cells. Only the cells read
  // are looked at; any other row is left to the general path, which also finds the message.
  bool FastRow(std::string_view line) {
    const char separator = layout_.separatorChar;
    if (!separator) return false;
    const std::vector<Kind>& kinds = layout_.kinds;
    const char *p = line.data(), *end = p + line.size();
    std::size_t c = 0, k = 0;
    // One pass over a short line beats a search call per cell.
    for (const char* q = p;; ++q) {
      if (q != end && *q != separator) {
        if (*q == '"') return false;
        continue;
      }
      if (c < kinds.size() && kinds[c] != Kind::Skip) {
        std::string_view cell(p, static_cast<std::size_t>(q - p));
        while (!cell.empty() && IsBlank(cell.front())) cell.remove_prefix(1);
        while (!cell.empty() && IsBlank(cell.back())) cell.remove_suffix(1);
        if (kinds[c] != Kind::Number || !ParseNumber(cell, layout_.options.decimalComma, &values_[k++])) return false;
      }
      if (q == end) break;
      p = q + 1;
      ++c;
    }
    if (c + 1 != kinds.size()) return false;
    Commit();
    ++row_, ++rows;
    return true;
  }

  // A bad row is skipped and counted when asked, else it ends reading.
  bool BadRow(std::string what) {
    if (!layout_.options.skipBadRows) {
      error = std::move(what);
      errorLine = lineNumber_;
      return false;
    }
    if (skipped++ == 0) firstSkipped = lineNumber_;
    return true;
  }

  const Layout& layout_;
  RowSink* sink_;
  std::size_t stretch_;
  std::string_view text_;
  std::size_t pos_ = 0, lineNumber_, row_, sinceReport_ = 0;
  std::vector<double*> columns_;
  std::vector<std::string_view> cells_;
  std::string scratch_;
  std::vector<double> values_;  // the row being read, one per column read
};

// The stretches read side by side: about a megabyte at the least, one per core at the most,
// unless the count is given.
std::vector<std::string_view> Stretches(std::string_view text, unsigned given) {
  const std::size_t cores = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
  const std::size_t count = given ? given : std::clamp<std::size_t>(text.size() >> 20, 1, cores);
  std::vector<std::string_view> stretches;
  while (stretches.size() + 1 < count && !text.empty()) {
    std::size_t end = text.find('\n', text.size() / (count - stretches.size()));
    end = end == std::string_view::npos ? text.size() : end + 1;
    stretches.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  stretches.push_back(text);
  return stretches;
}

// Runs job(i) for every i below n, each on a thread of its own but the first.
template <class Job>
void SideBySide(std::size_t n, const Job& job) {
  std::vector<std::thread> threads;
  for (std::size_t i = 1; i < n; ++i) threads.emplace_back(job, i);
  job(std::size_t{0});
  for (std::thread& thread : threads) thread.join();
}

class Reader {
 public:
  Reader(std::string_view text, std::string_view source, const CsvReadOptions& options, CsvError* error,
         InputFile* file)
      : text_(text), source_(source), layout_(options), error_(error), file_(file) {}

  std::optional<CsvTable> Read() {
    if (const std::string problem = EncodingProblem(text_); !problem.empty()) {
      Fail(std::string(source_) + ": " + problem);
      return std::nullopt;
    }
    layout_.separator = layout_.options.separator;
    if (layout_.separator == Separator::Detect)
      layout_.separator = DetectSeparator(SampleLines(), layout_.options.decimalComma);
    layout_.separatorChar = layout_.separator == Separator::Comma       ? ','
                            : layout_.separator == Separator::Semicolon ? ';'
                            : layout_.separator == Separator::Tab       ? '\t'
                                                                        : '\0';
    std::string_view line;
    bool header = false;
    if (NextLine(text_, &pos_, &lineNumber_, &line) && !FirstLine(line, &header)) return std::nullopt;
    if (!header && !layout_.kinds.empty()) {
      pos_ = static_cast<std::size_t>(line.data() - text_.data());  // the first line is a row too
      --lineNumber_;
    }
    if (!layout_.kinds.empty() && !ReadRows()) return std::nullopt;
    if (table_.rowCount == 0) {
      Fail(std::string(source_) + ": no data rows" + (skipped_ ? " (" + SkippedNote() + ")" : ""));
      return std::nullopt;
    }
    return std::move(table_);
  }

 private:
  std::vector<std::string_view> SampleLines() const {
    std::size_t pos = pos_, lineNumber = lineNumber_;
    std::vector<std::string_view> lines;
    for (std::string_view line; lines.size() < 20 && NextLine(text_, &pos, &lineNumber, &line);) lines.push_back(line);
    return lines;
  }

  bool IsValue(std::string_view cell) const {
    const CsvReadOptions& options = layout_.options;
    if (IsMissing(cell) || ParseNumber(cell, options.decimalComma)) return true;
    return options.dateFormat.empty() ? ParseDate(cell).has_value() : ParseDate(cell, options.dateFormat).has_value();
  }

  // A column of names or categories (an iris file's species) is left out of "every column"; a
  // number among its first cells makes it a column of numbers with a typo, which stays an error.
  void LeaveOutText() {
    std::vector<Kind>& kinds = layout_.kinds;
    std::vector<bool> text(kinds.size()), number(kinds.size());
    std::vector<std::string_view> cells;
    std::string scratch;
    for (std::string_view line : SampleLines()) {
      if (!SplitCells(line, layout_.separator, &cells, &scratch) || cells.size() != kinds.size()) continue;
      for (std::size_t c = 0; c < cells.size(); ++c)
        if (!IsMissing(cells[c])) (ParseNumber(cells[c], layout_.options.decimalComma) ? number : text)[c] = true;
    }
    for (const ColumnRef& ref : *layout_.options.leaveOutText)
      if (const int c = FindColumn(layout_.names, ref); c >= 0) text[static_cast<std::size_t>(c)] = false;
    std::string left;
    std::size_t count = 0;
    for (std::size_t c = 0; c < kinds.size(); ++c) {
      if (kinds[c] != Kind::Number || !text[c] || number[c]) continue;
      kinds[c] = Kind::Skip;
      left += (count++ ? ", " : "") + ColumnLabel(layout_.names, c);
    }
    if (count)
      table_.notes.push_back(std::string(source_) + ": " + left + (count == 1 ? " holds" : " hold") +
                             " text, not numbers: left out of the drawn columns");
  }

  // Names the columns (from a header, or by number) and decides how each is read.
  bool FirstLine(std::string_view line, bool* header) {
    const CsvReadOptions& options = layout_.options;
    std::vector<std::string_view> cells;
    std::string scratch;
    if (!SplitCells(line, layout_.separator, &cells, &scratch)) return Fail(lineNumber_, "a quoted cell is not closed");
    // A header when some cell is text that is neither a number nor a date; in a text column
    // chosen by number, text is data unless the cell is the very name asked for.
    std::vector<std::string>& names = layout_.names;
    for (std::string_view cell : cells) names.emplace_back(cell);
    const int numberedText = options.text ? FindColumn(names, *options.text) : -1;
    for (std::size_t c = 0; c < cells.size(); ++c)
      if (!IsValue(cells[c]))
        *header = *header || static_cast<int>(c) != numberedText || EqualsNoCase(cells[c], options.text->text);
    for (std::size_t c = 0; c < cells.size(); ++c)
      if (!*header || cells[c].empty()) names[c] = "column " + std::to_string(c + 1);

    std::vector<Kind>& kinds = layout_.kinds;
    kinds.assign(cells.size(), options.numbers ? Kind::Skip : Kind::Number);
    if (options.numbers)
      for (const ColumnRef& ref : *options.numbers)
        if (const int c = FindColumn(names, ref); c >= 0) kinds[static_cast<std::size_t>(c)] = Kind::Number;
    int dateIndex = -1;
    for (auto [ref, index] : {std::pair(&options.date, &dateIndex), std::pair(&options.text, &layout_.textColumn)}) {
      if (!*ref) continue;
      *index = FindColumn(names, **ref);
      if (*index < 0) return Fail(lineNumber_, "no column named '" + Printable((*ref)->text) + "'");
    }
    if (dateIndex >= 0 && dateIndex == layout_.textColumn)
      return Fail(lineNumber_,
                  ColumnLabel(names, static_cast<std::size_t>(dateIndex)) + " cannot hold both dates and tick labels");
    if (dateIndex >= 0) kinds[static_cast<std::size_t>(dateIndex)] = Kind::Date;
    if (layout_.textColumn >= 0) kinds[static_cast<std::size_t>(layout_.textColumn)] = Kind::Text;
    if (options.leaveOutText && !options.numbers) LeaveOutText();
    for (std::size_t c = 0; c < kinds.size(); ++c)
      if (kinds[c] != Kind::Skip) layout_.readColumns.push_back(c);
    table_.names = names;
    table_.textColumn = layout_.textColumn;
    table_.columns.resize(names.size());
    return true;
  }

  // Each column read is sized once for every line left, and the stretches of the text are read
  // side by side straight into it; then each stretch's rows close up behind the one before.
  bool ReadRows() {
    const std::vector<std::string_view> stretches = Stretches(text_.substr(pos_), layout_.options.threads);
    std::vector<std::size_t> lines(stretches.size());
    auto offset = [&](std::size_t i) { return static_cast<std::size_t>(stretches[i].data() - text_.data()); };
    // Counted a slice at a time, each dropped at once: the file is never held whole.
    constexpr std::size_t kSlice = std::size_t{8} << 20;
    SideBySide(stretches.size(), [&](std::size_t i) {
      const std::string_view stretch = stretches[i];
      for (std::size_t at = 0; at < stretch.size(); at += kSlice) {
        lines[i] += CountNewlines(stretch.substr(at, kSlice));
        if (file_) file_->Release(offset(i) + at, offset(i) + std::min(at + kSlice, stretch.size()));
      }
      lines[i] += !stretch.empty() && stretch.back() != '\n';  // a last line without a newline
    });
    std::size_t total = 0;
    for (std::size_t n : lines) total += n;
    if (RowSink* sink = layout_.options.sink)
      sink->Begin(layout_.names, layout_.readColumns, total, stretches.size());
    else
      for (std::size_t c : layout_.readColumns) table_.columns[c].resize(total);

    std::vector<std::optional<RowReader>> readers(stretches.size());
    for (std::size_t i = 0, line = lineNumber_ + 1, row = 0; i < stretches.size(); ++i) {
      std::vector<double*> columns;
      for (std::size_t c : layout_.readColumns) columns.push_back(table_.columns[c].data());
      readers[i].emplace(layout_, stretches[i], line, row, std::move(columns), i);
      line += lines[i];
      row += lines[i];
    }
    SideBySide(stretches.size(), [&](std::size_t i) {
      readers[i]->Read([&, i](std::size_t from, std::size_t to) {
        if (file_) file_->Release(offset(i) + from, offset(i) + to);
        if (i == 0 && layout_.options.progress)
          layout_.options.progress(static_cast<double>(to) / static_cast<double>(stretches[0].size()));
      });
    });
    return Gather(readers, lines);
  }

  bool Gather(std::vector<std::optional<RowReader>>& readers, const std::vector<std::size_t>& lines) {
    std::vector<std::size_t> infinities(layout_.readColumns.size());
    std::size_t rows = 0, start = 0;
    for (std::size_t i = 0; i < readers.size(); start += lines[i], ++i) {
      RowReader& r = *readers[i];
      if (r.error) return Fail(r.errorLine, *r.error);
      if (r.skipped && skipped_ == 0) firstSkipped_ = r.firstSkipped;
      skipped_ += r.skipped;
      if (layout_.options.sink && rows != start && r.rows) layout_.options.sink->Move(start, rows, r.rows);
      for (std::size_t k = 0; k < infinities.size(); ++k) {
        if (layout_.options.sink) {
          infinities[k] += r.infinities[k];
          continue;
        }
        std::vector<double>& column = table_.columns[layout_.readColumns[k]];
        std::copy(column.begin() + static_cast<std::ptrdiff_t>(start),
                  column.begin() + static_cast<std::ptrdiff_t>(start + r.rows),
                  column.begin() + static_cast<std::ptrdiff_t>(rows));
        infinities[k] += r.infinities[k];
      }
      std::move(r.texts.begin(), r.texts.end(), std::back_inserter(table_.texts));
      rows += r.rows;
    }
    if (layout_.options.sink)
      layout_.options.sink->End(rows);
    else
      for (std::size_t c : layout_.readColumns) table_.columns[c].resize(rows);
    table_.rowCount = rows;
    for (std::size_t k = 0; k < infinities.size(); ++k)
      if (infinities[k])
        table_.notes.push_back(
            std::string(source_) + ": " + ColumnLabel(table_.names, layout_.readColumns[k]) + ": " +
            Counted(infinities[k], "infinite value drawn as a gap", "infinite values drawn as gaps"));
    if (skipped_ && rows) table_.notes.push_back(SkippedNote());
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
  Layout layout_;
  CsvError* error_;
  InputFile* file_;
  std::size_t pos_ = 0, lineNumber_ = 0;
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
  return Reader(text, source, options, error, nullptr).Read();
}

std::optional<CsvTable> ReadCsvFile(const std::string& path, const CsvReadOptions& options, CsvError* error) {
  InputFile file;
  std::string message;
  if (!file.Open(path, &message)) {
    if (error) error->message = message;
    return std::nullopt;
  }
  return Reader(file.text(), path, options, error, &file).Read();
}

}  // namespace kelmira::plot
