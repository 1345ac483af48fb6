#include "plot_sinks.h"

#include "input_file.h"
#include "plot_scales.h"
#include "common/hresult_text.h"

#include <kelmira/platform.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kelmira::plot {
namespace {

std::string Hex(HRESULT hr) { return tools::HresultText(hr); }

void Widen(std::optional<Range>* range, double v) {
  if (!*range) *range = Range{v, v};
  (*range)->min = std::min((*range)->min, v);
  (*range)->max = std::max((*range)->max, v);
}

}  // namespace

// Row-number X with --xlim needs the final row numbers, which rows lost to comments would shift.
bool ReadsIntoLines(const PlotOptions& options) {
  return !options.input.empty() && !options.xTickLabels && !(options.xIsIndex && options.xLimits);
}

void LineSink::Begin(const std::vector<std::string>& names, const std::vector<std::size_t>& readColumns,
                     std::size_t maxRows, std::size_t stretches) {
  // The same choice and messages as SelectSeries.
  auto index = [&](int c) {
    return static_cast<std::size_t>(std::find(readColumns.begin(), readColumns.end(), static_cast<std::size_t>(c)) -
                                    readColumns.begin());
  };
  auto findAll = [&](const std::vector<ColumnRef>& refs, const char* role, std::vector<int>* columns) {
    for (const ColumnRef& ref : refs) {
      const int c = FindColumn(names, ref);
      if (c < 0) {
        selectError_ = "no column '" + ref.text + "' (for " + role + ") in the data";
        return false;
      }
      if (index(c) == readColumns.size()) {
        selectError_ = "column '" + ref.text + "' (for " + role + ") was not read";
        return false;
      }
      columns->push_back(c);
    }
    return true;
  };
  data_.gathered = true;
  data_.xIsIndex = options_.xIsIndex;
  logX_ = options_.logX && !data_.xIsIndex;
  xLimits_ = options_.xLimits;
  if (xLimits_ && options_.logX) xLimits_ = Range{std::log10(xLimits_->min), std::log10(xLimits_->max)};
  int xColumn = -1;
  if (!data_.xIsIndex) {
    std::vector<int> x;
    if (!findAll({options_.xColumn.value_or(ColumnRef{"1"})}, "--x", &x)) return;
    xColumn = x.front();
    xValue_ = index(xColumn);
  }
  data_.xName = data_.xIsIndex ? "row" : names[static_cast<std::size_t>(xColumn)];
  std::vector<int> rightColumns, yColumns;
  if (!findAll(options_.rightYColumns, "--right-y", &rightColumns) || !findAll(options_.yColumns, "--y", &yColumns))
    return;
  if (options_.yColumns.empty())
    for (int c = 0; c < static_cast<int>(names.size()); ++c)
      if (c != xColumn && index(c) != readColumns.size() &&
          std::find(rightColumns.begin(), rightColumns.end(), c) == rightColumns.end())
        yColumns.push_back(c);
  for (auto [columns, right] : {std::pair(&yColumns, false), std::pair(&rightColumns, true)})
    for (int c : *columns) {
      data_.series.push_back(Series{names[static_cast<std::size_t>(c)], {}, right, {}});
      // As ApplyScales: a log axis takes no offset.
      const bool log = right ? options_.logRightY : options_.logY;
      const double offset = options_.yOffsetAuto ? offsets_[right] : options_.yOffset.value_or(0.0);
      targets_.push_back(Target{index(c), log, log ? 0.0 : offset});
    }
  if (data_.series.empty()) {
    selectError_ = "nothing to draw: the data has no column besides X";
    return;
  }
  Stretch empty;
  empty.series.resize(targets_.size());
  empty.beyond.resize(targets_.size());
  stretches_.assign(stretches, empty);
  MakeLines(maxRows);
}

