#include "mouse/band_shape.h"

#include <algorithm>

namespace kelmira::mouse {

void DrawBandShape(HDC dc, Tool tool, POINT start, POINT current, const RECT& client) {
  const LONG minX = std::min(start.x, current.x);
  const LONG maxX = std::max(start.x, current.x);
  const LONG minY = std::min(start.y, current.y);
  const LONG maxY = std::max(start.y, current.y);
  switch (tool) {
    case Tool::Point: Ellipse(dc, current.x - 2, current.y - 2, current.x + 2, current.y + 2); return;
    case Tool::Line:
      MoveToEx(dc, start.x, start.y, nullptr);
      LineTo(dc, current.x, current.y);
      return;
    case Tool::Rectangle: Rectangle(dc, minX, minY, maxX, maxY); return;
    case Tool::Circle: Ellipse(dc, minX, minY, maxX, maxY); return;
    case Tool::XRange: Rectangle(dc, minX, client.top, maxX, client.bottom); return;
    case Tool::YRange: Rectangle(dc, client.left, minY, client.right, maxY); return;
    case Tool::XLine:
      MoveToEx(dc, current.x, client.top, nullptr);
      LineTo(dc, current.x, client.bottom);
      return;
    case Tool::YLine:
      MoveToEx(dc, client.left, current.y, nullptr);
      LineTo(dc, client.right, current.y);
      return;
  }
}

}  // namespace kelmira::mouse
