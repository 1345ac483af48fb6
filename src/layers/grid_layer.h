// GridLayer: the reference grid of a plot, with steps set by the host or chosen at each redraw.
//
// Properties are stored exactly as put, without checks. With AutoStep on (and Lines on), every
// redraw chooses XStep (by the date rule when UseXAsDate is on) and YStep from the visible range
// and stores them, so the getters return the steps of the last redraw.
//
// Decisions of this implementation:
// - XStep and YStep start at 10.0, the value the line graph gives its grid.
// - A raw automatic step that is not a finite positive number (XSteps or YSteps 0, a zero,
//   infinite or NaN scale) leaves the previous step in place.
// - Getters given a null out-pointer return E_POINTER.
#pragma once

#include <kelmira/kelmira.h>

#include "common/pixel_mapping.h"
#include "common/stored_property.h"

namespace kelmira::layers {

class GridLayer : public DispatchImpl<IGridLayer> {
 public:
  using Interfaces = InterfaceTable<IGridLayer, IGraphicsLayer, Via<IDispatch, IGridLayer>>;

  // IGraphicsLayer
  HRESULT STDMETHODCALLTYPE Redraw(DrawLayerInfo drawInfo) override;
  HRESULT STDMETHODCALLTYPE get_UseBitmap(VARIANT_BOOL* pVal) override { return common::GetStored(useBitmap_, pVal); }
  HRESULT STDMETHODCALLTYPE put_UseBitmap(VARIANT_BOOL newVal) override {
    return common::PutStored(useBitmap_, newVal);
  }

  // IGridLayer
  HRESULT STDMETHODCALLTYPE get_LineColor(OLE_COLOR* pVal) override { return common::GetStored(lineColor_, pVal); }
  HRESULT STDMETHODCALLTYPE put_LineColor(OLE_COLOR newVal) override { return common::PutStored(lineColor_, newVal); }
  HRESULT STDMETHODCALLTYPE get_LineStyle(LONG* pVal) override { return common::GetStored(lineStyle_, pVal); }
  HRESULT STDMETHODCALLTYPE put_LineStyle(LONG newVal) override { return common::PutStored(lineStyle_, newVal); }
  HRESULT STDMETHODCALLTYPE get_XStep(double* pVal) override { return common::GetStored(xStep_, pVal); }
  HRESULT STDMETHODCALLTYPE put_XStep(double newVal) override { return common::PutStored(xStep_, newVal); }
  HRESULT STDMETHODCALLTYPE get_YStep(double* pVal) override { return common::GetStored(yStep_, pVal); }
  HRESULT STDMETHODCALLTYPE put_YStep(double newVal) override { return common::PutStored(yStep_, newVal); }
  HRESULT STDMETHODCALLTYPE get_Border(VARIANT_BOOL* pVal) override { return common::GetStored(border_, pVal); }
  HRESULT STDMETHODCALLTYPE put_Border(VARIANT_BOOL newVal) override { return common::PutStored(border_, newVal); }
  HRESULT STDMETHODCALLTYPE get_XSteps(LONG* pVal) override { return common::GetStored(xSteps_, pVal); }
  HRESULT STDMETHODCALLTYPE put_XSteps(LONG newVal) override { return common::PutStored(xSteps_, newVal); }
  HRESULT STDMETHODCALLTYPE get_YSteps(LONG* pVal) override { return common::GetStored(ySteps_, pVal); }
  HRESULT STDMETHODCALLTYPE put_YSteps(LONG newVal) override { return common::PutStored(ySteps_, newVal); }
  HRESULT STDMETHODCALLTYPE get_AutoStep(VARIANT_BOOL* pVal) override { return common::GetStored(autoStep_, pVal); }
  HRESULT STDMETHODCALLTYPE put_AutoStep(VARIANT_BOOL newVal) override { return common::PutStored(autoStep_, newVal); }
  HRESULT STDMETHODCALLTYPE get_MinXStep(double* pVal) override { return common::GetStored(minXStep_, pVal); }
  HRESULT STDMETHODCALLTYPE put_MinXStep(double newVal) override { return common::PutStored(minXStep_, newVal); }
  HRESULT STDMETHODCALLTYPE get_MinYStep(double* pVal) override { return common::GetStored(minYStep_, pVal); }
  HRESULT STDMETHODCALLTYPE put_MinYStep(double newVal) override { return common::PutStored(minYStep_, newVal); }
  HRESULT STDMETHODCALLTYPE get_Lines(VARIANT_BOOL* pVal) override { return common::GetStored(lines_, pVal); }
  HRESULT STDMETHODCALLTYPE put_Lines(VARIANT_BOOL newVal) override { return common::PutStored(lines_, newVal); }
  HRESULT STDMETHODCALLTYPE get_UseXAsDate(VARIANT_BOOL* pVal) override { return common::GetStored(useXAsDate_, pVal); }
  HRESULT STDMETHODCALLTYPE put_UseXAsDate(VARIANT_BOOL newVal) override {
    return common::PutStored(useXAsDate_, newVal);
  }

 private:
  void ChooseSteps(const common::PixelMapping& m);

  OLE_COLOR lineColor_ = 0x00000000;
  LONG lineStyle_ = 2;
  double xStep_ = 10.0;
  double yStep_ = 10.0;
  VARIANT_BOOL border_ = VARIANT_FALSE;
  LONG xSteps_ = 6;
  LONG ySteps_ = 4;
  VARIANT_BOOL autoStep_ = 1;  // 1, not VARIANT_TRUE: the classic default
  double minXStep_ = 0.0001;
  double minYStep_ = 0.0001;
  VARIANT_BOOL lines_ = VARIANT_TRUE;
  VARIANT_BOOL useXAsDate_ = VARIANT_FALSE;
  VARIANT_BOOL useBitmap_ = VARIANT_FALSE;
};

}  // namespace kelmira::layers
