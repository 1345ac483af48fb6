// The control framework's test controls: a windowed control that paints one colour and counts
// its messages, its windowless and composite variants, and the fixture that registers them.
#pragma once

#include <kelmira/platform.h>
#include <kelmira/platform/atlhost.h>
#include <kelmira/platform/control_base.h>
#include <kelmira/platform/dispatch_impl.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#define KM_DEF_FILE "support/test_control.def"
#define KM_DEF_DECLARATIONS
#include <kelmira/platform/dispatch_def.inc>

KELMIRA_DEFINE_GUID(CLSID_TestPropertyPage, 0x3D0B8E51, 0x6A2C, 0x4F1B, 0x8E, 0x4D, 0x21, 0x7A, 0x90, 0xC3, 0x55, 0x10);
KELMIRA_DEFINE_GUID(CLSID_TestWindowless, 0x3D0B8E51, 0x6A2C, 0x4F1B, 0x8E, 0x4D, 0x21, 0x7A, 0x90, 0xC3, 0x55, 0x05);
KELMIRA_DEFINE_GUID(CLSID_TestComposite, 0x3D0B8E51, 0x6A2C, 0x4F1B, 0x8E, 0x4D, 0x21, 0x7A, 0x90, 0xC3, 0x55, 0x06);

namespace kelmira::test {

// Registers the test library (once) and the class objects of the three test classes.
void RegisterTestClasses();

class ControlTest : public ::testing::Test {
 protected:
  ControlTest() { RegisterTestClasses(); }
};

// Calls in the order they were made.
using Calls = std::vector<std::string>;

// What a test learns about a control it no longer holds.
struct ControlProbe {
  bool destroyed = false;
  Calls calls;  // SetClientSite(site|null), SetExtent, DoVerb(n), InPlaceDeactivate, Close
};

template <class Derived, class Impl = ControlImpl>
class TestControlT : public ControlBase<Derived, Impl>, public DispatchImpl<ITestControl> {
 public:
  using Interfaces = ControlInterfaceTable<ITestControl, Via<IDispatch, ITestControl>>;
  static constexpr const GUID* kLibId = &LIBID_KelmiraControlTest;

  TestControlT() : probe(std::make_shared<ControlProbe>()) {}
  ~TestControlT() { probe->destroyed = true; }

  HRESULT FinalConstruct() { return this->AddConnectionPoint(DIID__ITestControlEvents, SinkKind::Dispatch); }

  BEGIN_PROP_MAP(Derived)
    PROP_DATA_ENTRY("_cx", sizeExtent_.cx, VT_UI4)
    PROP_DATA_ENTRY("_cy", sizeExtent_.cy, VT_UI4)
    PROP_ENTRY("FillColor", 1, CLSID_StockColorPage)
    PROP_ENTRY_TYPE("Weight", 3, CLSID_StockFontPage, VT_R8)
    PROP_ENTRY("FillColorAgain", 1, CLSID_StockColorPage)
    PROP_PAGE(CLSID_TestPropertyPage)
  END_PROP_MAP()

