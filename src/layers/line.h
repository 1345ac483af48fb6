// Line: one plotted line of a line layer. It keeps the pen attributes (style, colour, width), the
// marker shape, visibility, a name to be found by, and the LineData with its points.
//
// Decisions where the behaviour is open:
// - A NULL out-pointer gives E_POINTER and changes nothing.
// - Reading Data with none attached makes a LineData through the component system (by class
//   identifier). When that fails its error is returned and nothing is attached.
// - A Name that cannot be copied for lack of memory gives E_OUTOFMEMORY and keeps the old name.
#pragma once

#include "layers/line_attachment.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform/com_object.h>
#include <kelmira/platform/dispatch_impl.h>

namespace kelmira::layers {

class Line : public DispatchImpl<ILine>, public ILineAttachment {
 public:
  using Interfaces = InterfaceTable<ILine, Via<IDispatch, ILine>, ILineAttachment>;

  HRESULT FinalConstruct();

  // The line layer's AddLine stores its style as given, unlike put_Style.
  void SetStyleUnchecked(LONG style) { style_ = style; }

  HRESULT STDMETHODCALLTYPE get_Style(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Style(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_Color(OLE_COLOR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Color(OLE_COLOR newVal) override;
  HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL newVal) override;
  HRESULT STDMETHODCALLTYPE get_PointStyle(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_PointStyle(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_Width(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Width(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Name(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_Data(ILineData** pVal) override;
  HRESULT STDMETHODCALLTYPE put_Data(ILineData* newVal) override;

  HRESULT STDMETHODCALLTYPE GetAttachedData(ILineData** ppData) override;

 private:
  LONG style_ = 0;
  OLE_COLOR color_ = 0x000000FF;
  VARIANT_BOOL visible_ = VARIANT_TRUE;
  LONG pointStyle_ = 2;
  LONG width_ = 0;
  Bstr name_;
  ComPtr<ILineData> data_;
};

}  // namespace kelmira::layers