// Sized once from the line count: a LineData fills its arrays as it makes them, and a change of
// size copies them all.
void LineSink::MakeLines(std::size_t maxRows) {
  auto check = [&](HRESULT hr, const char* what) {
    if (SUCCEEDED(hr) || !lineError_.empty()) return SUCCEEDED(hr);
    lineError_ = std::string(what) + " failed (" + Hex(hr) + ")";
    return false;
  };
  if (maxRows > static_cast<std::size_t>(std::numeric_limits<LONG>::max())) {
    check(E_OUTOFMEMORY, "LineData.Size");
    return;
  }
  for (Target& target : targets_) {
    ComPtr<ILineData> line;
    const HRESULT made =
        CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_ILineData, reinterpret_cast<void**>(&line));
    if (FAILED(made) || !line) {
      lineError_ = "cannot create Kelmira.LineData (" + Hex(made) + ")";
      break;
    }
    const bool ok = check(line->put_UseXData(VARIANT_FALSE), "LineData.UseXData") &&
                    check(line->put_UseDoubleForXData(VARIANT_TRUE), "LineData.UseDoubleForXData") &&
                    check(line->put_UseXData(data_.xIsIndex ? VARIANT_FALSE : VARIANT_TRUE), "LineData.UseXData") &&
                    check(line->put_Size(static_cast<LONG>(maxRows)), "LineData.Size") &&
                    check(line->GetDataPtr(&target.y), "LineData.GetDataPtr") &&
                    check(line->GetMaskPtr(&target.mask), "LineData.GetMaskPtr") &&
                    (data_.xIsIndex || check(line->get_DataPtrXDouble(&target.x), "LineData.DataPtrXDouble"));
    if (!ok) break;
    if (maxRows > 0 && (!target.y || !target.mask || (!data_.xIsIndex && !target.x))) {
      lineError_ = "LineData gave no arrays for " + std::to_string(maxRows) + " points";
      break;
    }
    lines_.push_back(std::move(line));
  }
  if (!lineError_.empty()) {
    lines_.clear();
    targets_.clear();  // the rows are still read, for their messages
  }
}

// A hidden point is masked out and its values stay zero. X goes in double precision: in single
// precision, epoch seconds would fall on 128-second steps. Values <= 0 on a log scale are gaps.
void LineSink::Put(std::size_t stretch, std::size_t row, const double* values) {
  if (targets_.empty()) return;
  Stretch& s = stretches_[stretch];
  auto log = [](double v, std::size_t* leftOut) {
    if (std::isnan(v)) return v;
    *leftOut += v <= 0;
    return v > 0 ? std::log10(v) : NAN;
  };
  double x = data_.xIsIndex ? 0.0 : values[xValue_];
  s.anyX |= std::isfinite(x);
  if (logX_) x = log(x, &s.xLeftOut);
  const bool xShown = data_.xIsIndex || std::isfinite(x);
  if (!data_.xIsIndex && xShown) Widen(&s.x, x);
  const bool inLimits = xLimits_ && x >= xLimits_->min && x <= xLimits_->max;
  for (std::size_t k = 0; k < targets_.size(); ++k) {
    const Target& t = targets_[k];
    Gathered& g = s.series[k];
    const double raw = values[t.value], v = t.log ? log(raw, &g.leftOut) : raw;
    const bool finite = std::isfinite(v), shown = finite && xShown;
    const float stored = static_cast<float>(v - t.offset);
    t.y[row] = shown ? stored : 0.0f;
    t.mask[row] = shown ? 1 : 0;
    if (t.x) t.x[row] = shown ? x : 0.0;
    if (std::isfinite(raw)) {
      s.anyY = true;
      if (std::fabs(raw) > FLT_MAX && !s.beyond[k].found) s.beyond[k] = Beyond{true, raw};
    }
    if (!finite) continue;
    Widen(&g.range, v);
    if (inLimits) Widen(&g.inXLimits, v);
    g.shown += shown;
    g.worst = std::max(g.worst, std::fabs(static_cast<double>(stored) + t.offset - v));
    if (!std::isfinite(stored) && !g.lost) g.lost = v;
  }
}

void LineSink::Move(std::size_t from, std::size_t to, std::size_t count) {
  for (const Target& t : targets_) {
    std::copy(t.y + from, t.y + from + count, t.y + to);
    std::copy(t.mask + from, t.mask + from + count, t.mask + to);
    if (t.x) std::copy(t.x + from, t.x + from + count, t.x + to);
  }
}

