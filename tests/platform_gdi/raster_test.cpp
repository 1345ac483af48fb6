// Drawing with pens and brushes: one-pixel lines against a reference (the end pixel never
// painted), styled runs and their phase, wide pens as capsules, clipping and the current
// position; the sixteen mixes, and exclusive-or drawing that mixes each pixel once and undoes
// itself for every figure; rectangles, ellipses and hatch cells.
#include "support/canvas.h"
#include "support/last_error.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <tuple>

namespace {

using namespace kelmira::test;
using Draw = std::function<void(HDC)>;

// The pixels of the line A->B inside w x h: one per step i (0 <= i < len, so never the end) along
// the major axis (x when |dx| >= |dy|), the minor coordinate the exact one rounded to nearest,
// exact halves toward the smaller coordinate. Only the steps over the bitmap are visited.
PixelSet Reference(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, int w = 100, int h = 80) {
  const std::int64_t dx = x1 - x0, dy = y1 - y0;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const std::int64_t len = std::llabs(xMajor ? dx : dy), sign = (xMajor ? dx : dy) > 0 ? 1 : -1;
  PixelSet out;
  for (int m = 0; m < (xMajor ? w : h); ++m) {
    const std::int64_t i = (m - (xMajor ? x0 : y0)) * sign;
    if (i < 0 || i >= len) continue;
    // 2 * len * (exact minor + 1/2) = num
    const __int128 num = 2 * __int128{i} * (xMajor ? dy : dx) + len, den = 2 * __int128{len};
    __int128 q = num / den, r = num % den;
    if (r < 0) --q, r += den;
    if (r == 0) --q;
    const std::int64_t minor = (xMajor ? y0 : x0) + static_cast<std::int64_t>(q);
    const std::int64_t x = xMajor ? m : minor, y = xMajor ? minor : m;
    if (x >= 0 && x < w && y >= 0 && y < h) out.emplace(static_cast<int>(x), static_cast<int>(y));
  }
  return out;
}

PixelSet Drawn(int x0, int y0, int x1, int y1, bool bottomUp = false) {
  Canvas canvas(100, 80, kWhite, bottomUp);
  Line(canvas.dc(), x0, y0, x1, y1);
  return canvas.Painted();
}

// Lines that only cross the bitmap, some as long as the coordinates allow, from the centre into
// each octant and onto each diagonal, then random ones; both ways round, the second time on a
// bottom-up bitmap.
TEST(RasterLines, EveryLineFollowsTheReferenceAndAClipRectangleKeepsItsPixels) {
  const int far = 1'000'000'000;
  // clang-format off
  std::vector<std::array<int, 4>> lines = {
      {-30, 10, 130, 60}, {50, -40, 20, 120}, {-far, 20, far, 60}, {30, -far, 70, far},
      {-far, -far / 2, far, far / 2 + 7}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX, 3, INT_MIN, 77},
      {-7, INT_MIN + 5, 90, INT_MAX - 3}, {120, 90, -20, -10}, {99, 79, 99, -far}};
  for (const auto& [x, y] : {std::pair{90, 40}, {90, 60}, {70, 79}, {50, 79}, {30, 79}, {5, 60}, {5, 40}, {5, 20},
                             {30, 0}, {50, 0}, {70, 0}, {90, 20}, {90, 75}, {8, 77}, {12, 3}, {88, 5}})
    lines.push_back({50, 40, x, y});
  // clang-format on
  std::mt19937 random(7);
  for (int n = 0; n < 200; ++n)
    lines.push_back({int(random() % 100), int(random() % 80), int(random() % 100), int(random() % 80)});
  for (const auto& [x0, y0, x1, y1] : lines) {
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " -> " << x1 << "," << y1);
    EXPECT_EQ(Drawn(x0, y0, x1, y1), Reference(x0, y0, x1, y1));
    EXPECT_EQ(Drawn(x1, y1, x0, y0, true), Reference(x1, y1, x0, y0)) << "bottom-up";
  }

  // A clip rectangle keeps the reference pixels inside it; line and clip are logical coordinates
  // that the viewport origin moves.
  const Box clip{20, 15, 70, 50};
  random.seed(11);
  for (int n = 0; n < 100; ++n) {
    const int x0 = int(random() % 300) - 100, y0 = int(random() % 240) - 80;
    const int x1 = int(random() % 300) - 100, y1 = int(random() % 240) - 80;
    Canvas canvas(100, 80);
    SetViewportOrgEx(canvas.dc(), 10, -5, nullptr);
    IntersectClipRect(canvas.dc(), clip.left - 10, clip.top + 5, clip.right - 10, clip.bottom + 5);
    Line(canvas.dc(), x0 - 10, y0 + 5, x1 - 10, y1 + 5);
    SelectClipRgn(canvas.dc(), nullptr);  // so that every pixel reads back
    canvas.ResetMapping();
    PixelSet expected;
    for (const auto& [x, y] : Reference(x0, y0, x1, y1))
      if (clip.Contains(x, y)) expected.emplace(x, y);
    EXPECT_PAINTED(canvas, expected) << x0 << "," << y0 << " -> " << x1 << "," << y1;
  }
}

