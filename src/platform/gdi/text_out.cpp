// TextOutA, ExtTextOutA and the text extent queries.
//
// A string is drawn from its reference point according to the text alignment: TA_LEFT,
// TA_CENTER or TA_RIGHT across, TA_TOP, TA_BASELINE or TA_BOTTOM down, all measured along the
// font's baseline, so the alignment turns with an escapement or a world transform. TA_UPDATECP
// draws from the current position and moves it past the string (TA_LEFT), back before it
// (TA_RIGHT) or leaves it (TA_CENTER). In the OPAQUE background mode the string's cell (its
// extent by the font height) is filled with the background colour first. ETO_OPAQUE fills the
// rectangle with the background colour (also for an empty string); ETO_CLIPPED keeps the text
// inside it. Under a turning world transform both use the transformed rectangle's bounding box
// for clipping and its exact shape for the fill.
#include "gdi/device_context.h"
#include "gdi/font_face.h"
#include "gdi/gdi_error.h"
#include "gdi/text_blend.h"
#include "gdi/text_metrics.h"
#include "gdi/text_run.h"
#include "gdi/recording_hooks.h"

#include <kelmira/platform/guarded.h>

#include <climits>
#include <cmath>
#include <vector>

using namespace kelmira::gdi;

namespace {

constexpr UINT kMaxTextLength = 1u << 24;

struct RunOffset {
  double x, y;
};

// Where the run's cell corner lies relative to the reference point, in the run's frame.
RunOffset AlignmentOffset(UINT align, long long extent, const FontMetrics& metrics) {
  RunOffset offset{0, 0};
  if ((align & TA_CENTER) == TA_CENTER)
    offset.x = -static_cast<double>(extent / 2);
  else if (align & TA_RIGHT)
    offset.x = -static_cast<double>(extent);
  if ((align & TA_BASELINE) == TA_BASELINE)
    offset.y = -metrics.ascent;
  else if (align & TA_BOTTOM)
    offset.y = -metrics.height;
  return offset;
}

LONG ClampToLong(double v) {
  if (!(v > INT_MIN)) return INT_MIN;
  if (v > INT_MAX) return INT_MAX;
  return static_cast<LONG>(std::llround(v));
}

// The clip of ETO_CLIPPED: the device bounding box of the rectangle, within the context's clip.
RECT ClipToLogicalRect(const DeviceContext& dc, const RECT& clip, const RECT& r) {
  return IntersectRects(clip, ClampRect(TransformRect(dc, r)));
}

bool DrawExtText(DeviceContext& dc, int x, int y, UINT options, const RECT* rect, std::u16string_view text,
                 const INT* dx) {
  const RECT clip = DcClip(dc);
  const bool haveRect = rect && rect->left < rect->right && rect->top < rect->bottom;
  if ((options & ETO_OPAQUE) && haveRect) {
    const DeviceQuad quad = QuadOfLogicalRect(dc, rect->left, rect->top, rect->right, rect->bottom);
    FillQuad(DcSurface(dc), clip, quad, PixelFromColor(dc.state.bkColor));
    if (dc.recording) RecordQuad(*dc.recording, clip, quad, dc.state.bkColor);
  }
  if (text.empty()) return true;

  auto font = SelectedFontInstance(dc);
  if (!font) return Fail(ERROR_NOT_ENOUGH_MEMORY, false);
  TextRun run;
  run.text = text;
  if (dx && (options & ETO_PDY)) {
    std::vector<int> across(text.size()), down(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
      across[i] = dx[2 * i];
      down[i] = dx[2 * i + 1];
    }
    run.pens = PensFromAdvances(across.data(), down.data(), text.size());
  } else if (dx) {
    run.pens = PensFromAdvances(dx, nullptr, text.size());
  } else {
    std::vector<int> advances(text.size());
    font->Advances(text, advances.data());
    run.pens = PensFromAdvances(advances.data(), nullptr, text.size());
  }
  const long long extent = run.pens.back().x;

  const UINT align = dc.state.textAlign;
  const bool updateCp = align & TA_UPDATECP;
  double refX = updateCp ? dc.state.currentPosition.x : x;
  double refY = updateCp ? dc.state.currentPosition.y : y;
  const RunOffset offset = AlignmentOffset(align, extent, font->Metrics());
  const Matrix2& turn = font->Escapement();
  run.left = refX + turn.xx * offset.x + turn.xy * offset.y;
  run.top = refY + turn.yx * offset.x + turn.yy * offset.y;
  run.fillCell = dc.state.bkMode == OPAQUE;

  const RECT runClip = (options & ETO_CLIPPED) && rect ? ClipToLogicalRect(dc, clip, *rect) : clip;
  PaintTextRun(dc, font, run, runClip);

  if (updateCp) {
    double move = 0;
    if ((align & TA_CENTER) == TA_CENTER)
      move = 0;
    else if (align & TA_RIGHT)
      move = -static_cast<double>(extent);
    else
      move = static_cast<double>(extent);
    dc.state.currentPosition = {ClampToLong(refX + turn.xx * move), ClampToLong(refY + turn.yx * move)};
  }
  return true;
}

BOOL Extent(HDC hdc, LPCSTR lpString, int c, LPSIZE size) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (!size || c < 0 || (c > 0 && !lpString)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  return kelmira::GuardedOr(FALSE, [&] {
    auto font = SelectedFontInstance(*dc);
    if (!font) return Fail(ERROR_NOT_ENOUGH_MEMORY, FALSE);
    size->cx = font->Extent(AnsiToUtf16(lpString, c));
    size->cy = font->Metrics().height;
    return TRUE;
  });
}

}  // namespace

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c, const INT* lpDx) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if ((c > 0 && !lpString) || c > kMaxTextLength) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  // Glyph indices name glyphs of a particular face; strings here are always characters.
  if (options & ETO_GLYPH_INDEX) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  return kelmira::GuardedOr(FALSE, [&] {
    std::u16string text = AnsiToUtf16(lpString, static_cast<int>(c));
    return DrawExtText(*dc, x, y, options, lprect, text, lpDx) ? TRUE : FALSE;
  });
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  if (c < 0) {
    if (!LookupDC(hdc)) return FALSE;
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  return ExtTextOutA(hdc, x, y, 0, nullptr, lpString, static_cast<UINT>(c), nullptr);
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) { return Extent(hdc, lpString, c, psizl); }

BOOL GetTextExtentPointA(HDC hdc, LPCSTR lpString, int c, LPSIZE lpsz) { return Extent(hdc, lpString, c, lpsz); }
