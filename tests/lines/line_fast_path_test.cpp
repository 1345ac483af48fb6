// The line layer's drawing against the plain reference: random lines drawn both ways must paint
// the same pixels and leave the same current position, whatever the data, view, pen, mix,
// clip and transform.
#include "layers/line_render.h"

#include "support/canvas.h"

#include <cmath>
#include <random>
#include <vector>

namespace kelmira::test {
namespace {

using layers::LinePen;
using layers::LinePoints;

struct RandomLine {
  std::vector<float> y;
  std::vector<float> xSingle;
  std::vector<double> xDouble;
  std::vector<BYTE> mask;
  LinePoints points;
};

// Noisy (jumps of up to a third of the height) or smooth values, with the X kind, order, mask
// and bad values the seed picks; or, around a given value, a ramp that moves one float at a time,
// so that it meets the exact float where the rows change.
RandomLine MakeLine(std::mt19937& random, int count, float rampAround, double xEdge) {
  RandomLine line;
  float ramp = rampAround;
  const float towards = random() % 2 ? INFINITY : -INFINITY;  // rising or falling
  for (int k = 0; k < count / 2 && ramp == ramp; ++k) ramp = std::nextafter(ramp, -towards);
  const bool noisy = random() % 2, masked = random() % 3 == 0, bad = random() % 3 == 0;
  // index, single, double, unsorted double, rising double that steps back at every eighth point,
  // and single or double X rising one value at a time through the edge of a column
  const int xKind = static_cast<int>(random() % 7);
  double xRamp = xEdge;
  float xRampSingle = static_cast<float>(xEdge);
  for (int k = 0; k < count / 2; ++k)
    xRamp = std::nextafter(xRamp, -INFINITY), xRampSingle = std::nextafter(xRampSingle, -INFINITY);
  double value = 50;
  for (int i = 0; i < count; ++i) {
    value = noisy ? std::clamp(value + static_cast<int>(random() % 61) - 30, -20.0, 120.0)
                  : 50 + 45 * std::sin(i * 0.002) + (random() % 100) * 0.001;
    if (ramp == ramp) value = ramp = std::nextafter(ramp, towards);
    line.y.push_back(bad && random() % 50 == 0 ? -1.0f : static_cast<float>(value));
    const double x = xKind == 3 ? static_cast<double>(random() % count) : i - (xKind == 4 && i % 8 == 7 ? 6.5 : 0.0);
    if (xKind == 1) line.xSingle.push_back(static_cast<float>(x));
    if (xKind >= 2 && xKind <= 4) line.xDouble.push_back(x);
    if (xKind == 5) line.xDouble.push_back(xRamp = std::nextafter(xRamp, INFINITY));
    if (xKind == 6) line.xSingle.push_back(xRampSingle = std::nextafter(xRampSingle, INFINITY));
    if (masked) line.mask.push_back(random() % 40 != 0);
  }
  line.points.count = count;
  line.points.y = line.y.data();
  line.points.xSingle = xKind == 1 || xKind == 6 ? line.xSingle.data() : nullptr;
  line.points.xDouble = xKind >= 2 && xKind <= 5 ? line.xDouble.data() : nullptr;
  line.points.mask = masked ? line.mask.data() : nullptr;
  line.points.badValue = -1.0;
  line.points.offset = 0;
  return line;
}

TEST(LineFastPath, PaintsExactlyThePixelsOfThePlainPath) {
  std::mt19937 random(20261206);
  const int mixes[] = {R2_COPYPEN, R2_NOTXORPEN, R2_MERGEPEN, R2_MASKNOTPEN, R2_XORPEN, R2_NOTCOPYPEN};
  for (int trial = 0; trial < 240; ++trial) {
    SCOPED_TRACE(trial);
    // The whole data, or a zoomed piece of it, in an area that may sit inside the bitmap.
    const int count = 500 + static_cast<int>(random() % 6000);
    const double zoom = random() % 2 ? 1.0 : 0.1 + (random() % 50) * 0.01;
    const double x0 = (random() % 100) * count * 0.004;
    const RECT area{static_cast<LONG>(random() % 10), static_cast<LONG>(random() % 10), 150, 90};
    const auto mapping = common::PixelMapping::Of(area, x0, x0 + count * zoom, -5, 105);
    // A quarter of the lines ramp across the edge between rows 40 and 41; ramps of X go through the
    // left edge of column 70.
    const float edge = static_cast<float>(mapping.yMin + (mapping.bottomRow - 41.0) / mapping.yScale);
    const double xEdge = mapping.xMin + (70.0 - mapping.leftEdge) / mapping.xScale;
    const RandomLine line = MakeLine(random, count, random() % 4 == 0 ? edge : NAN, xEdge);
    const int style = random() % 4 == 0 ? PS_DASH : PS_SOLID, width = random() % 5 == 0 ? 3 : 1;
    const LinePen pen = width > 1 ? LinePen::Wide : style == PS_SOLID ? LinePen::OnePixelSolid : LinePen::Patterned;
    const int mix = mixes[random() % 6];
    const bool clip = random() % 3 == 0, turned = random() % 8 == 0;

    Canvas fast(160, 100), plain(160, 100);
    POINT ends[2]{};
    int which = 0;
    for (Canvas* c : {&fast, &plain}) {
      c->Noise(static_cast<unsigned>(trial));
      Selected selected(c->dc(), CreatePen(style, width, RGB(200, 30, 90)));
      SetROP2(c->dc(), mix);
      if (clip) IntersectClipRect(c->dc(), 20, 15, 120, 70);
      if (turned) {
        SetGraphicsMode(c->dc(), GM_ADVANCED);
        const XFORM scale{1.5f, 0, 0, 0.75f, 2, 1};
        SetWorldTransform(c->dc(), &scale);
      }
      if (c == &fast)
        layers::DrawPolyline(c->dc(), line.points, mapping, pen);
      else
        layers::DrawPolylineReference(c->dc(), line.points, mapping);
      MoveToEx(c->dc(), 0, 0, &ends[which++]);  // gives the current position back
    }
    ASSERT_EQ(fast.Bits(), plain.Bits()) << "mix " << mix << " pen " << style << "/" << width << " clip " << clip
                                         << " turned " << turned << "; " << fast.Dump("fast") << " "
                                         << plain.Dump("plain");
    EXPECT_EQ(std::pair(ends[0].x, ends[0].y), std::pair(ends[1].x, ends[1].y));
  }
}

}  // namespace
}  // namespace kelmira::test