// The same path by LineTo, Polyline and PolylineTo: each joint painted by the segment leaving
// it, the last end not at all; Polyline leaves the current position alone.
TEST(RasterLines, PathsPaintEverySegmentAndMoveTheCurrentPosition) {
  const POINT points[] = {{5, 5}, {15, 5}, {15, 15}, {5, 15}};
  PixelSet expected;
  for (int i = 1; i < 4; ++i)
    expected.merge(Reference(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, 40, 40));
  Canvas lines(40, 40), poly(40, 40), chained(40, 40);
  POINT old{-1, -1};
  EXPECT_EQ((std::tuple{MoveToEx(lines.dc(), 5, 5, &old), old.x, old.y,
                        MoveToEx(poly.dc(), 1, 2, nullptr) && Polyline(poly.dc(), points, 4),
                        MoveToEx(chained.dc(), 5, 5, nullptr) && PolylineTo(chained.dc(), points + 1, 3)}),
            std::tuple(TRUE, 0, 0, true, true));
  for (int i = 1; i < 4; ++i) EXPECT_TRUE(LineTo(lines.dc(), points[i].x, points[i].y));
  for (const auto& [canvas, x, y] : {std::tuple{&lines, 5, 15}, {&poly, 1, 2}, {&chained, 5, 15}}) {
    EXPECT_PAINTED(*canvas, expected);
    MoveToEx(canvas->dc(), 0, 0, &old);
    EXPECT_EQ(std::pair(old.x, old.y), std::pair(x, y));
  }
}

// Bad calls fail cleanly and draw nothing; SetROP2 returns the previous mix and rejects unknown
// ones.
TEST(RasterCalls, BadOnesFailCleanly) {
  Canvas canvas(10, 10);
  const HDC dc = canvas.dc(), stale = reinterpret_cast<HDC>(std::uintptr_t{0x7FFFFFF});
  EXPECT_EQ(std::pair(LastErrorOf([] { return LineTo(nullptr, 1, 1); }),
                      LastErrorOf([&] { return Polyline(dc, nullptr, 3); })),
            std::pair(DWORD{ERROR_INVALID_HANDLE}, DWORD{ERROR_INVALID_PARAMETER}));
  EXPECT_EQ(std::vector({MoveToEx(stale, 1, 1, nullptr), Polyline(dc, nullptr, -1), Polyline(dc, nullptr, 0),
                         Rectangle(nullptr, 0, 0, 5, 5), Ellipse(nullptr, 0, 0, 5, 5), GetROP2(dc),
                         SetROP2(nullptr, R2_BLACK), GetROP2(nullptr), SetROP2(dc, R2_NOTXORPEN), SetROP2(dc, 0),
                         SetROP2(dc, 17), GetROP2(dc)}),
            std::vector({FALSE, FALSE, TRUE, FALSE, FALSE, R2_COPYPEN, 0, 0, R2_COPYPEN, 0, 0, R2_NOTXORPEN}));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(canvas.Painted().empty());
}

