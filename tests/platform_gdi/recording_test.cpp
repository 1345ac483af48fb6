// Recording device contexts: their own pixels and a replay of their records equal what a plain
// memory context gets from the same calls; compatible bitmaps blitted in bring their records, and
// a full repaint replaces the records it covers.
#include "support/canvas.h"
#include "support/layer_stack.h"
#include "support/line_data.h"

#include <cmath>
#include <functional>
#include <tuple>

namespace kelmira::test {
namespace {

using Draw = std::function<void(HDC)>;

std::vector<COLORREF> PixelsOf(HDC dc, int width, int height) {
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
  return pixels;
}

struct RecordingDc {
  RecordingDc(int width, int height) : dc(KelmiraCreateRecordingDC(width, height)) {}
  ~RecordingDc() { DeleteDC(dc); }
  HDC dc;
};

// Draws into a recording context and a plain canvas: the recording's pixels, and its replay onto
// a black canvas, are the canvas's pixels. Returns the record count.
int ExpectReplayEqual(const Draw& draw, int width = 120, int height = 80) {
  RecordingDc recording(width, height);
  Canvas plain(width, height), replayed(width, height, kBlack);
  for (HDC dc : {recording.dc, plain.dc()}) {
    const int saved = SaveDC(dc);  // the pixels are read without the clip and mapping drawn with
    draw(dc);
    RestoreDC(dc, saved);
  }
  EXPECT_EQ(KelmiraPlayRecording(recording.dc, replayed.dc(), 0, 0), TRUE);
  const std::vector<COLORREF> expected = plain.Picture();
  EXPECT_TRUE(PixelsOf(recording.dc, width, height) == expected) << plain.Dump("plain");
  EXPECT_TRUE(replayed.Picture() == expected) << plain.Dump("plain") << " " << replayed.Dump("replayed");
  return KelmiraGetRecordCount(recording.dc);
}

// Lines, a hatched ellipse and text into a bitmap compatible with `target`, copied to it at (20, 10).
void Composite(HDC target, bool compatible, DWORD rop = SRCCOPY) {
  const HDC memory = CreateCompatibleDC(compatible ? target : nullptr);
  const HBITMAP bitmap = CreateCompatibleBitmap(compatible ? target : memory, 70, 50);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  const RECT all{0, 0, 70, 50};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  for (int i = 0; i < 3; ++i) {
    Selected pen(memory, CreatePen(PS_SOLID, i + 1, RGB(60 * i, 0, 200)));
    Line(memory, 2, 5 + 10 * i, 68, 45 - 10 * i);
  }
  Selected hatch(memory, CreateHatchBrush(HS_DIAGCROSS, kRed));
  Ellipse(memory, 30, 2, 66, 30), TextOutA(memory, 4, 30, "Spliced", 7);
  BitBlt(target, 20, 10, 90, 60, memory, 0, 0, rop);
  SelectObject(memory, old), DeleteObject(bitmap), DeleteDC(memory);
}

TEST(Recording, ReplayPaintsTheSamePixelsAsPlainDrawing) {
  const XFORM turn{0, -1, 1, 0, 0, 0};  // a Y title, turned a quarter left
  const std::vector<std::pair<const char*, Draw>> cases = {
      {"styled and wide lines",
       [](HDC dc) {
         Selected dash(dc, CreatePen(PS_DASH, 0, kBlue));
         SetBkColor(dc, kGreen), Line(dc, 3, 70, 110, 4);
         LineTo(dc, 60, 75), LineTo(dc, 2, 2);
         Selected wide(dc, CreatePen(PS_SOLID, 6, kRed));
         const POINT path[] = {{10, 10}, {50, 60}, {90, 20}, {115, 70}};
         Polyline(dc, path, 4);
       }},
      {"filled and hatched shapes",
       [](HDC dc) {
         Selected hatch(dc, CreateHatchBrush(HS_DIAGCROSS, kRed));
         Selected dot(dc, CreatePen(PS_DOT, 1, kBlue));
         SetBkMode(dc, TRANSPARENT), SetBrushOrgEx(dc, 3, 1, nullptr);
         Rectangle(dc, 5, 5, 60, 40), Ellipse(dc, 40, 20, 115, 78);
         const RECT r{70, 2, 118, 30};
         FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
         PatBlt(dc, 0, 50, 40, 30, PATCOPY), PatBlt(dc, 20, 0, 30, 80, DSTINVERT);
         SetPixel(dc, 1, 1, kGreen), IntersectClipRect(dc, 10, 10, 100, 60), Ellipse(dc, 0, 0, 120, 80);
       }},
      {"opaque and turned text",
       [&turn](HDC dc) {
         Selected font(dc, CreateFontA(-15, 0, 0, 0, FW_BOLD, 0, 1, 0, 0, 0, 0, 0, 0, "Arial"));
         SetBkColor(dc, RGB(255, 255, 0)), SetTextColor(dc, kBlue);
         const RECT band{0, 0, 120, 20};
         ExtTextOutA(dc, 4, 2, ETO_OPAQUE | ETO_CLIPPED, &band, "Opaque 1.5", 10, nullptr);
         RECT box{30, 22, 118, 78};
         DrawTextA(dc, "Drawn &text\twrapped", -1, &box, DT_WORDBREAK | DT_EXPANDTABS);
         SetBkMode(dc, TRANSPARENT), SetGraphicsMode(dc, GM_ADVANCED), SetWorldTransform(dc, &turn);
         TextOutA(dc, -75, 5, "Y title", 7);
       }},
      {"blits of a memory bitmap and an exclusive-or band",
       [](HDC dc) {
         Composite(dc, false), Composite(dc, false, SRCPAINT);
         SetROP2(dc, R2_NOTXORPEN), SetBkMode(dc, TRANSPARENT);
         Selected dot(dc, CreatePen(PS_DOT, 0, kBlack)), hollow(dc, GetStockObject(NULL_BRUSH));
         Rectangle(dc, 10, 10, 100, 70), Line(dc, 0, 40, 120, 41);
       }},
      {"a composite through a compatible bitmap",
       [](HDC dc) {
         IntersectClipRect(dc, 0, 15, 100, 80);
         Composite(dc, true);
       }},
  };
  for (const auto& [name, draw] : cases) {
    SCOPED_TRACE(name);
    EXPECT_GT(ExpectReplayEqual(draw), 0);
  }
}

TEST(Recording, CompatibleBitmapsSpliceTheirRecordsAndFullRepaintsReplaceThem) {
  RecordingDc recording(120, 80), other(120, 80);
  const HDC dc = recording.dc;
  Composite(dc, true);
  EXPECT_EQ(KelmiraGetRecordCount(dc), 6);  // what the bitmap got, not one image
  const RECT all{0, 0, 120, 80};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  Composite(dc, true), Composite(dc, true);
  EXPECT_EQ(KelmiraGetRecordCount(dc), 7);  // each fill dropped what it covers
  Composite(dc, false, SRCPAINT);
  EXPECT_EQ(KelmiraGetRecordCount(dc), 8);  // a plain bitmap comes as one image
  // Replayed into another recording context, the records are kept there as they are.
  EXPECT_EQ(KelmiraPlayRecording(dc, other.dc, 0, 0), TRUE);
  EXPECT_EQ(KelmiraGetRecordCount(other.dc), 8);
  EXPECT_TRUE(PixelsOf(other.dc, 120, 80) == PixelsOf(dc, 120, 80));

  Canvas plain(10, 10);
  EXPECT_EQ(std::tuple(KelmiraGetRecordCount(plain.dc()), KelmiraPlayRecording(plain.dc(), dc, 0, 0),
                       KelmiraPlayRecording(dc, dc, 0, 0), KelmiraCreateRecordingDC(0, 5),
                       KelmiraCreateRecordingDC(16385, 5)),
            std::tuple(-1, FALSE, FALSE, HDC{}, HDC{}));
}

// A whole graph: background, dotted grid, a line and both axes drawn through IViewObject::Draw.
TEST(Recording, AGraphReplaysToTheSamePixelsAndARepaintDoesNotGrowIt) {
  auto container = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto grid = Create<IGridLayer>(CLSID_GridLayer);
  grid->put_LineColor(0x808080), grid->put_LineStyle(PS_DOT), grid->put_Border(VARIANT_TRUE);
  auto layer = Create<ILineLayer>(CLSID_LineLayer);
  ComPtr<ILine> line;
  ASSERT_EQ(layer->AddLine(Bstr(u"sine").get(), kRed, 0, &line), S_OK);
  std::vector<double> ys;
  for (int i = 0; i < 200; ++i) ys.push_back(50 + 40 * std::sin(i / 15.0));
  line->put_Data(NewLineData(ys).get());
  AddLayer(container.get(), u"Background", Create<IBackgroundLayer>(CLSID_BackgroundLayer).get());
  AddLayer(container.get(), u"Grid", grid.get());
  AddLayer(container.get(), u"Line", layer.get());
  container->SetExtents(0, 200, 0, 100);
  auto x = Create<IXAxis>(CLSID_XAxis);
  auto y = Create<IYAxis>(CLSID_YAxis);  // its title turned
  x->put_GraphicContainer(container.get()), x->put_Grid(grid.get());
  y->put_GraphicContainer(container.get()), y->put_Grid(grid.get());
  auto draw = [&](HDC dc) {
    RECTL plot{60, 0, 260, 140}, left{0, 0, 60, 140}, below{60, 140, 260, 190};
    const auto view = [&](IUnknown* o, RECTL r) {
      ComPtr<IViewObject> v;
      o->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&v));
      EXPECT_EQ(v->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &r, nullptr, nullptr, 0), S_OK);
    };
    view(container.get(), plot), view(y.get(), left), view(x.get(), below);
  };
  const int records = ExpectReplayEqual(draw, 260, 190);
  EXPECT_GT(records, 20);  // lines and labels, not pictures
  RecordingDc twice(260, 190);
  draw(twice.dc), draw(twice.dc);
  EXPECT_EQ(KelmiraGetRecordCount(twice.dc), records);
}

}  // namespace
}  // namespace kelmira::test
