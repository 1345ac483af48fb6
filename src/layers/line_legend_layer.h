// LineLegendLayer: holds the line layer a legend belongs to and two position settings, and draws
// nothing. It keeps no UseBitmap value: the get fills in TRUE but reports E_NOTIMPL, the put is
// ignored.
//
// Decisions of this implementation:
// - A LineLayer put whose ILineLayer query fails with anything but E_NOINTERFACE returns that
//   failure and keeps the line layer held before.
// - Getters given a null out-pointer return E_POINTER.
#pragma once

#include <kelmira/kelmira.h>

namespace kelmira::layers {

class LineLegendLayer : public DispatchImpl<ILineLegendLayer> {
 public:
  using Interfaces = InterfaceTable<ILineLegendLayer, IGraphicsLayer, Via<IDispatch, ILineLegendLayer>>;

  // IGraphicsLayer
  HRESULT STDMETHODCALLTYPE Redraw(DrawLayerInfo drawInfo) override;
  HRESULT STDMETHODCALLTYPE get_UseBitmap(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UseBitmap(VARIANT_BOOL newVal) override;

  // ILineLegendLayer
  HRESULT STDMETHODCALLTYPE get_LineLayer(ILineLayer** pVal) override;
  HRESULT STDMETHODCALLTYPE put_LineLayer(ILineLayer* newVal) override;
  HRESULT STDMETHODCALLTYPE get_HorizontalPosition(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_HorizontalPosition(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_VerticalPosition(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_VerticalPosition(LONG newVal) override;

 private:
  ComPtr<ILineLayer> lineLayer_;
  LONG horizontalPosition_ = 0;
  LONG verticalPosition_ = 0;
};

}  // namespace kelmira::layers
