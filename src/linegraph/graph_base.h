// What every composite graph shares (IGraphBase): its parts, its title, colours, font, strip sizes
// and visibility flags, the child windows and their layout, and the graph's stream.
//
// Decisions of this implementation:
// - Construction fails as a whole: a part that cannot be made or wired makes FinalConstruct, and
//   so CreateInstance, fail with that part's error; what was made is released with the object.
// - After construction a call on a part reports the part's error as the member's result (the
//   members that end in S_OK otherwise stop at the failing step; values stored before it stay).
// - Font is handed to the axes and returned as the IFontDisp it was stored as (an IFont pointer in
//   an IFontDisp slot would break a caller that uses it through IDispatch).
// - Load stops at the first failing section or entry; the parts keep what was read before it.
// - The repaint request is the control framework's (invalidate the window, else the in-place
//   site, else tell the view sinks).
#pragma once

#include "common/ansi_text.h"
#include "common/gdi_guards.h"
#include "common/stored_property.h"
#include "linegraph/graph_windows.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform/control_base.h>
#include <kelmira/platform/dispatch_impl.h>

#include <array>
#include <string>

namespace kelmira::linegraph {

// The graph's own fields (the parts hold the rest).
struct GraphFields {
  OLE_COLOR backColor = 0x00FFFFFF;
  OLE_COLOR textColor = 0x00000000;
  std::string title = "Graph";  // ANSI, as the title window shows it
  ComPtr<IFontDisp> font;
  LONG tickLength = 3;
  LayoutSettings layout;
  common::UniqueGdiObject<HBRUSH> backBrush;
};

// Members that store a flag: any non-zero value is true.
inline bool FlagOf(VARIANT_BOOL v) { return v != 0; }
inline HRESULT GetFlag(bool flag, VARIANT_BOOL* out) {
  if (!out) return E_POINTER;
  *out = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}
// A part handed out with a new reference; a missing part gives null.
template <class I>
HRESULT GetPart(const ComPtr<I>& part, I** out) {
  if (!out) return E_POINTER;
  *out = part.get();
  if (*out) (*out)->AddRef();
  return S_OK;
}

// Saves or loads one part's section of the graph's stream.
HRESULT SavePart(IUnknown* part, IStream* stream, BOOL clearDirty);
HRESULT LoadPart(IUnknown* part, IStream* stream);

template <class Derived, class IFace>
class GraphBase : public CompositeControlBase<Derived>, public DispatchImpl<IFace> {
 public:
  using Interfaces = ControlInterfaceTable<IFace, Via<IGraphBase, IFace>, Via<IDispatch, IFace>>;
  static constexpr const IID* kDefaultSourceIid = &DIID__IGraphEvents;
  static constexpr const GUID* kLibId = &LIBID_Kelmira;

  HRESULT FinalConstruct() {
    HRESULT hr = this->AddConnectionPoint(DIID__IGraphEvents, SinkKind::Dispatch);
    if (SUCCEEDED(hr)) hr = BuildGraphParts(&parts_, fields_.font);
    if (SUCCEEDED(hr)) hr = RemakeBackBrush();
    return hr;
  }
  ~GraphBase() {
    fields_.backBrush.Reset();
    fields_.font.Reset();
    parts_.grid.Reset();
    parts_.background.Reset();
    parts_.container.Reset();
    parts_.xAxis.Reset();
    parts_.rightYAxis.Reset();
    parts_.yAxis.Reset();
  }

