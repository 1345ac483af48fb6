// A manager made by its class factory: no container, so nothing is drawn or reported.
#include "support/create.h"
#include "support/property.h"

#include <tuple>

namespace kelmira::test {
namespace {

TEST(StandaloneManager, AcceptsEveryCallAndHasAnEventSource) {
  auto manager = Create<IMouseInputManager>(CLSID_MouseInputManager);
  IMouseInputManager* m = manager.get();
  EXPECT_EQ(std::tuple(Get(m, &IMouseInputManager::get_DragColor), Get(m, &IMouseInputManager::get_FillColor),
                       Get(m, &IMouseInputManager::get_Fill)),
            std::tuple(0u, 0u, VARIANT_FALSE));
  for (auto arm : {&IMouseInputManager::DragPoint, &IMouseInputManager::DragLine, &IMouseInputManager::DragRectangle,
                   &IMouseInputManager::DragCircle, &IMouseInputManager::DragXRange, &IMouseInputManager::DragYRange,
                   &IMouseInputManager::DragXLine, &IMouseInputManager::DragYLine})
    EXPECT_EQ((m->*arm)(nullptr), S_OK);
  EXPECT_EQ(GetCapture(), nullptr);  // no container: nothing to capture
  // Its event source takes sinks but has no members to raise.
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(manager.As<IConnectionPointContainer>()->FindConnectionPoint(DIID__IMouseInputManagerEvents, &point), S_OK);
}

}  // namespace
}  // namespace kelmira::test
