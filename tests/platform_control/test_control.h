// The control tests' controls, sites and sinks: a windowed control that paints one colour and
// counts its messages, its windowless and composite variants, a hand-made in-place site and
// recording advise and event sinks.
#pragma once

#include <kelmira/platform.h>
#include <kelmira/platform/atlhost.h>
#include <kelmira/platform/control_base.h>
#include <kelmira/platform/dispatch_impl.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#define KM_DEF_FILE "platform_control/test_control.def"
#define KM_DEF_DECLARATIONS
#include <kelmira/platform/dispatch_def.inc>

// Registers the test library's tables (once) and the test classes' class objects.
void RegisterTestClasses();

KELMIRA_DEFINE_GUID(CLSID_TestPropertyPage, 0x3D0B8E51, 0x6A2C, 0x4F1B, 0x8E, 0x4D, 0x21, 0x7A, 0x90, 0xC3, 0x55, 0x10);

// What a test learns about a control it no longer holds.
struct ControlProbe {
  bool destroyed = false;
  int inPlaceDeactivations = 0;
  std::vector<std::string> calls;  // SetClientSite(site|null), SetExtent, DoVerb, Close
};

template <class Derived, class Impl = kelmira::ControlImpl>
class TestControlT : public kelmira::ControlBase<Derived, Impl>, public kelmira::DispatchImpl<ITestControl> {
 public:
  using Interfaces = kelmira::ControlInterfaceTable<ITestControl, kelmira::Via<IDispatch, ITestControl>>;
  static constexpr const GUID* kLibId = &LIBID_KelmiraControlTest;
  static constexpr UINT kWindowClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;

  TestControlT() : probe(std::make_shared<ControlProbe>()) {}
  explicit TestControlT(std::shared_ptr<ControlProbe> p) : probe(std::move(p)) {}
  ~TestControlT() { probe->destroyed = true; }

  HRESULT FinalConstruct() { return this->AddConnectionPoint(DIID__ITestControlEvents, kelmira::SinkKind::Dispatch); }

  BEGIN_PROP_MAP(Derived)
    PROP_DATA_ENTRY("_cx", sizeExtent_.cx, VT_UI4)
    PROP_DATA_ENTRY("_cy", sizeExtent_.cy, VT_UI4)
    PROP_ENTRY("FillColor", 1, CLSID_StockColorPage)
    PROP_ENTRY("Caption", 2, CLSID_NULL)
    PROP_ENTRY_TYPE("Weight", 3, CLSID_StockFontPage, VT_R8)
    PROP_ENTRY("FillColorAgain", 1, CLSID_StockColorPage)
    PROP_PAGE(CLSID_TestPropertyPage)
  END_PROP_MAP()

