// Stock objects: made on first use, never deleted.
#include "gdi/gdi_error.h"
#include "gdi/gdi_objects.h"

#include <array>
#include <atomic>
#include <cstring>
#include <mutex>

namespace kelmira::gdi {
namespace {

constexpr int kStockCount = DC_PEN + 1;

std::atomic<StockFontProvider> g_fontProvider{nullptr};

LOGFONTA FontDescription(LONG height, LONG weight, BYTE pitchAndFamily, const char* face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfPitchAndFamily = pitchAndFamily;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

// Used until the font code installs its provider.
bool BuiltInStockFont(int index, LOGFONTA* out) {
  switch (index) {
    case SYSTEM_FONT: *out = FontDescription(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System"); return true;
    case DEFAULT_GUI_FONT:
      *out = FontDescription(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg");
      return true;
    default: return false;
  }
}

GdiObject Pen(int style, COLORREF color) { return GdiObject{OBJ_PEN, true, false, 0, PenObject{style, 0, color}}; }
GdiObject Brush(UINT style, COLORREF color) {
  return GdiObject{OBJ_BRUSH, true, false, 0, BrushObject{style, color, 0}};
}

bool MakeStockObject(int index, GdiObject* out) {
  switch (index) {
    case WHITE_BRUSH: *out = Brush(BS_SOLID, 0xFFFFFF); return true;
    case LTGRAY_BRUSH: *out = Brush(BS_SOLID, 0xC0C0C0); return true;
    case GRAY_BRUSH: *out = Brush(BS_SOLID, 0x808080); return true;
    case DKGRAY_BRUSH: *out = Brush(BS_SOLID, 0x404040); return true;
    case BLACK_BRUSH: *out = Brush(BS_SOLID, 0x000000); return true;
    case NULL_BRUSH: *out = Brush(BS_NULL, 0); return true;
    case WHITE_PEN: *out = Pen(PS_SOLID, 0xFFFFFF); return true;
    case BLACK_PEN: *out = Pen(PS_SOLID, 0x000000); return true;
    case NULL_PEN: *out = Pen(PS_NULL, 0); return true;
    default: break;
  }
  LOGFONTA lf{};
  StockFontProvider provider = g_fontProvider.load();
  bool known = provider ? provider(index, &lf) : BuiltInStockFont(index, &lf);
  if (!known) return false;
  *out = GdiObject{OBJ_FONT, true, false, 0, FontObject{lf, nullptr}};
  return true;
}

struct StockTable {
  std::mutex mutex;
  std::array<HGDIOBJ, kStockCount> objects{};
  HGDIOBJ bitmap = nullptr;
};

StockTable& Stock() {
  static StockTable table;
  return table;
}

}  // namespace

void SetStockFontProvider(StockFontProvider provider) { g_fontProvider.store(provider); }

HBITMAP StockBitmap() {
  StockTable& stock = Stock();
  std::lock_guard lock(stock.mutex);
  if (stock.bitmap) return static_cast<HBITMAP>(stock.bitmap);
  BitmapObject bitmap;
  bitmap.storage.assign(1, 0);
  bitmap.surface = Surface{bitmap.storage.data(), 1, 1, 1};
  GdiObject object{OBJ_BITMAP, true, false, 0, std::move(bitmap)};
  stock.bitmap = AddObject(std::move(object));
  return static_cast<HBITMAP>(stock.bitmap);
}

}  // namespace kelmira::gdi

using namespace kelmira::gdi;

HGDIOBJ GetStockObject(int i) {
  if (i < 0 || i >= kStockCount) return Fail(ERROR_INVALID_PARAMETER, HGDIOBJ{});
  StockTable& stock = Stock();
  std::lock_guard lock(stock.mutex);
  HGDIOBJ& slot = stock.objects[static_cast<std::size_t>(i)];
  if (slot) return slot;
  GdiObject object;
  if (!MakeStockObject(i, &object)) return Fail(ERROR_INVALID_PARAMETER, HGDIOBJ{});
  slot = AddObject(std::move(object));
  return slot;
}
