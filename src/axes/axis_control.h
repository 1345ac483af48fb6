// What the XAxis and YAxis controls share: the IAxis members with their put groups, the
// container subscription, the mouse events of the axis window and its resize guard.
//
// Put groups (see each member):
// - A: store; mark the control changed; ask for a repaint; tell the data advise sinks.
// - B: as A, and set RangeChanged (StartValue, EndValue and step before the repaint request,
//   TickLabels after the notifications).
// - C: set RangeChanged only; the host redraws when it wants.
// Decisions of this implementation:
// - GraphicContainer, Grid and TickLabels keep the answer of QueryInterface for their interface;
//   E_NOINTERFACE leaves the property empty and succeeds, any other failure empties it and is
//   returned.
// - A put of Font by value with a font that cannot be cloned fails with the clone's error and
//   keeps the old font; a null font empties the property and the axis then draws with the
//   device context's own font.
// - Colours are used as stored, with no translation of system-colour values, as everywhere in
//   the library.
// - Gets with a null out-pointer give E_POINTER; puts check nothing.
// - A Load that fails part way (a truncated or damaged stream) puts every field back as it was:
//   the entries are applied through the puts as they are read, so without this a host would keep
//   a half-loaded axis.
#pragma once

#include "axes/axis_labels.h"
#include "axes/axis_look.h"
#include "axes/axis_scale.h"
#include "axes/container_subscription.h"
#include "common/ansi_text.h"
#include "common/default_font.h"
#include "common/stored_property.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform/control_base.h>
#include <kelmira/platform/dispatch_impl.h>

// The first thirteen entries of both axes' property maps; the fourteenth is the axis's alignment.
#define KELMIRA_AXIS_PROP_ENTRIES                                 \
  PROP_DATA_ENTRY("_cx", sizeExtent_.cx, VT_UI4)                  \
  PROP_DATA_ENTRY("_cy", sizeExtent_.cy, VT_UI4)                  \
  PROP_ENTRY("BackColor", DISPID_BACKCOLOR, CLSID_StockColorPage) \
  PROP_ENTRY("Font", DISPID_FONT, CLSID_StockFontPage)            \
  PROP_ENTRY("ForeColor", DISPID_FORECOLOR, CLSID_StockColorPage) \
  PROP_ENTRY("TickLength", 1, CLSID_NULL)                         \
  PROP_ENTRY("Step", 2, CLSID_NULL)                               \
  PROP_ENTRY("StartValue", 3, CLSID_NULL)                         \
  PROP_ENTRY("EndValue", 4, CLSID_NULL)                           \
  PROP_ENTRY("Precision", 5, CLSID_NULL)                          \
  PROP_ENTRY("TickColor", 6, CLSID_StockColorPage)                \
  PROP_ENTRY("Margin", 7, CLSID_NULL)                             \
  PROP_ENTRY("Title", 8, CLSID_NULL)

namespace kelmira::axes {

// The fields both axes keep; defaults are the X axis's, the Y axis changes its own.
struct AxisFields {
  double startValue = 0.0;
  double endValue = 10.0;
  double step = 1.0;
  LONG precision = 1;
  LONG tickLength = 2;
  LONG margin = 1;
  OLE_COLOR tickColor = 0x000000FF;
  OLE_COLOR backColor = 0x00FFFFFF;
  OLE_COLOR foreColor = 0x00000000;
  ComPtr<IFontDisp> font;
  Bstr title{u"Axis"};
  LONG aligned = 0;  // X: BottomAligned; Y: LeftAligned (1 or 0)
  ComPtr<IGraphicsContainer> container;
  ComPtr<IGridLayer> grid;
  ComPtr<ITickLabelList> labels;
  bool rangeChanged = true;
};

// The IID-typed query behind the object-valued puts (see the decisions above).
HRESULT QueryOrEmpty(IUnknown* object, REFIID iid, void** out);

template <class Derived, class IFace>
class AxisControl : public ControlBase<Derived>, public DispatchImpl<IFace>, public ViewChangeTarget {
 public:
  using Interfaces = ControlInterfaceTable<IFace, Via<IAxis, IFace>, Via<IDispatch, IFace>>;
  static constexpr bool kAggregatable = false;
  static constexpr const IID* kDefaultSourceIid = &DIID_IAxisEvents;
  static constexpr const GUID* kLibId = &LIBID_Kelmira;
  static constexpr UINT kWindowClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;

  HRESULT FinalConstruct() {
    HRESULT hr = this->AddConnectionPoint(DIID_IAxisEvents, SinkKind::Dispatch);
    if (FAILED(hr)) return hr;
    return common::MakeDefaultFont(fields_.font);
  }
  ~AxisControl() { subscription_.End(); }

