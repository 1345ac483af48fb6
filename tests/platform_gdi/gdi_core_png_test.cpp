// Saving and loading PNG files.
#include "gdi_canvas.h"

#include "support/scratch_dir.h"

#include <cstdio>
#include <filesystem>

#include <unistd.h>

using namespace gdi_test;
using kelmira::test::ReadFile;
using kelmira::test::ScratchDir;
using kelmira::test::WriteFile;

namespace {

TEST(GdiCorePng, WrittenAndReadBack) {
  ScratchDir dir;
  Canvas canvas(7, 5, RGB(10, 20, 30));
  SetPixel(canvas.dc(), 0, 0, kRed);
  SetPixel(canvas.dc(), 6, 4, kBlue);
  const std::string path = dir / "picture.png";
  ASSERT_EQ(KelmiraSaveDCPng(canvas.dc(), path.c_str()), S_OK);

  // The header says 7 x 5, 8 bits per channel, colour type 2 (RGB).
  const std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes.substr(0, 26), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x07\0\0\0\x05\x08\x02", 26));

  // And through the loader, as a bitmap with the same pixels.
  HBITMAP loaded = nullptr;
  ASSERT_EQ(KelmiraLoadPng(path.c_str(), &loaded), S_OK);
  Canvas copy(7, 5);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, loaded);
  BitBlt(copy.dc(), 0, 0, 7, 5, dc, 0, 0, SRCCOPY);
  EXPECT_EQ(copy.Picture(), canvas.Picture());
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_EQ(KelmiraSaveBitmapPng(loaded, path.c_str()), S_OK) << "replaces the file";
  EXPECT_EQ(ReadFile(path), bytes);
  DeleteObject(loaded);
}

TEST(GdiCorePng, FailuresLeaveNoFile) {
  ScratchDir dir;
  Canvas canvas(2, 2);
  EXPECT_EQ(KelmiraSaveDCPng(canvas.dc(), (dir / "missing/x.png").c_str()), STG_E_PATHNOTFOUND);
  EXPECT_EQ(KelmiraSaveDCPng(canvas.dc(), nullptr), E_INVALIDARG);
  EXPECT_EQ(KelmiraSaveBitmapPng(nullptr, (dir / "y.png").c_str()), E_INVALIDARG);
  EXPECT_EQ(KelmiraSaveDCPng(nullptr, (dir / "y.png").c_str()), E_INVALIDARG);

  // A read-only directory (root ignores permissions, so only check when they hold).
  const std::string locked = dir / "locked";
  std::filesystem::create_directories(locked);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (access(locked.c_str(), W_OK) != 0) {
    EXPECT_EQ(KelmiraSaveDCPng(canvas.dc(), (locked + "/z.png").c_str()), STG_E_ACCESSDENIED);
  }
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
  // A directory in the way of the file name cannot be replaced.
  std::filesystem::create_directories(dir / "blocker.png");
  EXPECT_TRUE(FAILED(KelmiraSaveDCPng(canvas.dc(), (dir / "blocker.png").c_str())));
  std::filesystem::remove(dir / "blocker.png");
  // Nothing half-written is left behind.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
    EXPECT_TRUE(entry.is_directory()) << "left behind: " << entry.path();

  HBITMAP loaded = reinterpret_cast<HBITMAP>(1);
  EXPECT_EQ(KelmiraLoadPng((dir / "absent.png").c_str(), &loaded), STG_E_FILENOTFOUND);
  EXPECT_EQ(loaded, nullptr);
  WriteFile(dir / "junk.png", "not a picture");
  EXPECT_EQ(KelmiraLoadPng((dir / "junk.png").c_str(), &loaded), E_FAIL);
  EXPECT_EQ(KelmiraLoadPng(nullptr, &loaded), E_INVALIDARG);
  EXPECT_EQ(KelmiraLoadPng((dir / "junk.png").c_str(), nullptr), E_POINTER);
}

}  // namespace