  BEGIN_MSG_MAP(Derived)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMessage)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnMessage)
    MESSAGE_HANDLER(WM_PAINT, OnMessage)
  END_MSG_MAP()

  // Fills the bounds and 3 pixels more: drawing through IViewObject must clip it.
  HRESULT OnDraw(HDC hdc, const RECT& bounds) override {
    ++draws;
    RECT wide{bounds.left - 3, bounds.top - 3, bounds.right + 3, bounds.bottom + 3};
    HBRUSH brush = CreateSolidBrush(fillColor);
    FillRect(hdc, &wide, brush);
    DeleteObject(brush);
    return S_OK;
  }

  // Every put marks the control changed, asks for a repaint and tells the data sinks.
  HRESULT STDMETHODCALLTYPE get_FillColor(OLE_COLOR* pVal) override { return (*pVal = fillColor, S_OK); }
  HRESULT STDMETHODCALLTYPE put_FillColor(OLE_COLOR newVal) override { return (fillColor = newVal, Changed()); }
  HRESULT STDMETHODCALLTYPE get_Weight(double* pVal) override { return (*pVal = weight, S_OK); }
  HRESULT STDMETHODCALLTYPE put_Weight(double newVal) override { return (weight = newVal, Changed()); }

  // The framework calls a host makes, noted in the probe.
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
    return Noted(site ? "SetClientSite(site)" : "SetClientSite(null)").ControlImpl::SetClientSite(site);
  }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override {
    return Noted("SetExtent").ControlImpl::SetExtent(aspect, size);
  }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                                   LPCRECT pos) override {
    return Noted("DoVerb(" + std::to_string(verb) + ")").ControlImpl::DoVerb(verb, msg, site, index, parent, pos);
  }
  HRESULT STDMETHODCALLTYPE Close(DWORD option) override { return Noted("Close").ControlImpl::Close(option); }
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
    return Noted("InPlaceDeactivate").ControlImpl::InPlaceDeactivate();
  }

  using ControlImpl::sizeExtent_;
  std::shared_ptr<ControlProbe> probe;
  OLE_COLOR fillColor = RGB(0, 128, 255);
  double weight = 1.5;
  int draws = 0;
  std::map<UINT, int> messages;                     // how many of each
  std::vector<std::tuple<UINT, LONG, LONG>> mouse;  // message and client position

 private:
  ControlImpl& Noted(const std::string& call) { return (probe->calls.push_back(call), *this); }
  HRESULT Changed() { return (this->SetDirty(true), this->FireViewChange(), this->SendOnDataChange(), S_OK); }
  // The framework still erases and paints; a press raises OnClick(x, y).
  LRESULT OnMessage(UINT msg, WPARAM, LPARAM lParam, BOOL& handled) {
    ++messages[msg];
    const LONG x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    handled = msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST;
    if (handled) mouse.emplace_back(msg, x, y);
    if (msg == WM_LBUTTONDOWN) FireEvent(this->ConnectionPointFor(DIID__ITestControlEvents), 1, x, y);
    return 0;
  }
};

// Always has a window of its own.
class TestControl : public TestControlT<TestControl> {
 public:
  static const CLSID& GetObjectCLSID() { return CLSID_TestControl; }
  static constexpr const IID* kDefaultSourceIid = &DIID__ITestControlEvents;
};

// Goes without a window when its site lets it.
class WindowlessTestControl : public TestControlT<WindowlessTestControl> {
 public:
  static const CLSID& GetObjectCLSID() { return CLSID_TestWindowless; }
  static constexpr bool kWindowOnly = false;
  static constexpr DWORD kMiscStatus = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT;
};

// A dialog (186 x 94 dialog units) with one "AtlAxWin" item, id 100, hosting a TestControl.
class TestComposite : public TestControlT<TestComposite, CompositeControlImpl> {
 public:
  static const CLSID& GetObjectCLSID() { return CLSID_TestComposite; }
  static const DLGTEMPLATE* GetDialogTemplate();
  HRESULT OnDraw(HDC hdc, const RECT& bounds) override { return CompositeControlImpl::OnDraw(hdc, bounds); }

  BEGIN_MSG_MAP(TestComposite)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) { return (++initDialogs, 0); }
  int initDialogs = 0;
};

// A new object of T (a control, site or sink) holding one reference.
template <class T, class... Args>
ComPtr<Object<T>> Make(Args&&... args) {
  ComPtr<Object<T>> object;
  Object<T>::Make(&object, std::forward<Args>(args)...);
  return object;
}

// The test control behind an interface pointer of one (a control a host created by class).
template <class T>
Object<T>& ControlOf(IUnknown* unknown) {
  return static_cast<Object<T>&>(*ComPtr<IUnknown>(unknown).As<ITestControl>().get());
}

}  // namespace kelmira::test
