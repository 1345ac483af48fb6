// The container's ordered stack of layer records: position 0 is drawn first (the bottom).
//
// Lookups by VARIANT (FindLayer) take a string as a name, compared with A-Z equal to a-z and every
// other character exact, up to the first NUL as the C library compares; an empty or NULL name
// equals only an empty name. A VT_I4 is a position as it is; anything else is converted to a
// 32-bit integer, and a failed conversion is returned as its HRESULT. A by-reference VARIANT is
// followed first, so a string passed by reference is a name too. A position outside the stack is
// "not found" (-1); nothing is ever read or written outside it.
#pragma once

#include "common/gdi_guards.h"

#include <kelmira/kelmira.h>

#include <vector>

namespace kelmira::container {

struct LayerRecord {
  ComPtr<IGraphicsLayer> layer;             // may be empty: such a record is kept but never drawn
  common::UniqueGdiObject<HBITMAP> bitmap;  // the layer's own picture, when it uses a bitmap
  VARIANT_BOOL visible = VARIANT_TRUE;
  VARIANT_BOOL rightYAxis = VARIANT_FALSE;
  Bstr name;
};

// The IGraphicsLayer of any object, or empty.
ComPtr<IGraphicsLayer> AsLayer(IUnknown* object);

class LayerStack {
 public:
  static constexpr LONG kNotFound = -1;

  LONG Count() const { return static_cast<LONG>(records_.size()); }
  bool Contains(LONG position) const { return position >= 0 && position < Count(); }
  LayerRecord& At(LONG position) { return records_[static_cast<size_t>(position)]; }
  const LayerRecord& At(LONG position) const { return records_[static_cast<size_t>(position)]; }

  // The position vIndex selects, or kNotFound; fails only when the VARIANT does not convert.
  HRESULT FindLayer(const VARIANT& index, LONG* position) const;
  // The first record with this name, or kNotFound.
  LONG IndexOfName(const OLECHAR* name) const;
  bool HasRightYAxisLayers() const;

  // May throw std::bad_alloc; the stack is then unchanged.
  void Add(LayerRecord record) { records_.push_back(std::move(record)); }
  // Takes the record out (the caller lets it go once the stack is consistent again).
  LayerRecord Remove(LONG position);
  std::vector<LayerRecord> TakeAll() { return std::exchange(records_, {}); }

  void DeleteCachedBitmaps();

 private:
  std::vector<LayerRecord> records_;
};

}  // namespace kelmira::container