// "18P6B." -> 18 'P', 6 'B' and one '.'.
std::string Runs(const char* runs) {
  std::string out;
  for (char* end; *runs; runs = end + 1) {
    const long n = std::strtol(runs, &end, 10);
    out.append(static_cast<std::size_t>(n ? n : 1), *end);
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

TEST(RasterStyles, RunsGapsAndPhaseOfEveryStyleCountedAlongTheMajorAxis) {
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
      {"null pen", PS_NULL, OPAQUE, [](HDC dc) { Line(dc, 1, 1, 15, 9); }, {}},
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
    for (const auto& [k, runs] : c.rows) lines[k] = Runs(runs);
    ExpectPicture(canvas, [&](int x, int y) {
      const auto line = lines.find(c.columns ? x : y);
      const std::size_t along = static_cast<std::size_t>(c.columns ? y : x);
      return Colour(line != lines.end() && along < line->second.size() ? line->second[along] : '.');
    });
  }
  // The pattern is counted along the major axis.
  Canvas canvas(40, 20);
  Selected pen(canvas.dc(), CreatePen(PS_DASH, 0, kBlack));
  SetBkColor(canvas.dc(), kGreen);
  Line(canvas.dc(), 0, 0, 30, 15);
  // Exact halves go to the smaller row.
  ExpectPicture(canvas, [](int x, int y) { return x < 30 && y == x / 2 ? Colour(x % 24 < 18 ? 'P' : 'B') : kWhite; });
}

// Distance from the centre of pixel (x, y) to the segment, with an even width's half-pixel shift;
// a segment without length paints nothing.
double Distance(double x, double y, const POINT& a, const POINT& b, int width) {
  if (width % 2 == 0) x -= 0.5, y -= 0.5;
  const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, length2 = dx * dx + dy * dy;
  if (length2 == 0) return INFINITY;
  const double t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / length2, 0.0, 1.0);
  return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

// Pixels nearer than width/2 to the path are painted, farther ones not; the edge may go either way.
void ExpectCapsules(const Canvas& canvas, const std::vector<POINT>& path, int width) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) {
      double d = INFINITY;
      for (std::size_t i = 1; i < path.size(); ++i) d = std::min(d, Distance(x, y, path[i - 1], path[i], width));
      if (std::abs(d - width / 2.0) < 1e-6) continue;
      ASSERT_EQ(canvas.At(x, y) != kWhite, d < width / 2.0) << x << "," << y << " distance " << d;
    }
}

// Segments exact however far off their ends lie, a point, horizontal and vertical segments of
// every small width, random ones, and a polyline with round joins.
TEST(RasterWide, SegmentsAndJoinsAreCapsules) {
  // clang-format off
  std::vector<std::array<int, 5>> segments = {  // x0, y0, x1, y1, width
      {-100000, -70000, 100000, 70040, 6}, {-1000000, 25, 1000000, 25, 5}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 6},
      {30, INT_MAX, 30, INT_MIN, 5}, {INT_MAX, 0, INT_MIN, 49, 6}, {-500000, -300000, 500000, 300040, 5},
      {20, 20, 20, 20, 5}};
  // clang-format on
  for (int width = 2; width < 6; ++width)
    segments.push_back({10, 20, 40, 20, width}), segments.push_back({10, 20, 10, 45, width});
  std::mt19937 random(5);
  for (int n = 0; n < 40; ++n)
    segments.push_back(
        {int(random() % 60), int(random() % 50), int(random() % 60), int(random() % 50), int(2 + random() % 9)});
  for (std::size_t n = 0; n < segments.size(); ++n) {
    const auto [x0, y0, x1, y1, width] = segments[n];
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " -> " << x1 << "," << y1 << " width " << width);
    // Styles draw solid when wide; odd cases go to bottom-up bitmaps.
    Canvas canvas(60, 50, kWhite, n % 2 == 1);
    Selected pen(canvas.dc(), CreatePen(PS_DOT, width, kBlack));
    Line(canvas.dc(), x0, y0, x1, y1);
    ExpectCapsules(canvas, {{x0, y0}, {x1, y1}}, width);
  }
  Canvas joined(60, 50);
  Selected pen(joined.dc(), CreatePen(PS_SOLID, 7, kBlack));
  const POINT points[] = {{10, 40}, {30, 8}, {50, 40}};
  Polyline(joined.dc(), points, 3);
  ExpectCapsules(joined, {std::begin(points), std::end(points)}, 7);
}

