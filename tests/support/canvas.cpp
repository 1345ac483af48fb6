#include "support/canvas.h"

#include <algorithm>
#include <random>
#include <sstream>

namespace kelmira::test {

Canvas::Canvas(int width, int height, COLORREF background, bool bottomUp)
    : width_(width), height_(height), background_(background), dc_(CreateCompatibleDC(nullptr)) {
  BITMAPINFO info{};
  info.bmiHeader =
      BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, bottomUp ? height : -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
  previous_ = SelectObject(dc_, bitmap_);
  Clear();
}

Canvas::~Canvas() {
  if (oldFont_) SelectObject(dc_, oldFont_);
  if (font_) DeleteObject(font_);
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void Canvas::Clear(COLORREF colour) {
  if (colour == CLR_INVALID) colour = background_;
  std::fill(bits_, bits_ + width_ * height_, (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF));
}

void Canvas::Noise(unsigned seed) {
  std::mt19937 random(seed);
  std::generate(bits_, bits_ + width_ * height_, [&] { return random() & 0x00FFFFFF; });
}

std::vector<COLORREF> Canvas::Picture() const {
  std::vector<COLORREF> out;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) out.push_back(At(x, y));
  return out;
}

PixelSet Canvas::Painted(COLORREF background) const {
  if (background == CLR_INVALID) background = background_;
  PixelSet out;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (At(x, y) != background) out.insert({x, y});
  return out;
}

Box Canvas::Bounds(COLORREF background) const {
  Box box;
  for (const auto& [x, y] : Painted(background))
    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
  return box;
}

int Canvas::Count(COLORREF colour, int left, int top, int right, int bottom) const {
  int n = 0;
  for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
    for (int x = std::max(left, 0); x < std::min(right, width_); ++x) n += At(x, y) == colour;
  return n;
}

Box Canvas::Find(COLORREF colour, const Box& within) const {
  Box box;
  for (int y = std::max(within.top, 0); y < std::min(within.bottom, height_); ++y)
    for (int x = std::max(within.left, 0); x < std::min(within.right, width_); ++x)
      if (At(x, y) == colour)
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
  return box;
}

bool Canvas::Load(const std::string& png) {
  HBITMAP bitmap = nullptr;
  if (FAILED(KelmiraLoadPng(png.c_str(), &bitmap))) return false;
  const HDC dc = CreateCompatibleDC(nullptr);
  {
    Selected selected(dc, bitmap);
    BitBlt(dc_, 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
  }
  DeleteDC(dc);
  return true;
}

void Canvas::UseFont(const char* face, int height, int weight, bool italic, bool underline) {
  HFONT font = CreateFontA(height, 0, 0, 0, weight, italic, underline, 0, ANSI_CHARSET, 0, 0, 0, 0, face);
  HGDIOBJ previous = SelectObject(dc_, font);
  if (!oldFont_) oldFont_ = previous;
  if (font_) DeleteObject(font_);
  font_ = font;
}

TEXTMETRICA Canvas::Metrics() const {
  TEXTMETRICA tm{};
  EXPECT_TRUE(GetTextMetricsA(dc_, &tm));
  return tm;
}

SIZE Canvas::Extent(const std::string& s) const {
  SIZE size{};
  EXPECT_TRUE(GetTextExtentPoint32A(dc_, s.c_str(), static_cast<int>(s.size()), &size));
  return size;
}

void Canvas::ResetMapping() {
  XFORM identity{1, 0, 0, 1, 0, 0};
  SetWorldTransform(dc_, &identity);
  SetGraphicsMode(dc_, GM_COMPATIBLE);
  SetViewportOrgEx(dc_, 0, 0, nullptr);
}

namespace {

std::string DumpPath(const char* label) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "picture";
  std::replace(name.begin(), name.end(), '/', '_');
  return name + "." + label + ".png";
}

// The first few pixels of a set.
std::string Listed(const PixelSet& pixels) {
  std::ostringstream text;
  int shown = 0;
  for (auto it = pixels.begin(); it != pixels.end() && shown++ < 12; ++it)
    text << " (" << it->first << "," << it->second << ")";
  if (pixels.size() > 12) text << " ... (" << pixels.size() << " in all)";
  return text.str();
}

}  // namespace

std::string Canvas::Dump(const char* label) const {
  const std::string path = DumpPath(label);
  return SUCCEEDED(KelmiraSaveDCPng(dc_, path.c_str())) ? path : "(not written)";
}

::testing::AssertionResult SamePixels(const Canvas& canvas, const PixelSet& actual, const PixelSet& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  PixelSet missing, extra;
  for (const Pixel& p : expected)
    if (!actual.count(p)) missing.insert(p);
  for (const Pixel& p : actual)
    if (!expected.count(p)) extra.insert(p);
  return ::testing::AssertionFailure() << "missing:" << Listed(missing) << "\n  extra:" << Listed(extra)
                                       << "\n  picture in " << canvas.Dump();
}

COLORREF WindowPixel(HWND hwnd, int x, int y) {
  COLORREF colour = CLR_INVALID;
  KelmiraGetWindowPixel(hwnd, x, y, &colour);
  return colour;
}

PixelSet WindowPainted(HWND hwnd, COLORREF background) {
  RECT client{};
  GetClientRect(hwnd, &client);
  PixelSet out;
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x)
      if (WindowPixel(hwnd, x, y) != background) out.insert({x, y});
  return out;
}

Box WindowFind(HWND hwnd, COLORREF colour) {
  Box box;
  for (const auto& [x, y] : WindowPainted(hwnd, CLR_INVALID))  // every pixel
    if (WindowPixel(hwnd, x, y) == colour)
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
  return box;
}

std::string DumpWindow(HWND hwnd, const char* label) {
  const std::string path = DumpPath(label);
  return SUCCEEDED(KelmiraSaveWindowPng(hwnd, path.c_str())) ? path : "(not written)";
}

}  // namespace kelmira::test