void LineSink::End(std::size_t rows) {
  data_.rows = rows;
  for (const ComPtr<ILineData>& line : lines_) {
    LONG size = 0;
    line->get_Size(&size);
    if (static_cast<std::size_t>(size) == rows) continue;
    if (const HRESULT hr = line->put_Size(static_cast<LONG>(rows)); FAILED(hr)) {
      lineError_ = "LineData.Size failed (" + Hex(hr) + ")";
      lines_.clear();
      return;
    }
  }
}

// Pieces of whole lines from across the file, the head with the header first.
void LineSink::GuessOffsets(CsvReadOptions read) {
  constexpr std::size_t kPiece = 1 << 16, kPieces = 32;
  InputFile file;
  std::string message, sample;
  if (!file.Open(options_.input, &message)) return;
  const std::string_view text = file.text();
  for (std::size_t i = 0; i < kPieces; ++i) {
    std::size_t start = i * (text.size() / kPieces);
    if (start > 0 && (start = text.find('\n', start)) != std::string_view::npos) ++start;
    if (start >= text.size()) break;
    const std::size_t end = text.size() - start <= kPiece ? text.size() : text.rfind('\n', start + kPiece);
    if (end != std::string_view::npos && end >= start) sample.append(text.substr(start, end - start + 1));
    if (end + 1 >= text.size()) break;
  }
  read.sink = nullptr, read.progress = nullptr, read.skipBadRows = true, read.threads = 1;
  CsvError error;
  std::optional<CsvTable> table = ParseCsv(sample, options_.input, read, &error);
  if (!table) return;
  const std::optional<PlotData> data = SelectSeries(std::move(*table), options_, &message);
  bool changed = false;
  if (data) AutoOffsets(*data, &changed);
}

// As ApplyScales: the given limits, else the values' range, on each side without a log scale.
void LineSink::AutoOffsets(const PlotData& data, bool* changed) {
  for (const bool right : {false, true}) {
    if (right ? options_.logRightY : options_.logY) continue;
    const std::optional<Range>& limits = right ? options_.rightYLimits : options_.yLimits;
    const std::optional<Range> shown = limits ? limits : DataRange(data, right);
    if (!shown) continue;
    const double offset = AutoOffset(*shown);
    double& used = offsets_[right ? 1 : 0];
    *changed |= offset != used || std::signbit(offset) != std::signbit(used);
    used = offset;
  }
}

std::optional<PlotData> LineSink::Select(std::string* error) {
  again_ = false;
  if (!selectError_.empty()) {
    *error = selectError_;
    return std::nullopt;
  }
  std::vector<Beyond> beyond(targets_.size());
  bool anyX = false, anyY = false;
  for (const Stretch& s : stretches_) {
    anyX |= s.anyX, anyY |= s.anyY;
    data_.xRange = Merge(data_.xRange, s.x);
    data_.xLeftOut += s.xLeftOut;
    for (std::size_t k = 0; k < s.series.size(); ++k) {
      Gathered& g = data_.series[k].gathered;
      g.range = Merge(g.range, s.series[k].range);
      g.inXLimits = Merge(g.inXLimits, s.series[k].inXLimits);
      g.shown += s.series[k].shown;
      g.worst = std::max(g.worst, s.series[k].worst);
      g.leftOut += s.series[k].leftOut;
      if (!g.lost) g.lost = s.series[k].lost;
      if (!beyond[k].found) beyond[k] = s.beyond[k];
    }
  }
  stretches_.clear();
  if (!anyY) {
    *error = "nothing to draw: every value of the drawn columns is missing";
    return std::nullopt;
  }
  if (!data_.xIsIndex && !anyX) {
    *error = "nothing to draw: every X value is missing";
    return std::nullopt;
  }
  for (std::size_t k = 0; k < beyond.size(); ++k)
    if (beyond[k].found) {
      char text[200];
      std::snprintf(text, sizeof text, "column '%s': %g is beyond the single precision Y is drawn in (at most %g)",
                    data_.series[k].name.c_str(), beyond[k].value, static_cast<double>(FLT_MAX));
      *error = text;
      return std::nullopt;
    }
  if (options_.yOffsetAuto) AutoOffsets(data_, &again_);
  if (again_) {
    data_ = PlotData{};
    targets_.clear(), lines_.clear(), lineError_.clear();
    return std::nullopt;
  }
  return std::move(data_);
}

}  // namespace kelmira::plot