TEST(RasterShapes, EllipsesTouchTheirBoxesAreSymmetricAndRingsAsWideAsThePen) {
  Canvas canvas(60, 50);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, 4, kBlue));
  Selected brush(canvas.dc(), CreateSolidBrush(kRed));
  Ellipse(canvas.dc(), 5, 6, 55, 44);
  // The ring is as thick as the pen across the middle row and column.
  EXPECT_EQ(std::tuple(canvas.Bounds(), canvas.Count(kBlue, 5, 25, 30, 26), canvas.Count(kBlue, 30, 6, 31, 25),
                       canvas.At(30, 25)),
            std::tuple(Box{5, 6, 55, 44}, 4, 4, kRed));
  // A small one is a round dot inside its box.
  Canvas dot(20, 20);
  Selected red(dot.dc(), CreateSolidBrush(kRed));
  EXPECT_TRUE(Ellipse(dot.dc(), 8, 5, 12, 9));
  const char* expected[] = {".OO.", "OIIO", "OIIO", ".OO."};
  ExpectPicture(dot, [&](int x, int y) {
    const char c = Box{8, 5, 12, 9}.Contains(x, y) ? expected[y - 5][x - 8] : '.';
    return c == 'O' ? kBlack : c == 'I' ? kRed : kWhite;
  });
  // Every size touches all four sides of its box and is symmetric.
  for (const auto& [w, h] : {std::pair{1, 1}, {2, 5}, {7, 3}, {9, 9}, {16, 10}, {31, 44}, {60, 2}}) {
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    Canvas box(80, 60);
    Selected fill(box.dc(), CreateSolidBrush(kRed));
    Ellipse(box.dc(), 5, 4, 5 + w, 4 + h);
    EXPECT_EQ(box.Bounds(), (Box{5, 4, 5 + w, 4 + h}));
    for (const auto& [x, y] : box.Painted()) {
      EXPECT_EQ(box.At(5 + (4 + w - x), y), box.At(x, y));  // mirrored left-right
      EXPECT_EQ(box.At(x, 4 + (3 + h - y)), box.At(x, y));  // mirrored top-bottom
      // An outline pixel has a neighbour outside the figure; an interior pixel has none.
      bool open = false;
      for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        open = open || box.At(x + dx, y + dy) == kWhite;
      EXPECT_EQ(box.At(x, y), open ? kBlack : kRed) << x << "," << y;
    }
  }
}

const POINT kZigzag[] = {{5, 5}, {80, 10}, {6, 20}, {85, 30}, {10, 60}, {10, 5}, {40, 40}, {40, 40}, {60, 41}};

// The mix number less one is a truth table: its bit (2 * pen bit + screen bit) is the result.
TEST(RasterRop, EveryMixCombinesPenAndScreenBitwise) {
  const COLORREF pen = 0x00F0CC0A, screen = 0x003C5AA5;
  for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
    SCOPED_TRACE(testing::Message() << "R2 " << rop);
    COLORREF mixed = 0;
    for (int bit = 0; bit < 24; ++bit)
      mixed |= static_cast<COLORREF>(((rop - 1) >> (2 * ((pen >> bit) & 1) + ((screen >> bit) & 1))) & 1) << bit;
    Canvas canvas(6, 3, screen);
    Selected selected(canvas.dc(), CreatePen(PS_SOLID, 0, pen));
    SetROP2(canvas.dc(), rop);
    Line(canvas.dc(), 0, 1, 5, 1);
    ExpectPicture(canvas, [&](int x, int y) { return y == 1 && x < 5 ? mixed : screen; });
    EXPECT_EQ(canvas.Bits()[8] >> 24, 0u);  // the top byte stays 0
  }
}