  BEGIN_MSG_MAP(Derived)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouse)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnCount)
    MESSAGE_HANDLER(WM_PAINT, OnCount)
    MESSAGE_HANDLER(WM_SIZE, OnCount)
  END_MSG_MAP()

  // Fills the bounds, and a little more: drawing through IViewObject must clip it.
  HRESULT OnDraw(HDC hdc, const RECT& bounds) override {
    ++draws;
    RECT wide{bounds.left - 3, bounds.top - 3, bounds.right + 3, bounds.bottom + 3};
    HBRUSH brush = CreateSolidBrush(fillColor);
    FillRect(hdc, &wide, brush);
    DeleteObject(brush);
    return S_OK;
  }

  // Group A puts: store, changed mark, repaint request, data change.
  HRESULT STDMETHODCALLTYPE get_FillColor(OLE_COLOR* pVal) override {
    if (!pVal) return E_POINTER;
    *pVal = fillColor;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_FillColor(OLE_COLOR newVal) override {
    fillColor = newVal;
    return Changed();
  }
  HRESULT STDMETHODCALLTYPE get_Caption(BSTR* pVal) override {
    if (!pVal) return E_POINTER;
    *pVal = SysAllocStringLen(caption.data(), static_cast<UINT>(caption.size()));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR newVal) override {
    caption = newVal ? std::u16string(newVal, SysStringLen(newVal)) : std::u16string();
    return Changed();
  }
  HRESULT STDMETHODCALLTYPE get_Weight(double* pVal) override {
    if (!pVal) return E_POINTER;
    *pVal = weight;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Weight(double newVal) override {
    weight = newVal;
    return Changed();
  }

  // Watched framework calls.
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
    probe->calls.push_back(site ? "SetClientSite(site)" : "SetClientSite(null)");
    return kelmira::ControlImpl::SetClientSite(site);
  }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override {
    probe->calls.push_back("SetExtent");
    return kelmira::ControlImpl::SetExtent(aspect, size);
  }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                                   LPCRECT pos) override {
    probe->calls.push_back("DoVerb(" + std::to_string(verb) + ")");
    return kelmira::ControlImpl::DoVerb(verb, msg, site, index, parent, pos);
  }
  HRESULT STDMETHODCALLTYPE Close(DWORD option) override {
    probe->calls.push_back("Close");
    return kelmira::ControlImpl::Close(option);
  }
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
    ++probe->inPlaceDeactivations;
    return kelmira::ControlImpl::InPlaceDeactivate();
  }

  int Count(UINT msg) const {
    auto it = messages.find(msg);
    return it == messages.end() ? 0 : it->second;
  }
  using kelmira::ControlImpl::sizeExtent_;

  std::shared_ptr<ControlProbe> probe;
  OLE_COLOR fillColor = RGB(0, 128, 255);
  std::u16string caption = u"caption";
  double weight = 1.5;
  int draws = 0;
  std::map<UINT, int> messages;
  std::vector<std::pair<UINT, POINT>> mouse;  // message and client position

 private:
  HRESULT Changed() {
    this->SetDirty(true);
    this->FireViewChange();
    this->SendOnDataChange();
    return S_OK;
  }
  LRESULT OnCount(UINT msg, WPARAM, LPARAM, BOOL& handled) {
    ++messages[msg];
    handled = FALSE;  // the framework still paints and erases
    return 0;
  }
  LRESULT OnMouse(UINT msg, WPARAM, LPARAM lParam, BOOL&) {
    ++messages[msg];
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    mouse.emplace_back(msg, at);
    if (msg == WM_LBUTTONDOWN)
      kelmira::FireEvent(this->ConnectionPointFor(DIID__ITestControlEvents), 1, static_cast<LONG>(at.x),
                         static_cast<LONG>(at.y));
    return 0;
  }
};

// Always has a window of its own.
class TestControl : public TestControlT<TestControl> {
 public:
  using TestControlT::TestControlT;
  static const CLSID& GetObjectCLSID() { return CLSID_TestControl; }
  static constexpr const IID* kDefaultSourceIid = &DIID__ITestControlEvents;
  static constexpr const char* kWindowClassName = "KelmiraTestControl";
};

// Goes without a window when its site lets it.
class WindowlessTestControl : public TestControlT<WindowlessTestControl> {
 public:
  using TestControlT::TestControlT;
  static const CLSID& GetObjectCLSID() { return CLSID_WindowlessTestControl; }
  static constexpr bool kWindowOnly = false;
  static constexpr DWORD kMiscStatus = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT;
};

// A dialog window with one "AtlAxWin" item hosting a TestControl (id 100).
class TestComposite : public TestControlT<TestComposite, kelmira::CompositeControlImpl> {
 public:
  using TestControlT::TestControlT;
  static const CLSID& GetObjectCLSID() { return CLSID_TestComposite; }
  static const DLGTEMPLATE* GetDialogTemplate();
  HRESULT OnDraw(HDC hdc, const RECT& bounds) override { return CompositeControlImpl::OnDraw(hdc, bounds); }

  BEGIN_MSG_MAP(TestComposite)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ++initDialogs;
    return 0;
  }
  int initDialogs = 0;
};

