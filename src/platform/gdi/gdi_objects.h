// Drawing objects: pens, brushes, fonts and bitmaps, kept in one handle table.
//
// An object stays in the table while a device context has it selected (in its current state or
// in a saved one); DeleteObject on such an object only marks it, and the last deselection frees
// it. Pointers returned by the lookups stay valid for as long as the object is selected into the
// device context being drawn, or until DeleteObject otherwise.
#pragma once

#include "gdi/surface.h"

#include <kelmira/platform/wingdi.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <variant>
#include <vector>

namespace kelmira::gdi {

struct PenObject {
  int style = PS_SOLID;  // PS_SOLID..PS_NULL; PS_INSIDEFRAME is stored as given, drawn as solid
  int width = 0;         // 0 and 1 are cosmetic one-pixel pens
  COLORREF color = 0;
};

struct BrushObject {
  UINT style = BS_SOLID;  // BS_SOLID, BS_NULL or BS_HATCHED
  COLORREF color = 0;
  int hatch = 0;  // HS_* for BS_HATCHED
};

// The realised face of a font; defined by the font code, opaque here.
struct FontFace;

struct FontObject {
  LOGFONTA logFont{};              // the description asked for (GetObject answers it)
  std::shared_ptr<FontFace> face;  // made by the font code on first use
};

struct Recording;

// Move-only: surface.pixels points into storage, which a copy would not share.
struct BitmapObject {
  BitmapObject() = default;
  BitmapObject(BitmapObject&&) = default;
  BitmapObject& operator=(BitmapObject&&) = default;
  BitmapObject(const BitmapObject&) = delete;
  BitmapObject& operator=(const BitmapObject&) = delete;

  Surface surface;                     // the pixels; bottom-up DIB sections have a negative stride
  std::vector<std::uint32_t> storage;  // owns the pixels
  bool dibSection = false;
  BITMAPINFOHEADER dibHeader{};          // as given to CreateDIBSection (normalised to 32 bpp, BI_RGB)
  HDC selectedInto = nullptr;            // the one device context that has it selected, if any
  std::shared_ptr<Recording> recording;  // set when what is drawn into it is recorded (recording.h)
  void* Bits() { return storage.empty() ? nullptr : storage.data(); }
};

struct GdiObject {
  UINT type = 0;  // OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP
  bool stock = false;
  bool deletePending = false;
  int selections = 0;  // references from device contexts and their saved states
  std::variant<PenObject, BrushObject, FontObject, BitmapObject> data;
};

// ---------------------------------------------------------------------------------------------
// The table

// Adds an object; null (and ERROR_NOT_ENOUGH_MEMORY) when the table is full.
HGDIOBJ AddObject(GdiObject object);
// Null and ERROR_INVALID_HANDLE unless h names a live object of the given type (0: any type).
// Objects waiting for deselection before they are freed still resolve.
GdiObject* LookupObject(HGDIOBJ h, UINT type = 0);
PenObject* LookupPen(HGDIOBJ h);
BrushObject* LookupBrush(HGDIOBJ h);
FontObject* LookupFont(HGDIOBJ h);
BitmapObject* LookupBitmap(HGDIOBJ h);

// Makes a font object; used by CreateFontIndirectA.
HFONT AddFontObject(const LOGFONTA& description);

// Selection bookkeeping for device contexts: a reference taken when an object enters a context
// state (or a saved copy of one) and released when it leaves. Releasing the last reference of
// an object whose deletion is pending frees it. Stock objects are not counted.
void RetainSelection(HGDIOBJ h);
void ReleaseSelection(HGDIOBJ h);
// RetainSelection for a bitmap entering `dc`; false (nothing retained) when the bitmap is
// invalid or selected into another device context.
bool ClaimBitmap(HBITMAP bitmap, HDC dc);

// ---------------------------------------------------------------------------------------------
// Stock objects

// The stock 1x1 bitmap every new memory device context starts with.
HBITMAP StockBitmap();

// The description of stock font `index` (SYSTEM_FONT, DEFAULT_GUI_FONT, ...); false for an index
// that names no font. The font code installs its provider (before the first stock font is made,
// e.g. from a static initialiser); until then a built-in description is used.
using StockFontProvider = bool (*)(int index, LOGFONTA* out);
void SetStockFontProvider(StockFontProvider provider);

}  // namespace kelmira::gdi
