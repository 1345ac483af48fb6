// Bitmaps: compatible bitmaps, bitmaps from bits and DIB sections. All are 32-bit xRGB.
#include "gdi/bitmap_factory.h"
#include "gdi/device_context.h"
#include "gdi/gdi_error.h"

#include <kelmira/platform/guarded.h>

#include <cstring>

namespace kelmira::gdi {
namespace {

// Large enough for any picture, small enough that sizes and offsets stay far inside 32 bits.
constexpr long long kMaxDimension = 1 << 20;
constexpr long long kMaxPixels = 1ll << 28;

bool ValidSize(long long width, long long height) {
  return width > 0 && height > 0 && width <= kMaxDimension && height <= kMaxDimension && width * height <= kMaxPixels;
}

}  // namespace

HBITMAP NewBitmap(int width, int height, bool bottomUp, BITMAPINFOHEADER* dibHeader) {
  if (!ValidSize(width, height)) return Fail(ERROR_INVALID_PARAMETER, HBITMAP{});
  return GuardedOr(HBITMAP{}, [&] {
    BitmapObject bitmap;
    bitmap.storage.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    std::uint32_t* first = bitmap.storage.data();
    if (bottomUp)
      bitmap.surface = Surface{first + static_cast<std::size_t>(height - 1) * static_cast<std::size_t>(width), width,
                               height, -width};
    else
      bitmap.surface = Surface{first, width, height, width};
    if (dibHeader) {
      bitmap.dibSection = true;
      bitmap.dibHeader = *dibHeader;
    }
    GdiObject object;
    object.type = OBJ_BITMAP;
    object.data = std::move(bitmap);
    return static_cast<HBITMAP>(AddObject(std::move(object)));
  });
}

}  // namespace kelmira::gdi

using namespace kelmira::gdi;

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  const DeviceContext* model = hdc ? LookupDC(hdc) : nullptr;
  if (hdc && !model) return HBITMAP{};
  if (cx < 0 || cy < 0) return Fail(ERROR_INVALID_PARAMETER, HBITMAP{});
  if (cx == 0 || cy == 0) return StockBitmap();
  HBITMAP result = NewBitmap(cx, cy, false, nullptr);
  if (result && model && model->recordsCompatibles && !StartRecording(result, RGB(0, 0, 0))) {
    DeleteObject(result);
    return Fail(ERROR_NOT_ENOUGH_MEMORY, HBITMAP{});
  }
  return result;
}

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
  if (nWidth < 0 || nHeight < 0 || nPlanes != 1 || nBitCount != 32) return Fail(ERROR_INVALID_PARAMETER, HBITMAP{});
  if (nWidth == 0 || nHeight == 0) return StockBitmap();
  HBITMAP result = NewBitmap(nWidth, nHeight, false, nullptr);
  if (!result || !lpBits) return result;
  BitmapObject* bitmap = LookupBitmap(result);
  std::memcpy(bitmap->storage.data(), lpBits, bitmap->storage.size() * sizeof(std::uint32_t));
  for (std::uint32_t& pixel : bitmap->storage) pixel &= kPixelMask;
  return result;
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection, DWORD offset) {
  if (ppvBits) *ppvBits = nullptr;
  if (hdc && !LookupDC(hdc)) return HBITMAP{};
  if (!pbmi || hSection || offset != 0 || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS))
    return Fail(ERROR_INVALID_PARAMETER, HBITMAP{});
  const BITMAPINFOHEADER& in = pbmi->bmiHeader;
  if (in.biSize < sizeof(BITMAPINFOHEADER) || in.biPlanes != 1 || in.biBitCount != 32 || in.biCompression != BI_RGB ||
      in.biWidth <= 0 || in.biHeight == 0 || in.biHeight == INT32_MIN)
    return Fail(ERROR_INVALID_PARAMETER, HBITMAP{});
  int width = in.biWidth;
  int height = in.biHeight < 0 ? -in.biHeight : in.biHeight;
  BITMAPINFOHEADER header = in;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biSizeImage = static_cast<DWORD>(static_cast<long long>(width) * height * 4);
  HBITMAP result = NewBitmap(width, height, in.biHeight > 0, &header);
  if (result && ppvBits) *ppvBits = LookupBitmap(result)->Bits();
  return result;
}
