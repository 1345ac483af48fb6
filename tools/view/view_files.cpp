#include "view/view_files.h"

#include "common/output_file.h"
#include "plot/graph_file.h"
#include "plot/graph_picture.h"
#include "plot/plot_render.h"

#include <kelmira/platform.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace kelmira::view {

std::string SaveStem(const std::string& input) {
  if (input.empty()) return "kelmira-view";
  std::filesystem::path path(input);
  return path.replace_extension().string();
}

std::string ReserveFreshName(const std::string& stem, const char* extension, std::string* error) {
  for (int n = 1; n < 100000; ++n) {
    std::string name = stem + "-" + std::to_string(n) + extension;
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      return name;
    }
    if (errno != EEXIST) {
      *error = "cannot create '" + name + "': " + std::strerror(errno);
      return {};
    }
  }
  *error = "no free name left for " + stem + "-N" + extension;
  return {};
}

bool SaveWindowPicture(HWND window, const std::string& path, std::string* error) {
  if (std::string problem = tools::OutputProblem(path); !problem.empty()) {
    *error = problem;
    return false;
  }
  const HRESULT hr = KelmiraSaveWindowPng(window, path.c_str());
  if (FAILED(hr)) *error = "cannot write '" + path + "': " + plot::DescribeWriteFailure(hr);
  return SUCCEEDED(hr);
}

bool SaveGraphVector(HWND host, IGraphBase* graph, const std::string& path, double widthPt, double heightPt,
                     std::string* error) {
  if (std::string problem = tools::OutputProblem(path); !problem.empty()) {
    *error = problem;
    return false;
  }
  RECT r{};
  GetClientRect(host, &r);
  plot::RecordingPicture picture(r.right, r.bottom);
  if (!picture.dc()) {
    *error = "cannot record a " + std::to_string(r.right) + "x" + std::to_string(r.bottom) + " picture";
    return false;
  }
  return plot::DrawGraphPicture(host, graph, picture.dc(), POINT{0, 0}, r.right, r.bottom, error) &&
         plot::SaveVectorPicture(picture.dc(), path, plot::OutputFormat(path), widthPt, heightPt, error);
}

bool SaveGraphStream(IPersistStreamInit* graph, const std::string& path, std::string* error) {
  if (std::string problem = tools::OutputProblem(path); !problem.empty()) {
    *error = problem;
    return false;
  }
  std::vector<char> bytes;
  plot::PendingFile file;
  return plot::GraphFileBytes(graph, &bytes, error) && file.Write(path, bytes, error) && file.Commit(error);
}

}  // namespace kelmira::view