  // ---- IGraphBase
  HRESULT STDMETHODCALLTYPE get_GridColor(OLE_COLOR* p) override {
    return parts_.grid ? parts_.grid->get_LineColor(p) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE put_GridColor(OLE_COLOR v) override {
    if (!parts_.grid) return E_POINTER;
    const HRESULT hr = parts_.grid->put_LineColor(v);
    return FAILED(hr) ? hr : RedrawGrid();
  }
  HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* p) override { return common::GetStored(fields_.backColor, p); }
  HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR v) override {
    fields_.backColor = v;
    return ApplyBackColor(v);
  }
  HRESULT STDMETHODCALLTYPE get_Title(BSTR* p) override {
    if (!p) return E_POINTER;
    *p = common::AnsiToBstr(fields_.title);
    return *p ? S_OK : E_OUTOFMEMORY;
  }
  // The window takes the text first, so a failure leaves the stored title and the shown one alike.
  HRESULT STDMETHODCALLTYPE put_Title(BSTR v) override {
    return Guarded([&] {
      std::string title = common::AnsiText(v);
      if (windows_.title && !SetWindowTextA(windows_.title, title.c_str())) return E_OUTOFMEMORY;
      fields_.title.swap(title);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_TextColor(OLE_COLOR* p) override { return common::GetStored(fields_.textColor, p); }
  HRESULT STDMETHODCALLTYPE put_TextColor(OLE_COLOR v) override {
    HRESULT hr = ForEachAxis([v](IAxis* axis) { return axis->put_ForeColor(v); });
    if (FAILED(hr)) return hr;
    fields_.textColor = v;
    return Repaint();
  }
  HRESULT STDMETHODCALLTYPE get_XAxis(IXAxis** p) override { return GetPart(parts_.xAxis, p); }
  HRESULT STDMETHODCALLTYPE get_YAxis(IYAxis** p) override { return GetPart(parts_.yAxis, p); }
  HRESULT STDMETHODCALLTYPE get_TickLength(LONG* p) override { return common::GetStored(fields_.tickLength, p); }
  HRESULT STDMETHODCALLTYPE put_TickLength(LONG v) override {
    fields_.tickLength = v;
    for (IAxis* axis : Axes())
      if (axis) {
        const HRESULT hr = axis->put_TickLength(v);
        if (FAILED(hr)) return hr;
      }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_GridStepX(double* p) override {
    return parts_.grid ? parts_.grid->get_XStep(p) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE put_GridStepX(double v) override {
    return parts_.grid ? parts_.grid->put_XStep(v) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE get_GridStepY(double* p) override {
    return parts_.grid ? parts_.grid->get_YStep(p) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE put_GridStepY(double v) override {
    return parts_.grid ? parts_.grid->put_YStep(v) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE get_TitleVisible(VARIANT_BOOL* p) override {
    return GetFlag(fields_.layout.titleVisible, p);
  }
  HRESULT STDMETHODCALLTYPE put_TitleVisible(VARIANT_BOOL v) override {
    return PutVisible(fields_.layout.titleVisible, v);
  }
  HRESULT STDMETHODCALLTYPE get_XAxisVisible(VARIANT_BOOL* p) override {
    return GetFlag(fields_.layout.xAxisVisible, p);
  }
  HRESULT STDMETHODCALLTYPE put_XAxisVisible(VARIANT_BOOL v) override {
    return PutVisible(fields_.layout.xAxisVisible, v);
  }
  HRESULT STDMETHODCALLTYPE get_YAxisVisible(VARIANT_BOOL* p) override {
    return GetFlag(fields_.layout.yAxisVisible, p);
  }
  HRESULT STDMETHODCALLTYPE put_YAxisVisible(VARIANT_BOOL v) override {
    return PutVisible(fields_.layout.yAxisVisible, v);
  }
  HRESULT STDMETHODCALLTYPE get_GraphicsContainer(IGraphicsContainer** p) override {
    return GetPart(parts_.container, p);
  }
  HRESULT STDMETHODCALLTYPE Redraw() override {
    if (!parts_.container) return E_POINTER;
    HRESULT hr = parts_.container->Redraw();
    if (SUCCEEDED(hr)) hr = ForEachAxis([](IAxis* axis) { return axis->Redraw(); });
    if (FAILED(hr)) return hr;
    if (windows_.title) InvalidateRect(windows_.title, nullptr, TRUE);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** p) override { return GetPart(fields_.font, p); }
  HRESULT STDMETHODCALLTYPE put_Font(IFontDisp* v) override {
    ComPtr<IFontDisp> font;
    if (v && FAILED(v->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(&font)))) font.Reset();
    fields_.font = std::move(font);
    const HRESULT hr = ForEachAxis([this](IAxis* axis) { return axis->putref_Font(fields_.font.get()); });
    return FAILED(hr) ? hr : Repaint();
  }
  HRESULT STDMETHODCALLTYPE get_Border(VARIANT_BOOL* p) override {
    return parts_.grid ? parts_.grid->get_Border(p) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE put_Border(VARIANT_BOOL v) override {
    return parts_.grid ? parts_.grid->put_Border(v) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE get_RightYAxisVisible(VARIANT_BOOL* p) override {
    return GetFlag(fields_.layout.rightYAxisVisible, p);
  }
  HRESULT STDMETHODCALLTYPE put_RightYAxisVisible(VARIANT_BOOL v) override {
    return PutVisible(fields_.layout.rightYAxisVisible, v);
  }
  HRESULT STDMETHODCALLTYPE get_RightYAxis(IYAxis** p) override { return GetPart(parts_.rightYAxis, p); }
  HRESULT STDMETHODCALLTYPE SetLimits(double x0, double x1, double y0, double y1) override {
    return parts_.container ? parts_.container->SetLimits(x0, x1, y0, y1) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE GetLimits(double* x0, double* x1, double* y0, double* y1) override {
    return parts_.container ? parts_.container->GetLimits(x0, x1, y0, y1) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE SetExtents(double x0, double x1, double y0, double y1) override {
    return parts_.container ? parts_.container->SetExtents(x0, x1, y0, y1) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE GetExtents(double* x0, double* x1, double* y0, double* y1) override {
    return parts_.container ? parts_.container->GetExtents(x0, x1, y0, y1) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE get_hwnd(LONG* p) override {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(HandleToUlong(this->ControlWindow()));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_GridStyle(LONG* p) override {
    return parts_.grid ? parts_.grid->get_LineStyle(p) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE put_GridStyle(LONG v) override {
    if (!parts_.grid) return E_POINTER;
    const HRESULT hr = parts_.grid->put_LineStyle(v);
    return FAILED(hr) ? hr : RedrawGrid();
  }
  HRESULT STDMETHODCALLTYPE get_GridLayer(IGridLayer** p) override { return GetPart(parts_.grid, p); }
  HRESULT STDMETHODCALLTYPE get_XAxisSize(LONG* p) override { return common::GetStored(fields_.layout.xAxisSize, p); }
  HRESULT STDMETHODCALLTYPE put_XAxisSize(LONG v) override {
    fields_.layout.xAxisSize = v;
    return Layout();
  }
  HRESULT STDMETHODCALLTYPE get_YAxisSize(LONG* p) override { return common::GetStored(fields_.layout.yAxisSize, p); }
  HRESULT STDMETHODCALLTYPE put_YAxisSize(LONG v) override {
    fields_.layout.yAxisSize = v;
    return Layout();
  }
  HRESULT STDMETHODCALLTYPE get_TickColor(OLE_COLOR* p) override {
    return parts_.xAxis ? parts_.xAxis->get_TickColor(p) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE put_TickColor(OLE_COLOR v) override {
    const HRESULT hr = ForEachAxis([v](IAxis* axis) { return axis->put_TickColor(v); });
    return FAILED(hr) ? hr : ForEachAxis([](IAxis* axis) { return axis->Redraw(); });
  }
  HRESULT STDMETHODCALLTYPE get_GridLines(VARIANT_BOOL* p) override {
    return parts_.grid ? parts_.grid->get_Lines(p) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE put_GridLines(VARIANT_BOOL v) override {
    return parts_.grid ? parts_.grid->put_Lines(v) : E_POINTER;
  }

  // ---- The graph's stream: container, X axis, left Y axis, right Y axis, then the graph's map.
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override {
    if (!stream) return E_POINTER;
    for (IUnknown* part : Sections()) {
      const HRESULT hr = SavePart(part, stream, clearDirty);
      if (FAILED(hr)) return hr;
    }
    return CompositeControlBase<Derived>::Save(stream, clearDirty);
  }
  HRESULT STDMETHODCALLTYPE Load(IStream* stream) override {
    if (!stream) return E_POINTER;
    for (IUnknown* part : Sections()) {
      const HRESULT hr = LoadPart(part, stream);
      if (FAILED(hr)) return hr;
    }
    return CompositeControlBase<Derived>::Load(stream);
  }
  using CompositeControlBase<Derived>::Load;
  using CompositeControlBase<Derived>::Save;

  // ---- The graph's window
  BEGIN_MSG_MAP(GraphBase)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_RANGE_HANDLER(WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, OnControlColor)
  END_MSG_MAP()

 protected:
  GraphBase() = default;

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    HWND hwnd = this->ControlWindow();
    if (SUCCEEDED(CreateChildWindows(hwnd, parts_, fields_.title, &windows_)) &&
        SUCCEEDED(RecalcLayout(hwnd, nullptr, fields_.layout, parts_, windows_))) {
      ShowChildWindows(hwnd, fields_.layout, windows_);
      ApplyBackColor(fields_.backColor);
    }
    return 0;
  }
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&) {
    RecalcLayout(this->ControlWindow(), nullptr, fields_.layout, parts_, windows_);
    return 0;
  }
  LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&) {
    RECT client{};
    GetClientRect(this->ControlWindow(), &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, fields_.backBrush.get());
    return 1;
  }
  LRESULT OnControlColor(UINT, WPARAM wParam, LPARAM, BOOL&) {
    const HDC dc = reinterpret_cast<HDC>(wParam);
    SetBkColor(dc, fields_.backColor);
    SetTextColor(dc, fields_.textColor);
    return reinterpret_cast<LRESULT>(fields_.backBrush.get());
  }

  GraphParts parts_;
  GraphFields fields_;
  GraphWindows windows_;

 private:
  std::array<IAxis*, 3> Axes() const {
    return {static_cast<IAxis*>(parts_.xAxis.get()), static_cast<IAxis*>(parts_.yAxis.get()),
            static_cast<IAxis*>(parts_.rightYAxis.get())};
  }
  // X, left Y, right Y in turn; a missing axis or a failing call ends it.
  template <class Call>
  HRESULT ForEachAxis(Call&& call) const {
    for (IAxis* axis : Axes()) {
      const HRESULT hr = axis ? call(axis) : E_POINTER;
      if (FAILED(hr)) return hr;
    }
    return S_OK;
  }
  std::array<IUnknown*, 4> Sections() const {
    return {parts_.container.get(), parts_.xAxis.get(), parts_.yAxis.get(), parts_.rightYAxis.get()};
  }

  HRESULT Repaint() {
    this->FireViewChange();
    return S_OK;
  }
  HRESULT RedrawGrid() { return parts_.container ? parts_.container->RedrawLayer(LayerName(u"Grid")) : E_POINTER; }
  HRESULT RemakeBackBrush() {
    fields_.backBrush.Reset(CreateSolidBrush(fields_.backColor));
    return fields_.backBrush ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT ApplyBackColor(OLE_COLOR color) {
    HRESULT hr = ApplyBackColorToParts(parts_, color);
    if (SUCCEEDED(hr)) hr = RemakeBackBrush();
    return FAILED(hr) ? hr : Repaint();
  }
  HRESULT Layout() { return RecalcLayout(this->ControlWindow(), nullptr, fields_.layout, parts_, windows_); }
  HRESULT PutVisible(bool& flag, VARIANT_BOOL v) {
    flag = FlagOf(v);
    const HRESULT hr = Layout();
    if (FAILED(hr)) return hr;
    ShowChildWindows(this->ControlWindow(), fields_.layout, windows_);
    return S_OK;
  }
};

}  // namespace kelmira::linegraph
