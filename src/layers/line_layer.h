// LineLayer: the layer that plots data. It keeps an ordered list of lines and, on every redraw,
// draws each visible one as a polyline broken at hidden and bad points, as point markers
// (layer Style 1), or as a horizontal placeholder (DesignMode).
//
// Decisions where the behaviour is open:
// - A NULL out-pointer gives E_POINTER and changes nothing.
// - A null line never enters the list: Lines put with a null line gives E_POINTER.
// - An index that finds no line (a position outside 0..Count-1, a name no line has) is not an
//   error: Lines get returns null, RemoveLine and Lines put with a position do nothing; all
//   return S_OK.
// - A VARIANT index that cannot be converted to a 32-bit integer gives the conversion's error
//   (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW, ...) and changes nothing.
// - AddLine when the line cannot be made, or memory runs out, gives that error (E_OUTOFMEMORY)
//   and appends nothing.
// - During Redraw a failing call on a line or on its data skips that line; the others are drawn.
//   Data that a host's line reports as double-precision X without a double address is skipped.
// - Pixel positions beyond the 32-bit range are held at its ends (NaN at the lowest value).
// - A layer holds at most kMaxLines lines (a million: far beyond what a plot shows, and it
//   bounds what a count from a stream or a script can make the layer allocate); adding one more
//   gives E_OUTOFMEMORY and changes nothing.
#pragma once

#include <kelmira/kelmira.h>
#include <kelmira/platform/com_object.h>
#include <kelmira/platform/dispatch_impl.h>

#include <cstddef>
#include <optional>
#include <vector>

namespace kelmira::common {
struct PixelMapping;
}

namespace kelmira::layers {

class LineLayer : public DispatchImpl<ILineLayer> {
 public:
  static constexpr LONG kMaxLines = 1 << 20;

  using Interfaces = InterfaceTable<ILineLayer, Via<IGraphicsLayer, ILineLayer>, Via<IDispatch, ILineLayer>>;

  LineLayer() = default;
  ~LineLayer();
  LineLayer(const LineLayer&) = delete;
  LineLayer& operator=(const LineLayer&) = delete;

  // IGraphicsLayer
  HRESULT STDMETHODCALLTYPE Redraw(DrawLayerInfo drawInfo) override;
  HRESULT STDMETHODCALLTYPE get_UseBitmap(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UseBitmap(VARIANT_BOOL newVal) override;

  // ILineLayer
  HRESULT STDMETHODCALLTYPE AddLine(BSTR szName, OLE_COLOR Color, LONG Style, ILine** ppResult) override;
  HRESULT STDMETHODCALLTYPE RemoveLine(VARIANT vIndex) override;
  HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE get_Offset(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Offset(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE RemoveAllLines() override;
  HRESULT STDMETHODCALLTYPE put_DesignMode(VARIANT_BOOL newVal) override;
  HRESULT STDMETHODCALLTYPE get_Lines(VARIANT vIndex, ILine** pVal) override;
  HRESULT STDMETHODCALLTYPE put_Lines(VARIANT vIndex, ILine* newVal) override;
  HRESULT STDMETHODCALLTYPE get_Style(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Style(LONG newVal) override;

 private:
  void ReleaseAllLines();
  // The line the index selects (common/variant_index.h); a line whose name cannot be read is
  // passed over.
  HRESULT FindLine(const VARIANT& index, std::optional<std::size_t>* position) const;
  // False when memory ran out for the line.
  bool DrawLine(HDC dc, ILine* line, const common::PixelMapping& mapping, std::size_t position, std::size_t lineCount);

  std::vector<ComPtr<ILine>> lines_;
  LONG style_ = 0;
  LONG offset_ = 1;
  LONG designMode_ = 0;
  VARIANT_BOOL useBitmap_ = VARIANT_FALSE;
};

}  // namespace kelmira::layers
