// A manager made by its class factory: no container, so nothing is drawn or reported.
#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include <gtest/gtest.h>

namespace kelmira::test {
namespace {

TEST(StandaloneManager, AcceptsEveryCallAndKeepsItsProperties) {
  CoInitialize(nullptr);
  {
    ASSERT_EQ(DllRegisterServer(), S_OK);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"Kelmira.MouseInputManager", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_MouseInputManager));
    ComPtr<IMouseInputManager> manager;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IMouseInputManager, (void**)&manager), S_OK);

    OLE_COLOR colour = 1;
    VARIANT_BOOL fill = VARIANT_TRUE;
    EXPECT_EQ(manager->get_DragColor(&colour), S_OK);
    EXPECT_EQ(colour, 0u);
    EXPECT_EQ(manager->get_FillColor(&colour), S_OK);
    EXPECT_EQ(colour, 0u);
    EXPECT_EQ(manager->get_Fill(&fill), S_OK);
    EXPECT_EQ(fill, VARIANT_FALSE);
    EXPECT_EQ(manager->get_Fill(nullptr), E_POINTER);

    // Arming from idle keeps what was set; through IDispatch as a script would.
    Bstr command(u"Cmd");
    EXPECT_EQ(manager->put_DragColor(0x80000005), S_OK);
    EXPECT_EQ(manager->DragPoint(command.get()), S_OK);
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(manager->QueryInterface(IID_IDispatch, (void**)&dispatch), S_OK);
    const OLECHAR* name = u"FillColor";
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(&name), 1, 0, &id), S_OK);
    EXPECT_EQ(id, 0xa);
    Variant value;
    value.vt = VT_I4;
    value.lVal = 0x00123456;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &put, 1, 1};
    EXPECT_EQ(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr), S_OK);
    manager->get_FillColor(&colour);
    EXPECT_EQ(colour, 0x00123456u);
    manager->get_DragColor(&colour);
    EXPECT_EQ(colour, 0x80000005u);
    EXPECT_EQ(manager->DragLine(nullptr), S_OK);
    EXPECT_EQ(manager->DragRectangle(nullptr), S_OK);
    EXPECT_EQ(manager->DragCircle(nullptr), S_OK);
    EXPECT_EQ(manager->DragXRange(nullptr), S_OK);
    EXPECT_EQ(manager->DragYRange(nullptr), S_OK);
    EXPECT_EQ(manager->DragXLine(nullptr), S_OK);
    EXPECT_EQ(manager->DragYLine(nullptr), S_OK);
    EXPECT_EQ(GetCapture(), nullptr);

    // Its event source takes sinks but has no members to raise.
    ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(manager->QueryInterface(IID_IConnectionPointContainer, (void**)&points), S_OK);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(points->FindConnectionPoint(DIID__IMouseInputManagerEvents, &point), S_OK);
    ComPtr<IUnknown> other;
    EXPECT_EQ(manager->QueryInterface(IID_IPersistStreamInit, (void**)&other), E_NOINTERFACE);

    // Aggregated: the inner IUnknown answers for the manager.
    ComPtr<IUnknown> outer;
    ASSERT_EQ(CoCreateInstance(CLSID_MouseInputManager, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, (void**)&outer),
              S_OK);
    ComPtr<IUnknown> inner;
    ASSERT_EQ(CoCreateInstance(CLSID_MouseInputManager, outer.get(), CLSCTX_INPROC_SERVER, IID_IUnknown,
                               (void**)&inner),
              S_OK);
    ComPtr<IMouseInputManager> aggregated;
    EXPECT_EQ(inner->QueryInterface(IID_IMouseInputManager, (void**)&aggregated), S_OK);
  }
  DllUnregisterServer();
  CoUninitialize();
}

}  // namespace
}  // namespace kelmira::test
