// Loads a standard font object from arbitrary bytes, then makes its GDI font and draws with it.
#include "fuzz_host.h"

namespace kelmira::fuzz {
namespace {

ComPtr<IFont> NewFont() {
  OLECHAR face[] = u"DejaVu Sans";
  FONTDESC desc{sizeof(FONTDESC), face, CY{.int64 = 120000}, FW_NORMAL, DEFAULT_CHARSET, FALSE, FALSE, FALSE};
  ComPtr<IFont> font;
  FUZZ_CHECK(SUCCEEDED(OleCreateFontIndirect(&desc, IID_IFont, reinterpret_cast<void**>(&font))));
  return font;
}

std::string Saved(IFont* font) {
  ComPtr<IPersistStream> persist;
  FUZZ_CHECK(SUCCEEDED(font->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist))));
  ComPtr<IStream> stream = FuzzStream({});
  FUZZ_CHECK(SUCCEEDED(persist->Save(stream.get(), TRUE)));
  ULARGE_INTEGER end{};
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_CUR, &end);
  std::string bytes(end.QuadPart, '\0');
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr);
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  return bytes;
}

HRESULT Load(IFont* font, std::string_view bytes) {
  ComPtr<IPersistStream> persist;
  FUZZ_CHECK(SUCCEEDED(font->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist))));
  return persist->Load(FuzzStream(bytes).get());
}

}  // namespace
}  // namespace kelmira::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelmira;
  using namespace kelmira::fuzz;
  auto font = NewFont();
  const std::string fresh = Saved(font.get());
  if (FAILED(Load(font.get(), {reinterpret_cast<const char*>(data), size}))) {
    FUZZ_CHECK(Saved(font.get()) == fresh);
    return 0;
  }
  HFONT hfont = nullptr;
  if (SUCCEEDED(font->get_hFont(&hfont))) {
    FuzzSurface surface(64, 32);
    HGDIOBJ old = SelectObject(surface.dc(), hfont);
    TextOutA(surface.dc(), 2, 2, "Ag 1.5", 6);
    SelectObject(surface.dc(), old);
  }
  const std::string saved = Saved(font.get());
  auto again = NewFont();
  FUZZ_CHECK(SUCCEEDED(Load(again.get(), saved)));
  FUZZ_CHECK(Saved(again.get()) == saved);
  return 0;
}
