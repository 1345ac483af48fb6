// Saving and loading PNG files.
#include "gdi_core_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

using gdi_core_test::Canvas;

namespace {

std::filesystem::path ScratchDir() {
  auto dir = std::filesystem::temp_directory_path() / ("gdi_core_png_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

std::uint32_t BigEndian32(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<std::uint8_t>(bytes[at + i]);
  return v;
}

}  // namespace

TEST(GdiCorePng, WrittenAndReadBack) {
  Canvas canvas(7, 5);
  canvas.Fill(RGB(10, 20, 30));
  SetPixel(canvas.dc(), 0, 0, RGB(255, 0, 0));
  SetPixel(canvas.dc(), 6, 4, RGB(0, 0, 255));
  auto path = ScratchDir() / "picture.png";
  ASSERT_EQ(KelmiraSaveDCPng(canvas.dc(), path.c_str()), S_OK);

  // The header says 7 x 5, 8 bits per channel, colour type 2 (RGB).
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 33u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  EXPECT_EQ(bytes.substr(12, 4), "IHDR");
  EXPECT_EQ(BigEndian32(bytes, 16), 7u);
  EXPECT_EQ(BigEndian32(bytes, 20), 5u);
  EXPECT_EQ(bytes[24], 8);
  EXPECT_EQ(bytes[25], 2);

  // And through the loader, as a DIB section.
  HBITMAP loaded = nullptr;
  ASSERT_EQ(KelmiraLoadPng(path.c_str(), &loaded), S_OK);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, loaded);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 6, 4), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 3, 2), RGB(10, 20, 30));
  DeleteDC(dc);
  EXPECT_EQ(KelmiraSaveBitmapPng(loaded, path.c_str()), S_OK) << "replaces the file";
  DeleteObject(loaded);
  std::filesystem::remove_all(path.parent_path());
}

TEST(GdiCorePng, FailuresLeaveNoFile) {
  Canvas canvas(2, 2);
  auto dir = ScratchDir();
  EXPECT_EQ(KelmiraSaveDCPng(canvas.dc(), (dir / "missing" / "x.png").c_str()), STG_E_PATHNOTFOUND);
  EXPECT_EQ(KelmiraSaveDCPng(canvas.dc(), nullptr), E_INVALIDARG);
  EXPECT_EQ(KelmiraSaveBitmapPng(nullptr, (dir / "y.png").c_str()), E_INVALIDARG);
  EXPECT_EQ(KelmiraSaveDCPng(nullptr, (dir / "y.png").c_str()), E_INVALIDARG);

  // A read-only directory (root ignores permissions, so only check when they hold).
  auto locked = dir / "locked";
  std::filesystem::create_directories(locked);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (access(locked.c_str(), W_OK) != 0) {
    EXPECT_EQ(KelmiraSaveDCPng(canvas.dc(), (locked / "z.png").c_str()), STG_E_ACCESSDENIED);
  }
  // A directory in the way of the file name cannot be replaced.
  auto blocker = dir / "blocker.png";
  std::filesystem::create_directories(blocker);
  EXPECT_FALSE(SUCCEEDED(KelmiraSaveDCPng(canvas.dc(), blocker.c_str())));
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
  std::filesystem::remove(blocker);
  // Nothing half-written is left behind.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
    EXPECT_TRUE(entry.is_directory()) << "left behind: " << entry.path();

  HBITMAP loaded = reinterpret_cast<HBITMAP>(1);
  EXPECT_EQ(KelmiraLoadPng((dir / "absent.png").c_str(), &loaded), STG_E_FILENOTFOUND);
  EXPECT_EQ(loaded, nullptr);
  FILE* junk = std::fopen((dir / "junk.png").c_str(), "wb");
  std::fputs("not a picture", junk);
  std::fclose(junk);
  EXPECT_EQ(KelmiraLoadPng((dir / "junk.png").c_str(), &loaded), E_FAIL);
  EXPECT_EQ(KelmiraLoadPng(nullptr, &loaded), E_INVALIDARG);
  EXPECT_EQ(KelmiraLoadPng((dir / "junk.png").c_str(), nullptr), E_POINTER);
  std::filesystem::remove_all(dir);
}
