// The text of the box that reports a finished command drag.
#pragma once

#include <string>

namespace kelmira::mouse {

inline constexpr const char* kDragReportCaption = "MouseInput command not found!";

// "<command>: (x1,y1),(x2,y2)" with six decimals each, however long the numbers get.
// Throws std::bad_alloc when memory runs out.
std::string FormatDragReport(const std::string& command, double x1, double y1, double x2, double y2);

}  // namespace kelmira::mouse