// A new object of T (a control, site or sink) holding one reference.
template <class T, class... Args>
kelmira::ComPtr<kelmira::Object<T>> Make(Args&&... args) {
  kelmira::ComPtr<kelmira::Object<T>> object;
  kelmira::Object<T>::Make(&object, std::forward<Args>(args)...);
  return object;
}

// A client site and in-place site of a hand-made window (or none), that records what controls
// ask of it.
class TestSite : public IOleClientSite, public IOleInPlaceSiteWindowless, public IOleControlSite {
 public:
  using Interfaces = kelmira::InterfaceTable<IOleClientSite, IOleInPlaceSiteWindowless,
                                             kelmira::Via<IOleInPlaceSiteEx, IOleInPlaceSiteWindowless>,
                                             kelmira::Via<IOleInPlaceSite, IOleInPlaceSiteWindowless>,
                                             kelmira::Via<IOleWindow, IOleInPlaceSiteWindowless>, IOleControlSite>;

  HWND window = nullptr;
  RECT position{0, 0, 60, 40};
  std::vector<std::string> calls;
  std::vector<std::pair<bool, BOOL>> invalidations;  // (whole control, erase)
  int focusChanges = 0;

  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** pp) override {
    *pp = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return Note("ShowObject"); }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
    *phwnd = window;
    return window ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return Note("CanInPlaceActivate"); }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return Note("OnInPlaceActivate"); }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return Note("OnUIActivate"); }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO) override {
    *frame = nullptr;
    *doc = nullptr;
    *pos = position;
    *clip = position;
    return Note("GetWindowContext");
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return Note("OnUIDeactivate"); }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return Note("OnInPlaceDeactivate"); }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL*, DWORD flags) override {
    return Note(flags & ACTIVATE_WINDOWLESS ? "OnInPlaceActivateEx(windowless)" : "OnInPlaceActivateEx");
  }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override { return Note("OnInPlaceDeactivateEx"); }
  HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetCapture() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetCapture(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetFocus() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE SetFocus(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetDC(LPCRECT, DWORD, HDC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT rect, BOOL erase) override {
    invalidations.emplace_back(rect == nullptr, erase);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN, BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) override {
    *result = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override {
    ++focusChanges;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

 private:
  HRESULT Note(const char* call) {
    calls.emplace_back(call);
    return S_OK;
  }
};

// Records the notifications of a view, data or object advise connection.
class RecordingSink : public IAdviseSinkEx {
 public:
  using Interfaces = kelmira::InterfaceTable<IAdviseSinkEx, kelmira::Via<IAdviseSink, IAdviseSinkEx>>;
  std::vector<std::pair<DWORD, LONG>> viewChanges;
  std::vector<DWORD> dataTymeds;
  int closes = 0;
  int saves = 0;
  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM* medium) override { dataTymeds.push_back(medium->tymed); }
  void STDMETHODCALLTYPE OnViewChange(DWORD aspect, LONG lindex) override { viewChanges.emplace_back(aspect, lindex); }
  void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
  void STDMETHODCALLTYPE OnSave() override { ++saves; }
  void STDMETHODCALLTYPE OnClose() override { ++closes; }
  void STDMETHODCALLTYPE OnViewStatusChange(DWORD) override {}
};

// Records the events it is sent: (dispid, arguments in declaration order).
class EventSink : public IDispatch {
 public:
  using Interfaces = kelmira::InterfaceTable<IDispatch>;
  std::vector<std::pair<DISPID, std::vector<LONG>>> events;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    std::vector<LONG> args;
    for (UINT i = params->cArgs; i-- > 0;) args.push_back(params->rgvarg[i].lVal);
    events.emplace_back(id, args);
    return S_OK;
  }
};

// A white memory bitmap to draw into.
class MemoryCanvas {
 public:
  MemoryCanvas(int width, int height)
      : dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateCompatibleBitmap(dc_, width, height)) {
    old_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~MemoryCanvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// Windows for the tests: a visible top-level frame at (100, 50) of the virtual screen.
HWND MakeFrame(int width = 400, int height = 300);
// Dispatches everything posted and paints what is invalid (bounded).
void PumpMessages();
