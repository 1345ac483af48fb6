// Recordings written as PDF and SVG: the PDF rasterised by poppler shows the recording's own
// picture, its text can be extracted, the SVG's text is text, and bad calls write nothing.
#include "support/canvas.h"
#include "support/child_process.h"
#include "support/scratch_dir.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace kelmira::test;

bool HavePoppler() { return std::system("pdftoppm -v >/dev/null 2>&1 && pdftotext -v >/dev/null 2>&1") == 0; }

HFONT Font(int height, int escapement) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfEscapement = lf.lfOrientation = escapement;
  std::strcpy(lf.lfFaceName, "Arial");
  return CreateFontIndirectA(&lf);
}

// Lines (wide, dashed, far-reaching), framed rectangles, a hatched ellipse, a text and a turned one, an image.
void DrawScene(HDC dc) {
  HGDIOBJ pens[] = {CreatePen(PS_SOLID, 5, RGB(200, 0, 0)), CreatePen(PS_DASH, 1, RGB(0, 0, 160))};
  HGDIOBJ brushes[] = {CreateSolidBrush(RGB(0, 160, 0)), CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 255))};
  HGDIOBJ fonts[] = {Font(-20, 0), Font(-14, 900)};
  SelectObject(dc, pens[0]);
  POINT wide[] = {{10, 10}, {120, 60}, {230, 12}};
  Polyline(dc, wide, 3);
  SelectObject(dc, pens[1]);
  MoveToEx(dc, 10, 80, nullptr);
  LineTo(dc, 230, 80);
  MoveToEx(dc, -2000000000, 86, nullptr);  // far beyond what cairo's coordinates hold
  LineTo(dc, 2000000000, 88);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, brushes[0]);
  Rectangle(dc, 20, 95, 80, 150);
  Rectangle(dc, -2000000000, 154, 2000000000, 2000000000);
  SelectObject(dc, brushes[1]);
  Ellipse(dc, 95, 92, 160, 152);
  SelectObject(dc, fonts[0]);
  TextOutA(dc, 60, 30, "Searchable", 10);
  SelectObject(dc, fonts[1]);
  TextOutA(dc, 220, 150, "Turned", 6);
  Canvas image(20, 20, RGB(255, 0, 255));
  RECT square{5, 5, 15, 15};
  FillRect(image.dc(), &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  BitBlt(dc, 170, 100, 20, 20, image.dc(), 0, 0, SRCCOPY);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  for (HGDIOBJ object : {pens[0], pens[1], brushes[0], brushes[1], fonts[0], fonts[1]}) DeleteObject(object);
}

// Pixels of `a` with no pixel of like colour within one pixel in `b`. Greys are left out: the
// two rasterisers smooth glyph edges differently.
int Unmatched(HDC a, HDC b, int width, int height) {
  auto near = [](COLORREF p, COLORREF q) {
    for (int shift : {0, 8, 16})
      if (std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)) > 100) return false;
    return true;
  };
  int unmatched = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF p = GetPixel(a, x, y);
      bool found = p != kBlack && p != kWhite && p % 0x10101 == 0;
      for (int dy = -1; dy <= 1 && !found; ++dy)
        for (int dx = -1; dx <= 1 && !found; ++dx) found = near(p, GetPixel(b, x + dx, y + dy));
      unmatched += !found;
    }
  return unmatched;
}

TEST(VectorFile, PdfShowsThePictureAndItsText) {
  if (!HavePoppler()) GTEST_SKIP() << "pdftoppm/pdftotext missing (scripts/install-deps.sh installs poppler-utils)";
  ScratchDir dir;
  HDC dc = KelmiraCreateRecordingDC(240, 160);
  DrawScene(dc);
  ASSERT_EQ(KelmiraSaveRecording(dc, (dir / "f.pdf").c_str(), "pdf", 0, 0), S_OK);
  ASSERT_EQ(RunProcess({"pdftoppm", "-r", "96", "-aa", "no", "-aaVector", "no", "-png", "-singlefile", dir / "f.pdf",
                        dir / "f"})
                .exitCode,
            0);
  ASSERT_EQ(RunProcess({"pdftotext", dir / "f.pdf", dir / "f.txt"}).exitCode, 0);
  const std::string text = ReadFile(dir / "f.txt");
  EXPECT_NE(text.find("Searchable"), std::string::npos) << text;
  EXPECT_NE(text.find("Turned"), std::string::npos) << text;
  HBITMAP page = nullptr;
  ASSERT_EQ(KelmiraLoadPng((dir / "f.png").c_str(), &page), S_OK);
  HDC pageDc = CreateCompatibleDC(nullptr);
  SelectObject(pageDc, page);
  // A few pixels where the outlines meet the hatch, and the smoothing poppler gives every image.
  EXPECT_LE(Unmatched(dc, pageDc, 240, 160), 20);
  EXPECT_LE(Unmatched(pageDc, dc, 240, 160), 20);
  DeleteDC(pageDc);
  DeleteObject(page);
  DeleteDC(dc);
}

TEST(VectorFile, SvgTextIsTextAndBadCallsWriteNothing) {
  ScratchDir dir;
  HDC dc = KelmiraCreateRecordingDC(240, 160);
  DrawScene(dc);
  ASSERT_EQ(KelmiraSaveRecording(dc, (dir / "f.svg").c_str(), "SVG", 320, 200), S_OK);
  const std::string svg = ReadFile(dir / "f.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  for (const char* text : {">Searchable</text>", ">Turned</text>", "width=\"320pt\""})
    EXPECT_NE(svg.find(text), std::string::npos) << text;
  HDC plain = CreateCompatibleDC(nullptr);
  const std::string file = dir / "bad";
  const struct {
    HDC dc;
    std::string path;
    const char* format;
    double width, height;
    HRESULT hr;
  } bad[] = {{plain, file, "pdf", 0, 0, E_INVALIDARG},
             {nullptr, file, "pdf", 0, 0, E_INVALIDARG},
             {dc, file, "png", 0, 0, E_INVALIDARG},
             {dc, file, nullptr, 0, 0, E_INVALIDARG},
             {dc, file, "pdf", -1, 100, E_INVALIDARG},
             {dc, file, "svg", 100, 0, E_INVALIDARG},
             {dc, file, "pdf", NAN, 100, E_INVALIDARG},
             {dc, file, "pdf", 1e9, 1e9, E_INVALIDARG},
             {dc, dir.path(), "pdf", 0, 0, STG_E_ACCESSDENIED},
             {dc, dir / "no/f.pdf", "pdf", 0, 0, STG_E_PATHNOTFOUND}};
  for (const auto& row : bad)
    EXPECT_EQ(KelmiraSaveRecording(row.dc, row.path.c_str(), row.format, row.width, row.height), row.hr) << row.path;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // f.svg only
  DeleteDC(plain);
  DeleteDC(dc);
}

}  // namespace
