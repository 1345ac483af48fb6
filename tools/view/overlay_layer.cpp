#include "overlay_layer.h"
#include "common/hresult_text.h"

#include <kelmira/platform/com_object.h>
#include <kelmira/platform/dispatch_impl.h>
#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace kelmira::view {
namespace {

constexpr int kHelpPadding = 8;             // between the help box's frame and its text
constexpr std::int64_t kMaxSide = 1 << 24;  // keeps the box arithmetic in int
constexpr UINT kHelpFormat = DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS;

// Everything Redraw changes in the device context comes back when it returns.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : dc_(dc), depth_(SaveDC(dc)) {}
  ~SavedDC() {
    if (depth_ > 0) RestoreDC(dc_, depth_);
  }
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;
  bool saved() const { return depth_ > 0; }

 private:
  HDC dc_;
  int depth_;
};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

void DrawLegendIn(HDC dc, const RECT& area, std::vector<plot::LegendEntry> entries, const plot::LegendLook& look,
                  plot::LegendPlace place) {
  entries = plot::FitLegend(dc, std::move(entries), look, Height(area) - 2 * plot::kLegendGap);
  const SIZE box = plot::MeasureLegend(dc, entries, look);
  const bool corner = place != plot::LegendPlace::Outside && place != plot::LegendPlace::Auto;
  plot::DrawLegend(dc, plot::PlaceLegend(area, box, corner ? place : plot::LegendPlace::UpperRight), entries, look);
}

// The frame filled with the background, sized to the lines and centred; what does not fit in the
// area, less a margin, is cut at the frame.
void DrawHelpIn(HDC dc, const RECT& area, const std::vector<std::string>& lines, HFONT font) {
  SelectObject(dc, font);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const int row = std::max<int>(metrics.tmHeight, 1);
  std::vector<std::string> texts;
  int widest = 0;
  for (const std::string& line : lines) {
    texts.push_back(plot::AnsiText(line));
    RECT measured{0, 0, 0, 0};
    DrawTextA(dc, texts.back().c_str(), static_cast<int>(texts.back().size()), &measured, kHelpFormat | DT_CALCRECT);
    widest = std::max<int>(widest, Width(measured));
  }
  const std::int64_t wanted =
      2 * kHelpPadding + static_cast<std::int64_t>(row) * static_cast<std::int64_t>(texts.size());
  // The same margin as the legend's, while the area has room for it.
  const int margin = std::min(plot::kLegendGap, std::min(Width(area), Height(area)) / 4);
  const int width = std::min(2 * kHelpPadding + widest, Width(area) - 2 * margin);
  const int height = static_cast<int>(std::min<std::int64_t>(wanted, Height(area) - 2 * margin));
  const int left = area.left + (Width(area) - width) / 2, top = area.top + (Height(area) - height) / 2;

  const HPEN frame = CreatePen(PS_SOLID, 1, kHelpFrame);
  const HBRUSH fill = CreateSolidBrush(kHelpBackground);
  if (frame && fill) {
    SelectObject(dc, frame);
    SelectObject(dc, fill);
    Rectangle(dc, left, top, left + width, top + height);
  }
  // Back to stock objects before the deletion; the saved state selects the caller's back.
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  if (frame) DeleteObject(frame);
  if (fill) DeleteObject(fill);

  IntersectClipRect(dc, left + 1, top + 1, left + width - 1, top + height - 1);
  SetTextColor(dc, kHelpText);
  SetBkMode(dc, TRANSPARENT);
  const int bottom = top + height;
  int y = top + kHelpPadding;
  for (const std::string& text : texts) {
    if (y >= bottom) break;
    RECT cell{left + kHelpPadding, y, left + width - 1, y + row};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &cell, kHelpFormat);
    y += row;
  }
}

}  // namespace

class OverlayLayer : public DispatchImpl<IGraphicsLayer> {
 public:
  using Interfaces = InterfaceTable<IGraphicsLayer, Via<IDispatch, IGraphicsLayer>>;
  static constexpr bool kAggregatable = false;

  HRESULT STDMETHODCALLTYPE Redraw(DrawLayerInfo info) override {
    ++redraws;
    const HDC dc = UlongToHandle<HDC>(static_cast<std::uint32_t>(info.hDC));
    if (!dc || !GetObjectType(dc)) return E_INVALIDARG;
    const std::int64_t width = std::int64_t{info.right} - info.left, height = std::int64_t{info.bottom} - info.top;
    if (width > kMaxSide || height > kMaxSide) return E_INVALIDARG;
    if (width <= 0 || height <= 0) return S_OK;
    const RECT area{info.left, info.top, info.right, info.bottom};
    return Guarded([&] {
      const SavedDC saved(dc);
      if (!saved.saved()) return E_FAIL;
      IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
      plot::LegendLook look = legendLook;
      if (!look.font) look.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
      if (legendShown && !legend.empty() && legendPlace != plot::LegendPlace::None)
        DrawLegendIn(dc, area, legend, look, legendPlace);
      if (helpShown && !help.empty()) DrawHelpIn(dc, area, help, look.font);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_UseBitmap(VARIANT_BOOL* value) override {
    if (!value) return E_POINTER;
    *value = VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_UseBitmap(VARIANT_BOOL value) override {
    useBitmapPut = value;
    return S_OK;
  }

  std::vector<plot::LegendEntry> legend;
  plot::LegendLook legendLook;
  plot::LegendPlace legendPlace = plot::LegendPlace::UpperRight;
  std::vector<std::string> help;
  bool legendShown = false, helpShown = false;
  long redraws = 0;
  VARIANT_BOOL useBitmapPut = VARIANT_FALSE;
};

std::optional<Overlay> Overlay::Make(std::string* error) {
  Object<OverlayLayer>* object = nullptr;
  const HRESULT hr = Object<OverlayLayer>::Make(&object);
  if (FAILED(hr)) {
    if (error) *error = "cannot make the overlay layer (HRESULT " + kelmira::tools::HresultText(hr) + ")";
    return std::nullopt;
  }
  return Overlay(object);
}

Overlay::Overlay(OverlayLayer* object) : object_(object) {}
Overlay::Overlay(Overlay&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
Overlay& Overlay::operator=(Overlay&& other) noexcept {
  if (this != &other) {
    if (object_) object_->Release();
    object_ = std::exchange(other.object_, nullptr);
  }
  return *this;
}
Overlay::~Overlay() {
  if (object_) object_->Release();
}

IGraphicsLayer* Overlay::layer() const { return object_; }

void Overlay::SetLegend(std::vector<plot::LegendEntry> entries, plot::LegendLook look, plot::LegendPlace place) {
  object_->legend = std::move(entries);
  object_->legendLook = look;
  object_->legendPlace = place;
}
void Overlay::SetHelp(std::vector<std::string> lines) { object_->help = std::move(lines); }
void Overlay::ShowLegend(bool shown) { object_->legendShown = shown; }
bool Overlay::legendShown() const { return object_->legendShown; }
void Overlay::ShowHelp(bool shown) { object_->helpShown = shown; }
bool Overlay::helpShown() const { return object_->helpShown; }
long Overlay::redraws() const { return object_->redraws; }

}  // namespace kelmira::view
