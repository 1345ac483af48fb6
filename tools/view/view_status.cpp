#include "view/view_status.h"

#include <kelmira/platform.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kelmira::view {
namespace {

// Fixed decimals down to the pixel when the number has room for them, else 7 significant digits.
std::string Number(double v, double pixel) {
  char text[64];
  if (std::isfinite(v) && std::fabs(v) < 1e15 && pixel > 0 && std::isfinite(pixel)) {
    const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(pixel))), 0, 12);
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
  } else {
    std::snprintf(text, sizeof text, "%.7g", v);
  }
  return text;
}

std::string Date(double days) {
  SYSTEMTIME t{};
  if (!VariantTimeToSystemTime(days, &t)) return Number(days, 0);
  char text[40];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  return text;
}

}  // namespace

std::string PointText(const plot::PlotOptions& options, double x, double y, double xPixel, double yPixel) {
  // On a log scale a pixel spans a ratio: the decimals follow the value's own size.
  const auto shown = [](bool log, double v, double pixel) {
    return log ? Number(std::pow(10.0, v), std::pow(10.0, v) * (std::pow(10.0, pixel) - 1)) : Number(v, pixel);
  };
  const std::string xs = options.dateX ? Date(x) : shown(options.logX, x, xPixel);
  const std::string ys = options.logY ? shown(true, y, yPixel) : Number(y + options.yShift[0], yPixel);
  return "x " + xs + "  y " + ys;
}

const char* ToolName(int tool) {
  static const char* const kNames[] = {"DragPoint",  "DragLine",   "DragRectangle", "DragCircle",
                                       "DragXRange", "DragYRange", "DragXLine",     "DragYLine"};
  return tool >= 1 && tool <= 8 ? kNames[tool - 1] : "";
}

std::string StatusLine::Text() const {
  std::string text = position.empty() ? std::string("?: keys") : position;
  text += tool ? std::string("  |  ") + ToolName(tool) + " (0: zoom)" : std::string("  |  zoom");
  if (!message.empty()) text += "  |  " + message;
  return text;
}

}  // namespace kelmira::view
