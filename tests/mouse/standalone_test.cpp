// A manager made by its class factory: no container, so nothing is drawn or reported.
#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include <gtest/gtest.h>

namespace kelmira::test {
namespace {

TEST(StandaloneManager, AcceptsEveryCallAndKeepsItsProperties) {
  CoInitialize(nullptr);
  {
    ComPtr<IMouseInputManager> manager;
    ASSERT_EQ(CoCreateInstance(CLSID_MouseInputManager, nullptr, CLSCTX_INPROC_SERVER, IID_IMouseInputManager,
                               (void**)&manager),
              S_OK);
    OLE_COLOR drag = 1, fill = 1;
    VARIANT_BOOL filled = VARIANT_TRUE;
    manager->get_DragColor(&drag), manager->get_FillColor(&fill), manager->get_Fill(&filled);
    EXPECT_EQ(std::tuple(drag, fill, filled), std::tuple(0u, 0u, VARIANT_FALSE));
    EXPECT_EQ(manager->get_Fill(nullptr), E_POINTER);
    // Arming from idle keeps what was set; no container means no capture.
    Bstr command(u"Cmd");
    EXPECT_EQ(manager->put_DragColor(0x80000005), S_OK);
    EXPECT_EQ(manager->DragPoint(command.get()), S_OK);
    manager->get_DragColor(&drag);
    EXPECT_EQ(drag, 0x80000005u);
    for (auto arm : {&IMouseInputManager::DragLine, &IMouseInputManager::DragRectangle, &IMouseInputManager::DragCircle,
                     &IMouseInputManager::DragXRange, &IMouseInputManager::DragYRange, &IMouseInputManager::DragXLine,
                     &IMouseInputManager::DragYLine})
      EXPECT_EQ((manager.get()->*arm)(nullptr), S_OK);
    EXPECT_EQ(GetCapture(), nullptr);
    // Its event source takes sinks but has no members to raise; it does not persist.
    ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(manager->QueryInterface(IID_IConnectionPointContainer, (void**)&points), S_OK);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(points->FindConnectionPoint(DIID__IMouseInputManagerEvents, &point), S_OK);
    ComPtr<IUnknown> other;
    EXPECT_EQ(manager->QueryInterface(IID_IPersistStreamInit, (void**)&other), E_NOINTERFACE);
  }
  CoUninitialize();
}

}  // namespace
}  // namespace kelmira::test
