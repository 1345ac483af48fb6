// Running kelmira-plot from a test, and reading back the picture it wrote.
#pragma once

#include "support/canvas.h"
#include "support/child_process.h"

#include <utility>

namespace kelmira::test {

// One of the built tools (KELMIRA_TOOLS_DIR) with these arguments.
inline ProcessResult RunTool(const std::string& tool, std::vector<std::string> args) {
  const char* dir = std::getenv("KELMIRA_TOOLS_DIR");
  args.insert(args.begin(), std::string(dir ? dir : ".") + "/" + tool);
  return RunProcess(args);
}
inline ProcessResult RunPlotTool(std::vector<std::string> args) { return RunTool("kelmira-plot", std::move(args)); }

// The PNG in a canvas of its size; blank when it cannot be read.
inline std::unique_ptr<Canvas> LoadPicture(const std::string& path, int width, int height) {
  auto picture = std::make_unique<Canvas>(width, height);
  HBITMAP bitmap = nullptr;
  const HDC dc = CreateCompatibleDC(nullptr);
  if (KelmiraLoadPng(path.c_str(), &bitmap) == S_OK) {
    Selected selected(dc, bitmap);
    BitBlt(picture->dc(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
  }
  DeleteDC(dc);
  return picture;
}

}  // namespace kelmira::test
