// Saving and loading PNG files.
#include "support/canvas.h"
#include "support/scratch_dir.h"

namespace {

using namespace kelmira::test;
namespace fs = std::filesystem;

TEST(Png, WrittenAndReadBackOrFailingWithoutAFile) {
  ScratchDir dir;
  const std::string path = dir / "picture.png";
  Canvas canvas(7, 5, RGB(10, 20, 30));
  SetPixel(canvas.dc(), 0, 0, kRed);
  SetPixel(canvas.dc(), 6, 4, kBlue);
  ASSERT_EQ(KelmiraSaveDCPng(canvas.dc(), path.c_str()), S_OK);
  // The header says 7 x 5, 8 bits per channel, colour type 2 (RGB).
  const std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes.substr(0, 26), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x07\0\0\0\x05\x08\x02", 26));
  // Loaded, a bitmap with the same pixels that saves to the same bytes over the old file.
  HBITMAP loaded = nullptr;
  ASSERT_EQ(KelmiraLoadPng(path.c_str(), &loaded), S_OK);
  Canvas view(7, 5);
  Selected selected(view.dc(), loaded);  // the canvas reads the loaded bitmap
  EXPECT_EQ(view.Picture(), canvas.Picture());
  EXPECT_EQ(KelmiraSaveBitmapPng(loaded, path.c_str()), S_OK);
  EXPECT_EQ(ReadFile(path), bytes);
  fs::create_directories(dir / "blocker.png");  // a directory in the way of the file name
  EXPECT_EQ(std::vector({KelmiraSaveDCPng(canvas.dc(), (dir / "missing/x.png").c_str()),
                         KelmiraSaveDCPng(canvas.dc(), (dir / "blocker.png").c_str()),
                         KelmiraSaveDCPng(canvas.dc(), nullptr), KelmiraSaveBitmapPng(nullptr, (dir / "y.png").c_str()),
                         KelmiraSaveDCPng(nullptr, (dir / "y.png").c_str())}),
            std::vector({STG_E_PATHNOTFOUND, STG_E_ACCESSDENIED, E_INVALIDARG, E_INVALIDARG, E_INVALIDARG}));
  // Nothing half-written is left behind.
  fs::remove(dir / "blocker.png");
  fs::remove(path);
  EXPECT_TRUE(fs::is_empty(dir.path()));
  WriteFile(dir / "junk.png", "not a picture");
  EXPECT_EQ(std::vector({KelmiraLoadPng((dir / "absent.png").c_str(), &loaded), KelmiraLoadPng(nullptr, &loaded),
                         KelmiraLoadPng((dir / "junk.png").c_str(), &loaded),
                         KelmiraLoadPng((dir / "junk.png").c_str(), nullptr)}),
            std::vector({STG_E_FILENOTFOUND, E_INVALIDARG, E_FAIL, E_POINTER}));
  EXPECT_EQ(loaded, nullptr);
}

}  // namespace
