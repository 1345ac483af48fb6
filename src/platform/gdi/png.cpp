// Pictures as PNG files: 8-bit RGB out, anything libpng reads in.
//
// Encoding happens in memory; the file is then written beside its final name and renamed over
// it, so a failure at any step leaves no partial file.
#include "gdi/bitmap_factory.h"
#include "gdi/device_context.h"

#include "com/atomic_file.h"
#include "com/file_errors.h"

#include <kelmira/platform/guarded.h>

#include <png.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace kelmira::gdi {
namespace {

constexpr std::size_t kMaxPngFileSize = 512u << 20;

// 0x00RRGGBB pixels to packed R, G, B bytes, top row first.
std::vector<png_byte> RgbRows(const Surface& surface) {
  std::vector<png_byte> rgb(static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height) * 3);
  png_byte* out = rgb.data();
  for (int y = 0; y < surface.height; ++y) {
    const std::uint32_t* row = surface.Row(y);
    for (int x = 0; x < surface.width; ++x) {
      *out++ = static_cast<png_byte>(row[x] >> 16);
      *out++ = static_cast<png_byte>(row[x] >> 8);
      *out++ = static_cast<png_byte>(row[x]);
    }
  }
  return rgb;
}

HRESULT Encode(const Surface& surface, std::string* png) {
  std::vector<png_byte> rgb = RgbRows(surface);
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(surface.width);
  image.height = static_cast<png_uint_32>(surface.height);
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) return E_FAIL;
  png->resize(size);
  if (!png_image_write_to_memory(&image, png->data(), &size, 0, rgb.data(), 0, nullptr)) return E_FAIL;
  png->resize(size);
  return S_OK;
}

HRESULT SaveSurface(const Surface& surface, const char* path) {
  if (!path || !*path || surface.Empty()) return E_INVALIDARG;
  return Guarded([&] {
    std::string png;
    HRESULT hr = Encode(surface, &png);
    if (FAILED(hr)) return hr;
    int err = files::WriteFileAtomically(path, png);
    return err ? files::ReplaceErrorToHResult(err) : S_OK;
  });
}

HRESULT Decode(const std::string& data, HBITMAP* phbm) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return E_FAIL;
  image.format = PNG_FORMAT_BGRA;  // the byte order of a 32-bit pixel; alpha is dropped below
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = static_cast<LONG>(image.width);
  header.biHeight = -static_cast<LONG>(image.height);
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  HBITMAP bitmap = NewBitmap(static_cast<int>(image.width), static_cast<int>(image.height), false, &header);
  if (!bitmap) {
    png_image_free(&image);
    return E_OUTOFMEMORY;
  }
  BitmapObject* object = LookupBitmap(bitmap);
  if (!png_image_finish_read(&image, nullptr, object->Bits(), 0, nullptr)) {
    DeleteObject(bitmap);
    return E_FAIL;
  }
  for (std::uint32_t& pixel : object->storage) pixel &= kPixelMask;
  *phbm = bitmap;
  return S_OK;
}

}  // namespace
}  // namespace kelmira::gdi

using namespace kelmira::gdi;

HRESULT KelmiraSaveBitmapPng(HBITMAP hbm, const char* path) {
  BitmapObject* bitmap = LookupBitmap(hbm);
  if (!bitmap) return E_INVALIDARG;
  return SaveSurface(bitmap->surface, path);
}

HRESULT KelmiraSaveDCPng(HDC hdc, const char* path) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return E_INVALIDARG;
  return SaveSurface(dc->surface, path);
}

HRESULT KelmiraLoadPng(const char* path, HBITMAP* phbm) {
  if (!phbm) return E_POINTER;
  *phbm = nullptr;
  if (!path || !*path) return E_INVALIDARG;
  return kelmira::Guarded([&] {
    std::string data;
    int err = kelmira::files::ReadWholeFile(path, kMaxPngFileSize, &data);
    if (err == EFBIG) return E_FAIL;
    if (err == EIO) return STG_E_READFAULT;
    if (err) return kelmira::files::OpenErrorToHResult(err, path);
    return Decode(data, phbm);
  });
}
