// GraphicsContainer: the plot surface control. It keeps a view (limits inside extents) onto a
// plane of logical coordinates, draws an ordered stack of layers into a kept off-screen picture,
// lets the user zoom through its MouseInputManager and reports mouse activity and view changes
// through IGraphicsEvents.
//
// Choices where the behaviour was left open:
// - The extents start at 0..100 in both directions, like the limits, so SetLimits is safe before
//   the first SetExtents (and a container saved before it writes 0..100 for them).
// - A position outside the stack is "not found": the operation does what it does for an unknown
//   name. LayerName (get and put) of such a position returns E_INVALIDARG; RemoveLayer of one
//   returns E_INVALIDARG and removes nothing. An index VARIANT that does not convert to a 32-bit
//   integer fails with the conversion's HRESULT (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW, ...) and
//   changes nothing.
// - A record with an empty layer is skipped by the paint, and so is a layer whose UseBitmap or
//   Redraw fails; the paint goes on with the next record.
// - Limits of no width or height (MinZoomX/MinZoomY zero or below) and limits that are not finite
//   are stored as given (after the validation rule) and drawn with the mapping of
//   common/pixel_mapping.h, which gives every such view defined pixels.
// - NULL out-pointers give E_POINTER everywhere, also where callers are trusted to pass valid ones.
// - The zoom operations need the window to convert screen points; without one they do nothing.
#pragma once

#include "common/gdi_guards.h"
#include "container/layer_stack.h"
#include "container/view_geometry.h"
#include "common/pixel_mapping.h"
#include "container/zoom_entry.h"
#include "mouse/container_link.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform/control_base.h>
#include <kelmira/platform/dispatch_impl.h>

#include <optional>

