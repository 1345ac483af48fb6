// Strokes of one segment or a chain of segments with whatever pen is current.
#include "gdi/raster.h"

namespace kelmira::gdi {

void StrokeLine(const Surface& surface, const RECT& clip, Point64 a, Point64 b, const Stroke& stroke, int& patternPos) {
  switch (stroke.kind) {
    case Stroke::Kind::None: return;
    case Stroke::Kind::Cosmetic:
      if (stroke.pattern.IsSolid()) {
        DrawSolidLine(surface, clip, a, b, stroke.mix);
      } else {
        DrawPatternLine(surface, clip, a, b, stroke.mix, stroke.gapMix, stroke.pattern, patternPos);
      }
      return;
    case Stroke::Kind::Wide: {
      const Point64 ends[2] = {a, b};
      DrawWidePolyline(surface, clip, ends, stroke.width, stroke.mix);
      return;
    }
  }
}

void StrokePolyline(const Surface& surface, const RECT& clip, std::span<const Point64> points, const Stroke& stroke,
                    int& patternPos) {
  if (points.size() < 2) return;
  switch (stroke.kind) {
    case Stroke::Kind::None: return;
    case Stroke::Kind::Cosmetic:
      // Each segment leaves out its end pixel, which the next one starts with.
      if (stroke.pattern.IsSolid()) {
        for (std::size_t i = 1; i < points.size(); ++i)
          DrawSolidLine(surface, clip, points[i - 1], points[i], stroke.mix);
        return;
      }
      for (std::size_t i = 1; i < points.size(); ++i) {
        DrawPatternLine(surface, clip, points[i - 1], points[i], stroke.mix, stroke.gapMix, stroke.pattern, patternPos);
      }
      return;
    case Stroke::Kind::Wide: DrawWidePolyline(surface, clip, points, stroke.width, stroke.mix); return;
  }
}

}  // namespace kelmira::gdi
