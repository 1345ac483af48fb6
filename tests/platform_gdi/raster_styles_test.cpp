// Styled one-pixel pens: on/off runs counted along the major axis, gap colour by background
// mode, and where the pattern continues or starts afresh.
#include "support/canvas.h"

#include <cctype>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace kelmira::test;

// "18P6B." -> 18 'P', 6 'B' and one '.'.
std::string Runs(const char* spec) {
  std::string out;
  while (*spec) {
    int n = 0;
    while (std::isdigit(static_cast<unsigned char>(*spec))) n = n * 10 + (*spec++ - '0');
    out.append(static_cast<std::size_t>(n ? n : 1), *spec++);
  }
  return out;
}

// 'P' pen (black), 'B' background (green), '.' untouched (white).
COLORREF Colour(char c) { return c == 'P' ? kBlack : c == 'B' ? kGreen : kWhite; }

struct StyledCase {
  const char* label;
  int style, bkMode;
  std::function<void(HDC)> draw;
  std::vector<std::pair<int, const char*>> rows;  // row y from x = 0 as Runs; all else stays white
  bool columns = false;                           // the rows are columns, from y = 0
};

TEST(RasterStyles, RunsGapsAndPhaseOfEveryStyle) {
  const POINT twoSegments[] = {{0, 1}, {5, 1}, {11, 1}};
  // clang-format off
  const StyledCase cases[] = {
      {"dash", PS_DASH, OPAQUE, [](HDC dc) { Line(dc, 0, 1, 60, 1); }, {{1, "18P6B18P6B12P"}}},
      {"dot", PS_DOT, OPAQUE, [](HDC dc) { Line(dc, 0, 1, 14, 1); }, {{1, "3P3B3P3B2P"}}},
      {"dash dot", PS_DASHDOT, OPAQUE, [](HDC dc) { Line(dc, 0, 1, 30, 1); }, {{1, "9P6B3P6B6P"}}},
      {"dash dot dot", PS_DASHDOTDOT, OPAQUE, [](HDC dc) { Line(dc, 0, 1, 30, 1); }, {{1, "9P3B3P3B3P3B6P"}}},
      // Clipping keeps the phase.
      {"clipped", PS_DASH, OPAQUE, [](HDC dc) { Line(dc, -20, 1, 40, 1); }, {{1, "4B18P6B12P"}}},
      {"transparent gaps", PS_DASH, TRANSPARENT, [](HDC dc) { Line(dc, 0, 1, 48, 1); }, {{1, "18P6.18P"}}},
      {"down a column", PS_DOT, TRANSPARENT, [](HDC dc) { Line(dc, 5, 1, 5, 13); }, {{5, ".3P3.3P"}}, true},
      // LineTo continues the pattern, MoveTo starts it afresh.
      {"joined", PS_DASH, OPAQUE, [](HDC dc) { Line(dc, 0, 1, 10, 1); LineTo(dc, 40, 1); }, {{1, "18P6B16P"}}},
      {"restarted", PS_DASH, OPAQUE, [](HDC dc) { Line(dc, 0, 1, 10, 1); Line(dc, 10, 1, 40, 1); }, {{1, "28P6B6P"}}},
      // Polyline starts its own pattern and leaves the context's alone.
      {"polyline", PS_DOT, OPAQUE,
       [&](HDC dc) { Line(dc, 0, 3, 4, 3); Polyline(dc, twoSegments, 3); LineTo(dc, 10, 3); },
       {{1, "3P3B3P2B"}, {3, "3P3B3P1B"}}},
      // An outline is walked once, clockwise from the top-left corner.
      {"rectangle", PS_DOT, OPAQUE,
       [](HDC dc) { Selected brush(dc, GetStockObject(NULL_BRUSH)); Rectangle(dc, 2, 2, 12, 8); },
       {{2, "2.3P3B3P1B"}, {3, "2.B8.B"}, {4, "2.P8.B"}, {5, "2.P8.P"}, {6, "2.P8.P"}, {7, "2.3B3P3B1P"}}},
  };
  // clang-format on
  for (const StyledCase& c : cases) {
    SCOPED_TRACE(c.label);
    Canvas canvas(70, 20);
    Selected pen(canvas.dc(), CreatePen(c.style, 0, kBlack));
    SetBkColor(canvas.dc(), kGreen);
    SetBkMode(canvas.dc(), c.bkMode);
    c.draw(canvas.dc());
    std::map<int, std::string> lines;
    for (const auto& [k, spec] : c.rows) lines[k] = Runs(spec);
    ExpectPicture(canvas, [&](int x, int y) {
      const auto line = lines.find(c.columns ? x : y);
      const std::size_t along = static_cast<std::size_t>(c.columns ? y : x);
      return Colour(line != lines.end() && along < line->second.size() ? line->second[along] : '.');
    });
  }
}

TEST(RasterStyles, PatternIsCountedAlongTheMajorAxis) {
  Canvas canvas(40, 20);
  Selected pen(canvas.dc(), CreatePen(PS_DASH, 0, kBlack));
  SetBkColor(canvas.dc(), kGreen);
  Line(canvas.dc(), 0, 0, 30, 15);
  // Exact halves go to the smaller row.
  ExpectPicture(canvas, [](int x, int y) { return x < 30 && y == x / 2 ? Colour(x % 24 < 18 ? 'P' : 'B') : kWhite; });
}

TEST(RasterStyles, NullPenDrawsNothingButMoves) {
  Canvas canvas(20, 20);
  Selected pen(canvas.dc(), CreatePen(PS_NULL, 0, kBlack));
  MoveToEx(canvas.dc(), 1, 1, nullptr);
  EXPECT_TRUE(LineTo(canvas.dc(), 15, 9));
  POINT old{};
  MoveToEx(canvas.dc(), 0, 0, &old);
  EXPECT_EQ(std::pair(old.x, old.y), std::pair(15, 9));
  EXPECT_TRUE(canvas.Painted().empty());
}

}  // namespace
