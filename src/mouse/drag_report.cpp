#include "mouse/drag_report.h"

#include <cstdio>

namespace kelmira::mouse {

std::string FormatDragReport(const std::string& command, double x1, double y1, double x2, double y2) {
  static constexpr const char* kFormat = "%s: (%f,%f),(%f,%f)";
  // Measure first: a coordinate of 1e300 prints with more than 300 digits.
  const int length = std::snprintf(nullptr, 0, kFormat, command.c_str(), x1, y1, x2, y2);
  if (length <= 0) return command;
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, kFormat, command.c_str(), x1, y1, x2, y2);
  return text;
}

}  // namespace kelmira::mouse
