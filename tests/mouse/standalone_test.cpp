// A manager made by its class factory: no container, so nothing is drawn or reported.
#include "support/create.h"

#include <tuple>

namespace kelmira::test {
namespace {

TEST(StandaloneManager, AcceptsEveryCallAndKeepsItsProperties) {
  auto manager = Create<IMouseInputManager>(CLSID_MouseInputManager);
  OLE_COLOR drag = 1, fill = 1;
  VARIANT_BOOL filled = VARIANT_TRUE;
  manager->get_DragColor(&drag), manager->get_FillColor(&fill), manager->get_Fill(&filled);
  EXPECT_EQ(std::tuple(drag, fill, filled), std::tuple(0u, 0u, VARIANT_FALSE));
  // Arming from idle keeps what was set; no container means no capture.
  EXPECT_EQ(manager->put_DragColor(0x80000005), S_OK);
  EXPECT_EQ(manager->DragPoint(Bstr(u"Cmd").get()), S_OK);
  manager->get_DragColor(&drag);
  EXPECT_EQ(drag, 0x80000005u);
  for (auto arm : {&IMouseInputManager::DragLine, &IMouseInputManager::DragRectangle, &IMouseInputManager::DragCircle,
                   &IMouseInputManager::DragXRange, &IMouseInputManager::DragYRange, &IMouseInputManager::DragXLine,
                   &IMouseInputManager::DragYLine})
    EXPECT_EQ((manager.get()->*arm)(nullptr), S_OK);
  EXPECT_EQ(GetCapture(), nullptr);
  // Its event source takes sinks but has no members to raise.
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(manager.As<IConnectionPointContainer>()->FindConnectionPoint(DIID__IMouseInputManagerEvents, &point), S_OK);
}

}  // namespace
}  // namespace kelmira::test
