// DrawTextA: formatted text in a rectangle.
//
// The lines come from the layout (text_layout.h) and are drawn with their cells' top-left corners
// at the placed origins, whatever the context's text alignment; the line height is the font
// height, plus its external leading with DT_EXTERNALLEADING; tab stops are tabChars average
// character widths apart (8 unless DT_TABSTOP says otherwise). In the OPAQUE background mode each
// line's cell is filled with the background colour. Without DT_NOCLIP the text is clipped to the
// rectangle. Empty text draws nothing and returns 0; with DT_CALCRECT it leaves an empty
// rectangle at the top-left corner.
#include "gdi/device_context.h"
#include "gdi/font_face.h"
#include "gdi/gdi_error.h"
#include "gdi/text_layout.h"
#include "gdi/text_metrics.h"
#include "gdi/text_run.h"

#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <climits>

using namespace kelmira::gdi;

namespace {

int ClampedWidth(const RECT& r) {
  return static_cast<int>(std::clamp<long long>(static_cast<long long>(r.right) - r.left, INT_MIN, INT_MAX));
}

void DrawLines(const DeviceContext& dc, const std::shared_ptr<const FontInstance>& font,
               const std::vector<LaidOutLine>& lines, const LinePlacement& placement, const RECT& rect,
               std::uint32_t flags) {
  RECT clip = DcClip(dc);
  if (!(flags & dt::kNoClip)) clip = IntersectRects(clip, ClampRect(TransformRect(dc, rect)));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const LaidOutLine& line = lines[i];
    TextRun run;
    run.left = placement.origins[i].first;
    run.top = placement.origins[i].second;
    run.text = line.text;
    run.pens.resize(line.x.size());
    for (std::size_t k = 0; k < line.x.size(); ++k) run.pens[k].x = line.x[k];
    run.fillCell = dc.state.bkMode == OPAQUE;
    run.drawGlyphs = !(flags & dt::kPrefixOnly);
    if (!(flags & dt::kHidePrefix))
      for (std::size_t u : line.underlined) run.underlines.emplace_back(line.x[u], line.x[u + 1]);
    PaintTextRun(dc, font, run, clip);
  }
}

int DrawFormatted(const DeviceContext& dc, std::u16string_view text, RECT* rect, UINT format) {
  const DrawTextFormat parsed = ParseDrawTextFormat(format);
  const std::uint32_t flags = parsed.flags;
  if (text.empty()) {
    if (flags & dt::kCalcRect) {
      rect->right = rect->left;
      rect->bottom = rect->top;
    }
    return 0;
  }
  auto font = SelectedFontInstance(dc);
  if (!font) return Fail(ERROR_NOT_ENOUGH_MEMORY, 0);
  const FontMetrics& metrics = font->Metrics();

  PrefixedText prefixed = (flags & dt::kNoPrefix) ? PrefixedText{std::u16string(text), {}} : StripPrefixes(text);
  LayoutParams params;
  params.flags = flags;
  params.rectWidth = ClampedWidth(*rect);
  params.tabWidth = parsed.tabChars * metrics.aveCharWidth;
  auto measure = [&font](std::u16string_view s, int* out) { font->Advances(s, out); };
  std::vector<LaidOutLine> lines = LayOutLines(prefixed, params, measure);

  const int lineHeight = metrics.height + ((flags & dt::kExternalLeading) ? metrics.externalLeading : 0);
  const TextRect area{rect->left, rect->top, rect->right, rect->bottom};
  LinePlacement placement = PlaceLines(lines, area, flags, lineHeight);
  if (flags & dt::kCalcRect) {
    rect->right = placement.bounds.right;
    rect->bottom = placement.bounds.bottom;
    return placement.result;
  }
  DrawLines(dc, font, lines, placement, *rect, flags);
  return placement.result;
}

}  // namespace

int DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return 0;
  if (!lprc || (!lpchText && cchText != 0)) return Fail(ERROR_INVALID_PARAMETER, 0);
  return kelmira::GuardedOr(0, [&] { return DrawFormatted(*dc, AnsiToUtf16(lpchText, cchText), lprc, format); });
}
