// A line graph drawn into any device context as its window shows it, and vector files of it.
// The graph's own IViewObject::Draw shows only a placeholder, as for any composite control, so the
// picture is put together from its parts: the background, the title as the title window paints it,
// and the container and the axes each through their own IViewObject::Draw at their windows'
// places. Drawn into a recording device context it stays lines and text, for SVG and PDF.
#pragma once

#include "plot_options.h"

#include <kelmira/kelmira.h>

#include <string>

namespace kelmira::plot {

// `host` is the window the graph is attached to; its top left goes to `origin` in the picture, and
// `width` x `height` of the picture is filled with the graph's background first. False with a
// message when the graph has no window or a part cannot draw.
bool DrawGraphPicture(HWND host, IGraphBase* graph, HDC dc, POINT origin, int width, int height, std::string* error);

// The graph's title centred in `strip`, in its colours and the title window's font made `scale`
// times as large: for pictures drawn larger than the screen, whose title window keeps its size.
void DrawScaledTitle(IGraphBase* graph, HDC dc, const RECT& strip, double scale);

// A recording device context of its own size, freed with it.
class RecordingPicture {
 public:
  RecordingPicture(int width, int height) : dc_(KelmiraCreateRecordingDC(width, height)) {}
  ~RecordingPicture() {
    if (dc_) DeleteDC(dc_);
  }
  RecordingPicture(const RecordingPicture&) = delete;
  RecordingPicture& operator=(const RecordingPicture&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
};

// The records as an SVG or PDF file of the page size given (0, 0: 0.75 pt a pixel); false with a
// message naming the file.
bool SaveVectorPicture(HDC recording, const std::string& path, PictureFormat format, double widthPt, double heightPt,
                       std::string* error);

}  // namespace kelmira::plot