HGDIOBJ MakeBrush(int kind) {
  switch (kind) {
    case 1: return CreateSolidBrush(0x00336699);
    case 2: return CreateHatchBrush(HS_DIAGCROSS, 0x00FF00FF);
    case 3: return CreateHatchBrush(HS_CROSS, 0x0000AA00);
    default: return GetStockObject(NULL_BRUSH);
  }
}

// Over noise, R2_NOTXORPEN drawn twice must change pixels, then restore every one. When `once`,
// R2_XORPEN drawn on white must also change exactly the pixels R2_COPYPEN paints: a pixel mixed
// twice would come back white. (One-pixel polylines mix segment by segment, so they are spared.)
void ExpectMixes(const Draw& draw, int penStyle, int penWidth, int brush, int bkMode, bool once) {
  const int rops[] = {R2_NOTXORPEN, R2_COPYPEN, R2_XORPEN};
  PixelSet painted[2];
  for (int k = 0; k < (once ? 3 : 1); ++k) {
    Canvas canvas(90, 70);
    if (k == 0) canvas.Noise(42);
    const auto before = canvas.Bits();
    Selected pen(canvas.dc(), CreatePen(penStyle, penWidth, 0x00123456));
    Selected selectedBrush(canvas.dc(), MakeBrush(brush));
    SetBkMode(canvas.dc(), bkMode);
    SetBkColor(canvas.dc(), 0x00A0B0C0);
    SetROP2(canvas.dc(), rops[k]);
    draw(canvas.dc());
    EXPECT_NE(canvas.Bits(), before);
    if (k > 0) {
      painted[k - 1] = canvas.Painted();
    } else {
      draw(canvas.dc());
      EXPECT_EQ(canvas.Bits(), before);
    }
  }
  EXPECT_EQ(painted[1], painted[0]);
}

TEST(RasterRop, EveryFigureMixesEachPixelOnceAndNotXorTwiceRestores) {
  const Draw star = [](HDC dc) {
    for (const auto& [x, y] : {std::pair{85, 35}, {80, 65}, {45, 69}, {3, 60}, {2, 30}, {20, 0}, {45, -10}, {89, 2}})
      Line(dc, 45, 35, x, y);
    MoveToEx(dc, -100, 10, nullptr);
    LineTo(dc, 200, 60);
    LineTo(dc, 30, -200);
  };
  const Draw zigzag = [](HDC dc) { Polyline(dc, kZigzag, 9); };
  for (const int width : {0, 2, 3, 4, 7, 12})
    for (const int style : {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT})
      for (const int mode : {OPAQUE, TRANSPARENT}) {
        SCOPED_TRACE(testing::Message() << "lines, style " << style << " width " << width << " mode " << mode);
        ExpectMixes(star, style, width, 0, mode, false);
        ExpectMixes(zigzag, style, width, 0, mode, width > 0);
      }
  // clang-format off
  const Draw shapes[] = {
      [](HDC dc) { Rectangle(dc, 5, 5, 40, 30); }, [](HDC dc) { Rectangle(dc, 60, 50, 45, 10); },
      [](HDC dc) { Rectangle(dc, -10, 40, 20, 100); }, [](HDC dc) { Rectangle(dc, 70, 2, 71, 20); },
      [](HDC dc) { Ellipse(dc, 20, 35, 70, 66); }, [](HDC dc) { Ellipse(dc, 8, 8, 12, 12); },
      [](HDC dc) { Ellipse(dc, 10, 10, 12, 40); }, [](HDC dc) { Ellipse(dc, 75, 60, 120, 80); }};
  // clang-format on
  for (std::size_t f = 0; f < std::size(shapes); ++f)
    for (int brush = 0; brush < 4; ++brush)
      for (const int mode : {OPAQUE, TRANSPARENT})
        for (const auto& [style, width] : {std::pair{PS_SOLID, 0}, {PS_DASHDOT, 0}, {PS_SOLID, 4}, {PS_NULL, 0}}) {
          SCOPED_TRACE("shape, brush, mode, style, width " +
                       testing::PrintToString(std::tuple(f, brush, mode, style, width)));
          // Without a pen there is nothing to draw without a brush, nor in a rectangle one pixel wide.
          if (style != PS_NULL || (brush && f != 3)) ExpectMixes(shapes[f], style, width, brush, mode, true);
        }
}

