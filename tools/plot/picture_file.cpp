#include "picture_file.h"

#include "plot_render.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <stdlib.h>
#include <unistd.h>

namespace kelmira::plot {
namespace {

// The platform encodes only to files, so standard output gets the bytes of one made for it.
bool WriteToStdout(HBITMAP picture, std::string* error) {
  std::string path = (std::filesystem::temp_directory_path() / "kelmira-plot-XXXXXX").string();
  const int fd = mkstemp(path.data());
  if (fd < 0) {
    *error = "cannot make a temporary file for standard output";
    return false;
  }
  close(fd);
  struct Removed {
    const std::string& path;
    ~Removed() { std::remove(path.c_str()); }
  } removed{path};
  if (const HRESULT hr = KelmiraSaveBitmapPng(picture, path.c_str()); FAILED(hr)) {
    *error = "cannot write the picture for standard output: " + DescribeWriteFailure(hr);
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.eof() && in.fail()) {
    *error = "cannot read back the picture for standard output";
    return false;
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
    *error = "cannot write to standard output";
    return false;
  }
  return true;
}

}  // namespace

bool WritePicture(HBITMAP picture, const std::string& path, std::string* error) {
  if (path == "-") return WriteToStdout(picture, error);
  if (const HRESULT hr = KelmiraSaveBitmapPng(picture, path.c_str()); FAILED(hr)) {
    *error = "cannot write '" + path + "': " + DescribeWriteFailure(hr);
    return false;
  }
  return true;
}

}  // namespace kelmira::plot
