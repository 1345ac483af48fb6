// kelmira-plot's SVG and PDF against its PNG of the same command, read back with poppler.
#include "support/plot_run.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kelmira::test {
namespace {

// Width and height from the PNG's header (big-endian at bytes 16 and 20; sizes fit 16 bits).
std::pair<int, int> PngSize(const std::string& b) {
  auto at = [&](std::size_t i) {
    return b.size() < 24 ? -1 : static_cast<std::uint8_t>(b[i + 2]) << 8 | static_cast<std::uint8_t>(b[i + 3]);
  };
  return {at(16), at(20)};
}

// A tide table drawn into `output`, 400x300 pixels unless another size is given.
ProcessResult PlotTide(const ScratchDir& dir, const std::string& output, const char* size = "400x300") {
  std::ofstream csv(dir / "tide.csv");
  csv << "hours,level,wind\n";
  for (int i = 0; i <= 48; ++i) csv << i << ',' << 2 * std::sin(i / 4.0) << ',' << (i % 12 < 6 ? 1 : -1) << '\n';
  csv.close();
  return RunPlotTool({"--size", size, "--colors", "red,blue", "--title", "Tide at Brest", "--ylabel", "metres",
                      "--legend", "lower-left", "-o", output, dir / "tide.csv"});
}

TEST(PlotVector, PdfDrawsWhatThePngShowsWithRealText) {
  const ScratchDir dir;
  if (std::system("(command -v pdftoppm && command -v pdftotext && command -v pdfinfo) >/dev/null") != 0)
    GTEST_SKIP() << "pdftoppm, pdftotext or pdfinfo (poppler-utils) is missing";
  for (const char* name : {"tide.png", "tide.pdf", "tide.svg"})
    ASSERT_EQ(PlotTide(dir, dir / name).exitCode, 0) << name;
  ASSERT_EQ(RunProcess({"pdftoppm", "-r", "96", "-png", "-singlefile", dir / "tide.pdf", dir / "pdf"}).exitCode, 0);
  ASSERT_EQ(PngSize(ReadFile(dir / "pdf.png")), PngSize(ReadFile(dir / "tide.png")));
  const auto png = LoadPicture(dir / "tide.png", 400, 300), pdf = LoadPicture(dir / "pdf.png", 400, 300);
  auto distance = [](COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
  };
  // Every pixel of the red and blue lines and of dark text in the PNG has, within a pixel in the
  // PDF, one nearer its colour than the paper's (the PDF's edges are smoothed).
  for (int kind = 0; kind < 3; ++kind) {
    int drawn = 0, matched = 0;
    for (int y = 1; y < 299; ++y)
      for (int x = 1; x < 399; ++x) {
        const COLORREF ink = png->At(x, y);
        if (kind < 2 ? ink != (kind ? kBlue : kRed) : distance(ink, kBlack) > 150) continue;
        ++drawn;
        bool near = false;
        for (int d = 0; d < 9 && !near; ++d) {
          const COLORREF c = pdf->At(x + d % 3 - 1, y + d / 3 - 1);
          near = distance(c, ink) < distance(c, kWhite);
        }
        matched += near;
      }
    EXPECT_GT(drawn, 100) << kind;
    EXPECT_GE(matched, drawn * 98 / 100) << kind;
  }
  const ProcessResult text = RunProcess({"pdftotext", dir / "tide.pdf", "-"});
  for (const char* word : {"Tide at Brest", "hours", "metres", "level", "wind", "40", "-2"})
    EXPECT_NE(text.output.find(word), std::string::npos) << word << " in\n" << text.output;
  EXPECT_NE(ReadFile(dir / "tide.svg").find("\">Tide at Brest</text>"), std::string::npos) << "a text element";
  // A page of exactly the size asked.
  ASSERT_EQ(PlotTide(dir, dir / "page.pdf", "16cmx10cm").exitCode, 0);
  EXPECT_NE(RunProcess({"pdfinfo", dir / "page.pdf"}).output.find("453.543 x 283.465 pts"), std::string::npos);
}

// A million noisy points stay a small file: the writer gets what the raster draws, columns of
// runs, not a path through every point.
TEST(PlotVector, MillionPointLineStaysSmall) {
  const ScratchDir dir;
  std::ofstream csv(dir / "noise.csv");
  csv << "noise\n";
  unsigned state = 1;
  for (int i = 0; i < 1000000; ++i) csv << (state = state * 1103515245u + 12345u) % 1000 << '\n';
  csv.close();
  ASSERT_EQ(RunPlotTool({"--x", "index", "-o", dir / "noise.pdf", dir / "noise.csv"}).exitCode, 0);
  EXPECT_LT(std::filesystem::file_size(dir / "noise.pdf"), 2u << 20);
}

}  // namespace
}  // namespace kelmira::test