// The pen's frame lies inside the bounds (right and bottom excluded) and the brush fills the
// rest; without a pen the brush stops one pixel short on the right and at the bottom.
TEST(RasterShapes, RectanglePenFrameAndBrushStayInsideTheBounds) {
  constexpr int kNoPen = -1;
  constexpr COLORREF kNoBrush = kWhite;
  // clang-format off
  const struct { RECT r; int penWidth; COLORREF pen, brush; Box frame, inside; } cases[] = {
      {{4, 5, 20, 15}, 0, kBlack, kRed, {4, 5, 20, 15}, {5, 6, 19, 14}},
      {{20, 15, 4, 5}, 0, kBlack, kRed, {4, 5, 20, 15}, {5, 6, 19, 14}},
      {{5, 5, 20, 17}, 3, kBlue, kRed, {5, 5, 20, 17}, {8, 8, 17, 14}},
      {{2, 2, 10, 8}, 0, kBlack, kNoBrush, {2, 2, 10, 8}, {3, 3, 9, 7}},
      {{2, 2, 10, 8}, kNoPen, kBlack, kBlue, {}, {2, 2, 9, 7}},
      {{5, 5, 5, 12}, 0, kBlack, kRed, {}, {}}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "rectangle " << c.r.left << " " << c.r.top << " pen " << c.penWidth);
    Canvas canvas(30, 30);
    Selected pen(canvas.dc(), c.penWidth == kNoPen ? GetStockObject(NULL_PEN) : CreatePen(PS_SOLID, c.penWidth, c.pen));
    Selected brush(canvas.dc(), c.brush == kNoBrush ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(c.brush));
    EXPECT_TRUE(Rectangle(canvas.dc(), c.r.left, c.r.top, c.r.right, c.r.bottom));
    ExpectPicture(canvas, [&](int x, int y) {
      return c.inside.Contains(x, y) ? c.brush : c.frame.Contains(x, y) ? c.pen : kWhite;
    });
  }
}

// Cells repeat every 8 pixels from the brush origin; gaps take the background colour in OPAQUE
// mode and keep what was there in TRANSPARENT mode.
TEST(RasterShapes, HatchCellsFollowTheBrushOriginAndBackgroundMode) {
  // clang-format off
  const struct { int style; bool (*on)(int u, int v); } hatches[] = {
      {HS_HORIZONTAL, [](int, int v) { return v == 0; }}, {HS_VERTICAL, [](int u, int) { return u == 0; }},
      {HS_FDIAGONAL, [](int u, int v) { return u == v; }}, {HS_BDIAGONAL, [](int u, int v) { return u + v == 7; }},
      {HS_CROSS, [](int u, int v) { return u == 0 || v == 0; }},
      {HS_DIAGCROSS, [](int u, int v) { return u == v || u + v == 7; }}};
  // clang-format on
  for (const auto& hatch : hatches)
    for (const int mode : {OPAQUE, TRANSPARENT})
      for (const POINT origin : {POINT{0, 0}, POINT{3, 2}}) {
        SCOPED_TRACE(testing::Message() << "style " << hatch.style << " mode " << mode << " origin " << origin.x);
        Canvas canvas(24, 24, kRed, origin.x != 0);  // bottom-up rows too
        SetBkMode(canvas.dc(), mode);
        SetBkColor(canvas.dc(), kGreen);
        SetBrushOrgEx(canvas.dc(), origin.x, origin.y, nullptr);
        Selected pen(canvas.dc(), GetStockObject(NULL_PEN));
        Selected brush(canvas.dc(), CreateHatchBrush(hatch.style, kBlue));
        Rectangle(canvas.dc(), 1, 1, 22, 22);
        ExpectPicture(canvas, [&](int x, int y) {
          if (!Box{1, 1, 21, 21}.Contains(x, y)) return kRed;
          return hatch.on((x - origin.x) & 7, (y - origin.y) & 7) ? kBlue : mode == OPAQUE ? kGreen : kRed;
        });
      }
}

}  // namespace