  // ---- IAxis
  HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR v) override { return PutA(fields_.backColor, v); }
  HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* p) override { return common::GetStored(fields_.backColor, p); }
  HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* font) override {
    fields_.font = ComPtr<IFontDisp>(font);
    return AfterPutA();
  }
  HRESULT STDMETHODCALLTYPE put_Font(IFontDisp* font) override {
    ComPtr<IFontDisp> copy;
    if (font) {
      ComPtr<IFont> original, clone;
      HRESULT hr = font->QueryInterface(IID_IFont, reinterpret_cast<void**>(&original));
      if (SUCCEEDED(hr)) hr = original->Clone(&clone);
      if (SUCCEEDED(hr)) hr = clone->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(&copy));
      if (FAILED(hr)) return hr;
    }
    fields_.font = std::move(copy);
    return AfterPutA();
  }
  HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** p) override {
    if (!p) return E_POINTER;
    return fields_.font.CopyTo(p);
  }
  HRESULT STDMETHODCALLTYPE put_ForeColor(OLE_COLOR v) override { return PutA(fields_.foreColor, v); }
  HRESULT STDMETHODCALLTYPE get_ForeColor(OLE_COLOR* p) override { return common::GetStored(fields_.foreColor, p); }
  HRESULT STDMETHODCALLTYPE get_Window(LONG* p) override {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(HandleToUlong(this->ControlWindow()));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_TickLength(LONG* p) override { return common::GetStored(fields_.tickLength, p); }
  HRESULT STDMETHODCALLTYPE put_TickLength(LONG v) override { return PutA(fields_.tickLength, v); }
  HRESULT STDMETHODCALLTYPE get_step(double* p) override { return common::GetStored(fields_.step, p); }
  HRESULT STDMETHODCALLTYPE put_step(double v) override { return PutRange(fields_.step, v); }
  HRESULT STDMETHODCALLTYPE get_StartValue(double* p) override { return common::GetStored(fields_.startValue, p); }
  HRESULT STDMETHODCALLTYPE put_StartValue(double v) override { return PutRange(fields_.startValue, v); }
  HRESULT STDMETHODCALLTYPE get_EndValue(double* p) override { return common::GetStored(fields_.endValue, p); }
  HRESULT STDMETHODCALLTYPE put_EndValue(double v) override { return PutRange(fields_.endValue, v); }
  HRESULT STDMETHODCALLTYPE get_Precision(LONG* p) override { return common::GetStored(fields_.precision, p); }
  HRESULT STDMETHODCALLTYPE put_Precision(LONG v) override { return PutA(fields_.precision, v); }
  HRESULT STDMETHODCALLTYPE put_TickColor(OLE_COLOR v) override { return PutA(fields_.tickColor, v); }
  HRESULT STDMETHODCALLTYPE get_TickColor(OLE_COLOR* p) override { return common::GetStored(fields_.tickColor, p); }
  HRESULT STDMETHODCALLTYPE get_Margin(LONG* p) override { return common::GetStored(fields_.margin, p); }
  HRESULT STDMETHODCALLTYPE put_Margin(LONG v) override { return PutA(fields_.margin, v); }
  HRESULT STDMETHODCALLTYPE get_Title(BSTR* p) override {
    if (!p) return E_POINTER;
    *p = SysAllocStringLen(fields_.title.get(), fields_.title.length());
    return *p || !fields_.title ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE put_Title(BSTR v) override {
    Bstr copy = Bstr::Attach(SysAllocStringLen(v, SysStringLen(v)));
    if (!copy) return E_OUTOFMEMORY;
    fields_.title = std::move(copy);
    return AfterPutA();
  }
  HRESULT STDMETHODCALLTYPE Redraw() override {
    fields_.rangeChanged = true;
    HWND hwnd = this->ControlWindow();
    if (hwnd && IsWindow(hwnd)) {
      InvalidateRect(hwnd, nullptr, TRUE);
      return S_OK;
    }
    return this->FireViewChange();
  }
  HRESULT STDMETHODCALLTYPE put_GraphicContainer(IGraphicsContainer* v) override {
    subscription_.End();
    fields_.container.Reset();
    const HRESULT hr = QueryOrEmpty(v, IID_IGraphicsContainer, reinterpret_cast<void**>(&fields_.container));
    fields_.rangeChanged = true;
    if (FAILED(hr)) return hr;
    return subscription_.Begin(fields_.container.get(), this);
  }
  HRESULT STDMETHODCALLTYPE put_Grid(IGridLayer* v) override {
    fields_.grid.Reset();
    fields_.rangeChanged = true;
    return QueryOrEmpty(v, IID_IGridLayer, reinterpret_cast<void**>(&fields_.grid));
  }
  HRESULT STDMETHODCALLTYPE SetParams(double start, double end, double step) override {
    fields_.startValue = start;
    fields_.endValue = end;
    fields_.step = step;
    fields_.rangeChanged = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_TickLabels(IDispatch** p) override {
    if (!p) return E_POINTER;
    *p = fields_.labels.get();
    if (*p) (*p)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_TickLabels(IDispatch* v) override {
    fields_.labels.Reset();
    const HRESULT hr = QueryOrEmpty(v, IID_ITickLabelList, reinterpret_cast<void**>(&fields_.labels));
    if (FAILED(hr)) {
      fields_.rangeChanged = true;
      return hr;
    }
    AfterPutA();
    fields_.rangeChanged = true;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Load(IStream* stream) override {
    AxisFields before = fields_;
    const SIZEL extent = this->sizeExtent_;
    const HRESULT hr = ControlBase<Derived>::Load(stream);
    if (FAILED(hr)) {
      fields_ = std::move(before);
      this->sizeExtent_ = extent;
    }
    return hr;
  }

  // ViewChangeTarget: the container's OnViewChanged.
  void ContainerViewChanged() override {
    fields_.rangeChanged = true;
    Redraw();
  }

  // The resize guard and the mouse events of the axis window.
  BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (msg == WM_SIZE) {
      if (resizing_) return FALSE;
      resizing_ = true;
      MoveWindow(hwnd, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      InvalidateRect(hwnd, nullptr, TRUE);
      resizing_ = false;
      result = 0;
      return TRUE;
    }
    const LONG event = MouseEventOf(msg, wParam);
    if (event < 0) return FALSE;
    POINT screen{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    ClientToScreen(hwnd, &screen);
    FireEvent(this->ConnectionPointFor(DIID_IAxisEvents), kOnMouseEvent, event, ButtonOf(msg, wParam), screen.x,
              screen.y);
    result = 0;
    return TRUE;
  }

 protected:
  AxisControl() = default;

  // Range, step and precision of one drawing; the date flags when the X axis shows dates.
  HRESULT Resolve(AxisKind kind, AxisScale* scale) const {
    ScaleFields f{fields_.startValue, fields_.endValue, fields_.step, fields_.precision, fields_.aligned != 0};
    return ResolveScale(kind, f, fields_.container.get(), fields_.grid.get(), scale);
  }
  AxisLook Look(LONG dateFormat = 0) const {
    return AxisLook{ClampPixels(fields_.tickLength),
                    ClampPixels(fields_.margin),
                    fields_.tickColor,
                    fields_.backColor,
                    fields_.foreColor,
                    fields_.font.get(),
                    common::AnsiText(fields_.title.get()),
                    fields_.aligned != 0,
                    dateFormat};
  }

  template <class T>
  HRESULT PutA(T& field, T value) {
    field = value;
    return AfterPutA();
  }
  HRESULT AfterPutA() {
    this->SetDirty(true);
    this->FireViewChange();
    this->SendOnDataChange();
    return S_OK;
  }
  HRESULT PutRange(double& field, double value) {
    field = value;
    fields_.rangeChanged = true;
    return AfterPutA();
  }
  // BottomAligned and LeftAligned: 1 only for VARIANT_TRUE.
  HRESULT PutAligned(VARIANT_BOOL v) { return PutA(fields_.aligned, v == VARIANT_TRUE ? LONG{1} : LONG{0}); }
  HRESULT GetAligned(VARIANT_BOOL* p) const {
    if (!p) return E_POINTER;
    *p = fields_.aligned ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }

  AxisFields fields_;

 private:
  static constexpr DISPID kOnMouseEvent = 1;

  static LONG MouseEventOf(UINT msg, WPARAM) {
    switch (msg) {
      case WM_MOUSEMOVE: return kEventMouseMove;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN: return kEventMouseDown;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP: return kEventMouseUp;
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK: return kEventMouseDblClick;
      default: return -1;
    }
  }
  // A move names the right button, else the middle one; presses name their own button.
  static LONG ButtonOf(UINT msg, WPARAM keys) {
    if (msg == WM_MOUSEMOVE) return (keys & MK_RBUTTON) ? 1 : (keys & MK_MBUTTON) ? 2 : 0;
    return (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP || msg == WM_RBUTTONDBLCLK) ? 1 : 0;
  }

  // One per class, shared by every axis of the class: the move of the window in WM_SIZE sends a
  // nested WM_SIZE, which goes to the default handling.
  static inline bool resizing_ = false;

  ContainerSubscription subscription_;
};

}  // namespace kelmira::axes