namespace kelmira::container {

class GraphicsContainer : public ControlBase<GraphicsContainer>,
                          public DispatchImpl<IGraphicsContainerImpl>,
                          public mouse::ContainerLink,
                          public IKelmiraZoomEntry {
 public:
  using Interfaces = ControlInterfaceTable<IGraphicsContainerImpl, IGraphicsContainer,
                                           Via<IDispatch, IGraphicsContainerImpl>, IKelmiraZoomEntry>;
  static const CLSID& GetObjectCLSID() { return CLSID_GraphicsContainer; }
  static constexpr const IID* kDefaultSourceIid = &DIID_IGraphicsEvents;
  static constexpr const GUID* kLibId = &LIBID_Kelmira;
  static constexpr const char* kWindowClassName = "KelmiraGraphicsContainer";
  static constexpr UINT kWindowClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;

  GraphicsContainer() = default;
  ~GraphicsContainer();

  HRESULT FinalConstruct();

  // Size, then the limits saved under the extents' names, then the extents (raw bytes each).
  BEGIN_PROP_MAP(GraphicsContainer)
    PROP_DATA_ENTRY("_cx", sizeExtent_.cx, VT_UI4)
    PROP_DATA_ENTRY("_cy", sizeExtent_.cy, VT_UI4)
    PROP_DATA_ENTRY("Extents_XMin", limits_.xMin, VT_R8)
    PROP_DATA_ENTRY("Extents_XMax", limits_.xMax, VT_R8)
    PROP_DATA_ENTRY("Extents_YMin", limits_.yMin, VT_R8)
    PROP_DATA_ENTRY("Extents_YMax", limits_.yMax, VT_R8)
    PROP_DATA_ENTRY("Extents_XMin", extents_.xMin, VT_R8)
    PROP_DATA_ENTRY("Extents_XMax", extents_.xMax, VT_R8)
    PROP_DATA_ENTRY("Extents_YMin", extents_.yMin, VT_R8)
    PROP_DATA_ENTRY("Extents_YMax", extents_.yMax, VT_R8)
  END_PROP_MAP()

  // ---- IGraphicsContainer: the layer stack (container_layers.cpp)
  HRESULT STDMETHODCALLTYPE get_Layers(VARIANT vIndex, IGraphicsLayer** pVal) override;
  HRESULT STDMETHODCALLTYPE put_Layers(VARIANT vIndex, IGraphicsLayer* newVal) override;
  HRESULT STDMETHODCALLTYPE get_LayerName(LONG nIndex, BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_LayerName(LONG nIndex, BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_LayerIndex(BSTR sLayerName, LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE AddLayer(BSTR sName, IGraphicsLayer* pLayer, VARIANT_BOOL* pbResult) override;
  HRESULT STDMETHODCALLTYPE RemoveLayer(VARIANT vIndex, VARIANT_BOOL* pbResult) override;
  HRESULT STDMETHODCALLTYPE RemoveAllLayers() override;
  HRESULT STDMETHODCALLTYPE MoveLayerToTop(VARIANT vIndex) override;
  HRESULT STDMETHODCALLTYPE MoveLayerToBottom(VARIANT vIndex) override;
  HRESULT STDMETHODCALLTYPE IsLayerVisible(VARIANT vIndex, VARIANT_BOOL* pbResult) override;
  HRESULT STDMETHODCALLTYPE SetLayerVisible(VARIANT vIndex, VARIANT_BOOL bVisible) override;
  HRESULT STDMETHODCALLTYPE SetLayerRightYAxis(VARIANT vIndex, VARIANT_BOOL bRightYAxis) override;
  HRESULT STDMETHODCALLTYPE get_HasRightYAxisLayers(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE GetLayerRightYAxis(VARIANT vIndex, VARIANT_BOOL* pbResult) override;

  // ---- Rendering (container_render.cpp)
  HRESULT STDMETHODCALLTYPE Redraw() override;
  HRESULT STDMETHODCALLTYPE RedrawLayer(VARIANT vIndex) override;
  HRESULT OnDraw(HDC hdc, const RECT& bounds) override;

  // ---- The view (container_view.cpp)
  HRESULT STDMETHODCALLTYPE SetLimits(double XMin, double xmax, double YMin, double ymax) override;
  HRESULT STDMETHODCALLTYPE GetLimits(double* XMin, double* xmax, double* YMin, double* ymax) override;
  HRESULT STDMETHODCALLTYPE SetExtents(double XMin, double xmax, double YMin, double ymax) override;
  HRESULT STDMETHODCALLTYPE GetExtents(double* XMin, double* xmax, double* YMin, double* ymax) override;
  HRESULT STDMETHODCALLTYPE get_hwnd(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE ScreenToLogical(LONG lx, LONG ly, double* px, double* py, VARIANT_BOOL* pbResult) override;
  HRESULT STDMETHODCALLTYPE LogicalToScreen(double x, double y, LONG* px, LONG* py, VARIANT_BOOL* pbResult) override;
  HRESULT STDMETHODCALLTYPE get_AutoZoom(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_AutoZoom(VARIANT_BOOL newVal) override;
  HRESULT STDMETHODCALLTYPE get_MinZoomX(double* pVal) override;
  HRESULT STDMETHODCALLTYPE put_MinZoomX(double newVal) override;
  HRESULT STDMETHODCALLTYPE get_MinZoomY(double* pVal) override;
  HRESULT STDMETHODCALLTYPE put_MinZoomY(double newVal) override;
  HRESULT STDMETHODCALLTYPE GetRightYLimits(double* YMin, double* ymax) override;
  HRESULT STDMETHODCALLTYPE SetRightYLimits(double YMin, double ymax) override;
  HRESULT STDMETHODCALLTYPE get_AllowYZoom(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_AllowYZoom(VARIANT_BOOL newVal) override;

  // ---- Mouse, zoom and events (container_mouse.cpp)
  HRESULT STDMETHODCALLTYPE get_MouseInput(IMouseInputManager** pVal) override;
  BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  // mouse::ContainerLink
  HWND LinkWindow() const override;
  void LinkLimits(double& xmin, double& xmax, double& ymin, double& ymax) const override;
  bool LinkKeepsYOnZoom() const override;
  void ZoomToRectangle(LONG x1, LONG y1, LONG x2, LONG y2) override;
  void ZoomByFactor(double factor, const double* centreX, const double* centreY) override;
  void ZoomToExtents() override;
  void FireOnMouseEvent(LONG event, LONG button, LONG screenX, LONG screenY) override;

  void FireOnViewChanged();
  void FireOnUserZoom();

  // IKelmiraZoomEntry: the gestures' zoom operations for hosts (kelmira/container_zoom.h)
  void STDMETHODCALLTYPE EntryZoomByFactor(double factor, const double* x, const double* y) override {
    ZoomByFactor(factor, x, y);
  }
  void STDMETHODCALLTYPE EntryZoomToExtents() override { ZoomToExtents(); }

 private:
  // The extents and the requested limits through the validation rule, then OnViewChanged.
  void ApplyLimits(const Limits& requested, const Limits& extents);
  // The mapping of the live window's client area in screen coordinates; empty without a window.
  std::optional<common::PixelMapping> ScreenMapping() const;
  bool KeepsYOnZoom() const;
  void CommitUserZoom(Limits zoomed, bool mayKeepY);
  // Deletes the composite and every layer's bitmap.
  void DropPictures();
  bool DrawLayers(HDC composite, LONG width, LONG height);

  LayerStack layers_;

  // Persisted raw (see the property map); offsetof needs them in this class.
  Limits limits_{0.0, 100.0, 0.0, 100.0};
  Limits extents_{0.0, 100.0, 0.0, 100.0};
  double rightYMin_ = 0.0;
  double rightYMax_ = 100.0;
  double minZoomX_ = 0.001;
  double minZoomY_ = 0.001;
  VARIANT_BOOL allowYZoom_ = VARIANT_TRUE;

  common::UniqueGdiObject<HBITMAP> composite_;
  LONG composedWidth_ = -1;
  LONG composedHeight_ = -1;
  bool fullRedraw_ = false;

  ComPtr<IMouseInputManager> manager_;
  mouse::MouseRouting* routing_ = nullptr;  // the same object as manager_
};

}  // namespace kelmira::container
