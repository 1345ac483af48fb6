// What every fuzz target shares: the process set up once (a registry file of its own, the
// component runtime started), inputs taken apart field by field, memory streams, a drawing
// surface, and the check that stops a run when a property the library promises does not hold.
#pragma once

#include <kelmira/kelmira.h>

#include <sanitizer/lsan_interface.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kelmira::fuzz {

// Stops the run with a message, so libFuzzer records the input as a crash.
[[noreturn]] inline void FuzzFail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}
#define FUZZ_CHECK(cond) ((cond) ? (void)0 : ::kelmira::fuzz::FuzzFail(#cond))

// A scratch directory for the whole run, removed at exit; the registry lives in it.
inline const std::filesystem::path& FuzzScratch() {
  static const std::filesystem::path dir = [] {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kelmira-fuzz-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) FuzzFail("no scratch directory");
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(FuzzScratch(), ec);
    });
    return std::filesystem::path(tmpl);
  }();
  return dir;
}

inline void FuzzWarmUpText();

// Call first in LLVMFuzzerInitialize: nothing a run does touches the user's registry.
inline void FuzzSetup() {
  setenv("KELMIRA_REGISTRY", (FuzzScratch() / "registry").c_str(), 1);
  if (FAILED(CoInitialize(nullptr))) FuzzFail("CoInitialize");
  FuzzWarmUpText();
}

// Typed values from the front of the input; past its end they are zero.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  template <class T>
  T Take() {
    T value{};
    const std::size_t n = sizeof(T) < size_ - pos_ ? sizeof(T) : size_ - pos_;
    if (n) std::memcpy(&value, data_ + pos_, n);
    pos_ += n;
    return value;
  }
  // A value in [0, count), count > 0.
  unsigned Pick(unsigned count) { return Take<std::uint8_t>() % count; }
  std::string_view Rest() {
    std::string_view rest(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
    pos_ = size_;
    return rest;
  }
  bool Empty() const { return pos_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

inline ComPtr<IStream> FuzzStream(std::string_view bytes) {
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) FuzzFail("CreateStreamOnHGlobal");
  stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr);
  return stream;
}

// What an object saves, as bytes; empty when it cannot save.
inline std::string FuzzSaved(IUnknown* object) {
  ComPtr<IPersistStreamInit> persist;
  if (FAILED(object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) return {};
  ComPtr<IStream> stream = FuzzStream({});
  if (FAILED(persist->Save(stream.get(), TRUE))) return {};
  HGLOBAL block = nullptr;
  GetHGlobalFromStream(stream.get(), &block);
  ULARGE_INTEGER end{};
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_CUR, &end);
  std::string bytes(static_cast<const char*>(GlobalLock(block)), end.QuadPart);
  GlobalUnlock(block);
  return bytes;
}

template <class I>
ComPtr<I> FuzzCreate(REFCLSID clsid) {
  ComPtr<I> object;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), reinterpret_cast<void**>(&object))))
    FuzzFail("CoCreateInstance");
  return object;
}

// A 32-bit memory surface to draw on.
class FuzzSurface {
 public:
  FuzzSurface(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc_ || !bitmap_) FuzzFail("surface");
    old_ = SelectObject(dc_, bitmap_);
  }
  ~FuzzSurface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  FuzzSurface(const FuzzSurface&) = delete;
  FuzzSurface& operator=(const FuzzSurface&) = delete;
  HDC dc() const { return dc_; }
  // Draws an object's view over the whole surface.
  HRESULT Draw(IUnknown* object) const {
    ComPtr<IViewObject> view;
    if (FAILED(object->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)))) return E_NOINTERFACE;
    RECTL bounds{0, 0, width_, height_};
    return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc_, &bounds, nullptr, nullptr, 0);
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// fontconfig leaks a little of the configuration it parses on first use, inside its own loader;
// the leak check between inputs would blame whichever input came first. Load it here, with the
// leak checker looking away.
inline void FuzzWarmUpText() {
  __lsan::ScopedDisabler notOurs;
  FuzzSurface surface(16, 16);
  HFONT font = CreateFontA(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ old = SelectObject(surface.dc(), font);
  TextOutA(surface.dc(), 0, 0, "A", 1);
  SelectObject(surface.dc(), old);
  DeleteObject(font);
}

}  // namespace kelmira::fuzz

// Every target is one translation unit including this header: libFuzzer calls this once first.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kelmira::fuzz::FuzzSetup();
  return 0;
}
