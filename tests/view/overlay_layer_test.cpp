// The viewer's overlay on a hosted container: where the legend and the help box land, and that
// only a full paint draws them.
#include "support/canvas.h"
#include "support/hosted_control.h"
#include "support/layer_stack.h"
#include "support/pump.h"
#include "view/overlay_layer.h"

#include <tuple>

namespace kelmira::test {
namespace {

TEST(OverlayTest, LegendInItsCornerHelpCentredDrawnOnlyOnAFullPaint) {
  HostedContainer hosted(300, 200);
  auto overlay = view::Overlay::Make(nullptr);
  ASSERT_TRUE(overlay);
  AddLayer(hosted.container.get(), u"Overlay", overlay->layer());
  overlay->ShowLegend(true);
  const std::pair<plot::LegendPlace, Box> rows[] = {{plot::LegendPlace::UpperLeft, {0, 0, 150, 100}},
                                                    {plot::LegendPlace::LowerRight, {150, 100, 300, 200}},
                                                    {plot::LegendPlace::Outside, {150, 0, 300, 100}}};
  for (const auto& [place, corner] : rows) {
    overlay->SetLegend({{"sine", kBlue, 0, 2, true, std::nullopt}}, {}, place);
    hosted.container->Redraw(), Pump();
    const Box line = WindowFind(hosted.window, kBlue);
    EXPECT_TRUE(!line.Empty() && Within(line, corner)) << static_cast<int>(place) << DumpWindow(hosted.window);
  }
  overlay->ShowLegend(false), overlay->ShowHelp(true);
  overlay->SetHelp({"Keys", "", "?\tthis help", std::string(400, 'W')});
  hosted.container->Redraw(), Pump();
  const long redraws = overlay->redraws();
  InvalidateRect(hosted.window, nullptr, TRUE), UpdateWindow(hosted.window);
  // The long line widens the box to the window, less the margin, and is cut at its frame.
  const Box box = WindowFind(hosted.window, view::kHelpBackground);
  EXPECT_EQ(std::tuple(WindowFind(hosted.window, kBlue).Empty(), box.left, box.right, box.top + box.bottom,
                       overlay->redraws()),
            std::tuple(true, 9, 291, 200, redraws))
      << DumpWindow(hosted.window);
  EXPECT_EQ(overlay->layer()->Redraw(DrawLayerInfo{}), E_INVALIDARG);
}

}  // namespace
}  // namespace kelmira::test
