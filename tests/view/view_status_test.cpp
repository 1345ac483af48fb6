// The status line's point: what the user reads, not what the graph stores.
#include "view/view_status.h"

#include <gtest/gtest.h>

namespace kelmira::test {
namespace {

TEST(ViewStatus, PointsReadInTheUsersUnits) {
  plot::PlotOptions plain, dates, logs, shifted;
  dates.dateX = true;
  logs.logX = logs.logY = true;
  shifted.yShift[0] = 1e9;
  const struct {
    const plot::PlotOptions& options;
    double x, y, pixel;
    const char* text;
  } cases[] = {
      {plain, 12.5, -0.25, 0.02, "x 12.50  y -0.25"},           // decimals to the pixel
      {plain, 3e20, 1e-9, 0, "x 3e+20  y 1e-09"},               // no room: significant digits
      {dates, 45352.75, 3, 1, "x 2024-03-01 18:00:00  y 3"},    // an OLE date
      {logs, 2, -1, 0.001, "x 100.0  y 0.1000"},                // log10 stored, true values shown
      {shifted, 1, 0.004, 0.001, "x 1.000  y 1000000000.004"},  // the offset added back
  };
  for (const auto& c : cases) EXPECT_EQ(view::PointText(c.options, c.x, c.y, c.pixel, c.pixel), c.text);
  EXPECT_EQ((view::StatusLine{"x 1  y 2", 5, "saved"}).Text(), "x 1  y 2  |  DragXRange (0: zoom)  |  saved");
}

}  // namespace
}  // namespace kelmira::test
