// BackgroundLayer: fills the plot area with one colour.
//
// FillColor starts as white (0x00FFFFFF), so that a background added without a colour covers the
// container's red. Colours are handed to the device context as stored; system-colour values are
// not resolved. The context's background colour is left at FillColor after drawing, which the
// dashed lines of the layers above rely on for their gaps.
#pragma once

#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

namespace kelmira::layers {

class BackgroundLayer : public DispatchImpl<IBackgroundLayer> {
 public:
  using Interfaces =
      InterfaceTable<IBackgroundLayer, Via<IGraphicsLayer, IBackgroundLayer>, Via<IDispatch, IBackgroundLayer>>;

  static constexpr OLE_COLOR kInitialFillColor = 0x00FFFFFF;

  // IGraphicsLayer
  HRESULT STDMETHODCALLTYPE Redraw(DrawLayerInfo drawInfo) override;
  HRESULT STDMETHODCALLTYPE get_UseBitmap(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UseBitmap(VARIANT_BOOL newVal) override;
  // IBackgroundLayer
  HRESULT STDMETHODCALLTYPE get_FillColor(OLE_COLOR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_FillColor(OLE_COLOR newVal) override;

 protected:
  BackgroundLayer() = default;
  ~BackgroundLayer() = default;

 private:
  VARIANT_BOOL useBitmap_ = VARIANT_FALSE;
  OLE_COLOR fillColor_ = kInitialFillColor;
};

}  // namespace kelmira::layers
