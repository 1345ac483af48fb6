#include "view/view_status.h"

#include <kelmira/platform.h>

#include <cmath>
#include <cstdio>

namespace kelmira::view {
namespace {

std::string Number(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.7g", v);
  return text;
}

std::string Date(double days) {
  SYSTEMTIME t{};
  if (!VariantTimeToSystemTime(days, &t)) return Number(days);
  char text[40];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  return text;
}

}  // namespace

std::string PointText(const plot::PlotOptions& options, double x, double y) {
  const std::string xs = options.dateX ? Date(x) : Number(options.logX ? std::pow(10.0, x) : x);
  const std::string ys = Number(options.logY ? std::pow(10.0, y) : y + options.yShift[0]);
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
