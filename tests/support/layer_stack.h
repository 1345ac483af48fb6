// Layers for a container's stack: one written the way a host writes a layer, which records how it
// is called and fills its area with its colour, and adding any layer under a name.
#pragma once

#include <kelmira/kelmira.h>
#include <kelmira/platform/dispatch_impl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace kelmira::test {

class RecordingLayer : public DispatchImpl<IGraphicsLayer> {
 public:
  using Interfaces = InterfaceTable<IGraphicsLayer, Via<IDispatch, IGraphicsLayer>>;

  // Fills `area`, or the whole drawing area when `area` is empty.
  static ComPtr<Object<RecordingLayer>> Make(COLORREF color = 0, RECT area = {}) {
    ComPtr<Object<RecordingLayer>> layer;
    Object<RecordingLayer>::Make(&layer);
    layer->color = color, layer->area = area;
    return layer;
  }
  HRESULT STDMETHODCALLTYPE Redraw(DrawLayerInfo info) override {
    draws.push_back(info);
    const RECT r = area.right > area.left ? area : RECT{info.left, info.top, info.right, info.bottom};
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(UlongToHandle<HDC>(static_cast<std::uint32_t>(info.hDC)), &r, brush);
    DeleteObject(brush);
    return redrawResult;
  }
  HRESULT STDMETHODCALLTYPE get_UseBitmap(VARIANT_BOOL* p) override { return *p = useBitmap, useBitmapResult; }
  HRESULT STDMETHODCALLTYPE put_UseBitmap(VARIANT_BOOL v) override { return useBitmap = v, S_OK; }

  COLORREF color = 0;
  RECT area{};
  std::vector<DrawLayerInfo> draws;
  VARIANT_BOOL useBitmap = VARIANT_FALSE;
  HRESULT redrawResult = S_OK, useBitmapResult = S_OK;
};

// Adds `layer` (any object with IGraphicsLayer, or none) to the top of the stack.
inline void AddLayer(IGraphicsContainer* container, const char16_t* name, IUnknown* layer) {
  ComPtr<IGraphicsLayer> graphics;
  if (layer) {
    ASSERT_EQ(layer->QueryInterface(IID_IGraphicsLayer, reinterpret_cast<void**>(&graphics)), S_OK);
  }
  VARIANT_BOOL added = VARIANT_FALSE;
  ASSERT_EQ(container->AddLayer(Bstr(name).get(), graphics.get(), &added), S_OK);
  EXPECT_EQ(added, VARIANT_TRUE);
}

}  // namespace kelmira::test
