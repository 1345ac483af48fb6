// DrawTextA line layout.
#include "gdi/text_layout.h"

#include <algorithm>
#include <climits>

namespace kelmira::gdi {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr char16_t kEllipsis[] = u"...";

int Saturate(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

// Measures characters with tab stops counted from the line's start.
class LineMeter {
 public:
  LineMeter(const std::vector<int>& advances, std::u16string_view text, const LayoutParams& params)
      : advances_(advances), text_(text), expandTabs_(params.flags & dt::kExpandTabs), tabWidth_(params.tabWidth) {}

  bool IsBreakSpace(std::size_t i) const { return text_[i] == u' ' || (expandTabs_ && text_[i] == u'\t'); }

  long long Width(std::size_t i, long long x) const {
    if (!expandTabs_ || text_[i] != u'\t') return advances_[i];
    if (tabWidth_ <= 0) return 0;
    return (x / tabWidth_ + 1) * tabWidth_ - x;
  }

 private:
  const std::vector<int>& advances_;
  std::u16string_view text_;
  bool expandTabs_;
  int tabWidth_;
};

struct Segment {
  std::size_t begin, end;
};

// Splits [begin, end) into lines that fit `width`, breaking at runs of spaces.
void WrapParagraph(const LineMeter& meter, std::size_t begin, std::size_t end, int width, std::vector<Segment>& out) {
  std::size_t pos = begin;
  if (begin == end) out.push_back({begin, end});
  while (pos < end) {
    long long x = 0;
    std::size_t breakEnd = kNone, breakNext = kNone;
    std::size_t i = pos;
    bool wrapped = false;
    while (i < end) {
      if (meter.IsBreakSpace(i)) {
        std::size_t j = i;
        for (; j < end && meter.IsBreakSpace(j); ++j) x += meter.Width(j, x);
        breakEnd = i;
        breakNext = j;
        i = j;
        continue;
      }
      long long w = meter.Width(i, x);
      if (x + w > width && i > pos) {
        if (breakEnd != kNone && breakEnd > pos) {
          out.push_back({pos, breakEnd});
          pos = breakNext;
        } else {
          // A word wider than the line stays whole on a line of its own.
          std::size_t j = i;
          while (j < end && !meter.IsBreakSpace(j)) ++j;
          out.push_back({pos, j});
          while (j < end && meter.IsBreakSpace(j)) ++j;
          pos = j;
        }
        wrapped = true;
        break;
      }
      x += w;
      ++i;
    }
    if (!wrapped) {
      out.push_back({pos, end});
      break;
    }
  }
}

std::vector<Segment> SplitLines(const PrefixedText& text, const LineMeter& meter, const LayoutParams& params) {
  std::vector<Segment> segments;
  const std::u16string& s = text.text;
  const bool single = params.flags & dt::kSingleLine;
  const bool wrap = (params.flags & dt::kWordBreak) && !single;
  std::size_t begin = 0;
  while (begin < s.size()) {
    std::size_t end = begin;
    if (!single)
      while (end < s.size() && !IsLineBreak(s[end])) ++end;
    else
      end = s.size();
    if (wrap)
      WrapParagraph(meter, begin, end, params.rectWidth, segments);
    else
      segments.push_back({begin, end});
    if (end < s.size() && s[end] == u'\r' && end + 1 < s.size() && s[end + 1] == u'\n') ++end;
    begin = end + 1;
  }
  return segments;
}

void MeasureLine(LaidOutLine& line, const std::vector<int>& advances, const LayoutParams& params) {
  LineMeter meter(advances, line.text, params);
  line.x.assign(line.text.size() + 1, 0);
  long long x = 0;
  for (std::size_t i = 0; i < line.text.size(); ++i) {
    line.x[i] = Saturate(x);
    x += meter.Width(i, x);
  }
  line.x.back() = Saturate(x);
  line.width = Saturate(x);
}

LaidOutLine MakeLine(const PrefixedText& text, const std::vector<int>& advances, Segment seg,
                     const LayoutParams& params) {
  LaidOutLine line;
  line.text = text.text.substr(seg.begin, seg.end - seg.begin);
  for (std::size_t u : text.underlined)
    if (u >= seg.begin && u < seg.end) line.underlined.push_back(u - seg.begin);
  std::vector<int> own(advances.begin() + static_cast<std::ptrdiff_t>(seg.begin),
                       advances.begin() + static_cast<std::ptrdiff_t>(seg.end));
  MeasureLine(line, own, params);
  return line;
}

void AddEllipsis(LaidOutLine& line, const LayoutParams& params, const AdvanceFunction& measure) {
  if (line.width <= params.rectWidth) return;
  int dots[3];
  measure(kEllipsis, dots);
  long long ellipsis = static_cast<long long>(dots[0]) + dots[1] + dots[2];
  std::size_t keep = line.text.size();
  while (keep > 0 && line.x[keep] + ellipsis > params.rectWidth) --keep;
  line.text.resize(keep);
  line.text += kEllipsis;
  std::erase_if(line.underlined, [keep](std::size_t u) { return u >= keep; });
  std::vector<int> advances(line.text.size());
  measure(line.text, advances.data());
  MeasureLine(line, advances, params);
}

}  // namespace

DrawTextFormat ParseDrawTextFormat(std::uint32_t format) {
  DrawTextFormat parsed;
  parsed.flags = format;
  if (format & dt::kTabStop) {
    parsed.tabChars = static_cast<int>((format >> 8) & 0xFF);
    if (parsed.tabChars == 0) parsed.tabChars = dt::kDefaultTabChars;
    parsed.flags &= ~0xFF00u;
  }
  return parsed;
}

PrefixedText StripPrefixes(std::u16string_view text) {
  PrefixedText out;
  out.text.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'&') {
      out.text.push_back(text[i]);
      continue;
    }
    if (i + 1 == text.size()) break;  // a lone '&' at the end marks nothing
    if (text[i + 1] == u'&') {
      out.text.push_back(u'&');
      ++i;
      continue;
    }
    out.underlined.push_back(out.text.size());
  }
  return out;
}

std::vector<LaidOutLine> LayOutLines(const PrefixedText& text, const LayoutParams& params,
                                     const AdvanceFunction& advances) {
  std::vector<int> widths(text.text.size());
  if (!text.text.empty()) advances(text.text, widths.data());
  LineMeter meter(widths, text.text, params);
  std::vector<LaidOutLine> lines;
  for (Segment seg : SplitLines(text, meter, params)) {
    lines.push_back(MakeLine(text, widths, seg, params));
    if (params.flags & dt::kEndEllipsis) AddEllipsis(lines.back(), params, advances);
  }
  return lines;
}

LinePlacement PlaceLines(const std::vector<LaidOutLine>& lines, const TextRect& rect, std::uint32_t flags,
                         int lineHeight) {
  LinePlacement placement;
  int widest = 0;
  for (const LaidOutLine& line : lines) widest = std::max(widest, line.width);
  const long long total = static_cast<long long>(lines.size()) * lineHeight;
  placement.bounds = {rect.left, rect.top, Saturate(static_cast<long long>(rect.left) + widest),
                      Saturate(rect.top + total)};
  placement.result = Saturate(total);

  long long y = rect.top;
  const bool single = flags & dt::kSingleLine;
  if (single && (flags & dt::kVCenter))
    y = rect.top + (static_cast<long long>(rect.bottom) - rect.top - lineHeight) / 2;
  else if (single && (flags & dt::kBottom))
    y = static_cast<long long>(rect.bottom) - lineHeight;
  if (single && (flags & (dt::kVCenter | dt::kBottom)) && !lines.empty())
    placement.result = Saturate(y + total - rect.top);

  for (const LaidOutLine& line : lines) {
    long long x = rect.left;
    // Centred from the sum of the edges: a box that reaches left of the origin (an axis label
    // moved inside by half its width) then puts an odd-width text on the edge, not one pixel past.
    if (flags & dt::kCenter)
      x = (static_cast<long long>(rect.left) + rect.right - line.width) / 2;
    else if (flags & dt::kRight)
      x = static_cast<long long>(rect.right) - line.width;
    placement.origins.emplace_back(Saturate(x), Saturate(y));
    y += lineHeight;
  }
  return placement;
}

}  // namespace kelmira::gdi
