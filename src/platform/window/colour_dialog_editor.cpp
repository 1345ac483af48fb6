// The colour dialog's editor: the hue/saturation field (hue across, saturation up, drawn at the
// middle luminosity), the luminosity bar of the current hue and saturation with its marker, the
// preview, and the six edits, all kept showing one current colour. Colours convert to hue,
// saturation and luminosity on the 0..240 scale of the desktop's editor.
#include "window/colour_dialog.h"
#include "window/control_paint.h"
#include "window/window_table.h"

#include <algorithm>

namespace kelmira::window {
namespace {

constexpr int kScale = 240;
constexpr int kMarkerWidth = 8;  // right of the luminosity bar

int HueToChannel(int n1, int n2, int hue) {
  if (hue < 0) hue += kScale;
  if (hue > kScale) hue -= kScale;
  if (hue < kScale / 6) return n1 + ((n2 - n1) * hue + kScale / 12) / (kScale / 6);
  if (hue < kScale / 2) return n2;
  if (hue < kScale * 2 / 3) return n1 + ((n2 - n1) * (kScale * 2 / 3 - hue) + kScale / 12) / (kScale / 6);
  return n1;
}

int ToByte(int channel) { return std::clamp((channel * 255 + kScale / 2) / kScale, 0, 255); }

void FillColour(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// The area inside a 2-pixel sunken frame.
RECT SunkenWell(HDC dc, RECT r) {
  Edge(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  InflateRect(&r, -1, -1);
  Edge(dc, r, COLOR_3DDKSHADOW, COLOR_BTNFACE);
  InflateRect(&r, -1, -1);
  return r;
}

RECT Inner(HWND hwnd, int rightMargin) {
  RECT r{};
  GetClientRect(hwnd, &r);
  r.right -= rightMargin;
  InflateRect(&r, -2, -2);
  return r;
}

// Position along a span of `size` pixels for a value 0..kScale, and back.
int PixelOf(int value, int size) { return size > 1 ? value * (size - 1) / kScale : 0; }
int ValueOf(int pixel, int size) { return size > 1 ? std::clamp(pixel, 0, size - 1) * kScale / (size - 1) : 0; }

void PaintField(HWND hwnd, HDC dc, const ColourDialog* d) {
  RECT client{};
  GetClientRect(hwnd, &client);
  RECT in = SunkenWell(dc, client);
  const int w = in.right - in.left, h = in.bottom - in.top;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      SetPixelV(dc, in.left + x, in.top + y,
                ColourOf(Hls{std::min(ValueOf(x, w), kScale - 1), kScale - ValueOf(y, h), kScale / 2}));
  if (!d) return;
  // A cross-hair with a gap at the point itself.
  const int cx = in.left + PixelOf(d->hls.hue, w), cy = in.top + PixelOf(kScale - d->hls.sat, h);
  const RECT arms[] = {{cx - 8, cy - 1, cx - 3, cy + 2},
                       {cx + 4, cy - 1, cx + 9, cy + 2},
                       {cx - 1, cy - 8, cx + 2, cy - 3},
                       {cx - 1, cy + 4, cx + 2, cy + 9}};
  for (const RECT& arm : arms) {
    RECT visible{};
    if (IntersectRect(&visible, &arm, &in)) FillColour(dc, visible, RGB(0, 0, 0));
  }
}

void PaintLumBar(HWND hwnd, HDC dc, const ColourDialog* d) {
  RECT client{};
  GetClientRect(hwnd, &client);
  RECT marker = client;
  marker.left = client.right - kMarkerWidth;
  FillRect(dc, &marker, ParentBrush(hwnd, dc, WM_CTLCOLORSTATIC));
  client.right = marker.left;
  RECT in = SunkenWell(dc, client);
  if (!d) return;
  const int h = in.bottom - in.top;
  for (int y = 0; y < h; ++y) {
    Hls hls = d->hls;
    hls.lum = kScale - ValueOf(y, h);
    FillColour(dc, RECT{in.left, in.top + y, in.right, in.top + y + 1}, ColourOf(hls));
  }
  // A triangle pointing at the bar, one row shorter each column.
  const int at = in.top + PixelOf(kScale - d->hls.lum, h);
  for (int i = 0; i < kMarkerWidth - 2; ++i)
    FillColour(dc, RECT{marker.left + 1 + i, at - i, marker.left + 2 + i, at + i + 1}, GetSysColor(COLOR_WINDOWTEXT));
}

void PaintPreview(HWND hwnd, HDC dc, const ColourDialog* d) {
  RECT client{};
  GetClientRect(hwnd, &client);
  RECT in = SunkenWell(dc, client);
  // Every colour is solid on a true-colour display: both halves show it.
  FillColour(dc, in, d ? d->colour : GetSysColor(COLOR_BTNFACE));
}

using Painter = void (*)(HWND, HDC, const ColourDialog*);

Painter PainterOf(HWND hwnd) {
  switch (GetDlgCtrlID(hwnd)) {
    case kFieldId: return &PaintField;
    case kLumBarId: return &PaintLumBar;
    default: return &PaintPreview;
  }
}

// A press or drag at (x, y) picks hue and saturation in the field, luminosity on the bar.
void Pick(HWND hwnd, LPARAM lParam) {
  ColourDialog* d = ColourDialogOf(GetParent(hwnd));
  const int id = GetDlgCtrlID(hwnd);
  if (!d || (id != kFieldId && id != kLumBarId)) return;
  RECT in = Inner(hwnd, id == kLumBarId ? kMarkerWidth : 0);
  const int w = in.right - in.left, h = in.bottom - in.top;
  const int x = GET_X_LPARAM(lParam) - in.left, y = GET_Y_LPARAM(lParam) - in.top;
  Hls hls = d->hls;
  if (id == kFieldId) {
    hls.hue = std::min(ValueOf(x, w), kScale - 1);
    hls.sat = kScale - ValueOf(y, h);
  } else {
    hls.lum = kScale - ValueOf(y, h);
  }
  SetCurrentHls(*d, hls);
}

LRESULT EditorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      if (HDC dc = BeginPaint(hwnd, &ps)) PainterOf(hwnd)(hwnd, dc, ColourDialogOf(GetParent(hwnd)));
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
      SetCapture(hwnd);
      Pick(hwnd, lParam);
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == hwnd) Pick(hwnd, lParam);
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

bool RegisterEditorClass(const char* name) {
  if (FindClass(name)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &EditorProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  return RegisterClassExA(&wc) != 0;
}

void Redraw(const ColourDialog& d, int id) {
  if (HWND item = GetDlgItem(d.hdlg, id)) InvalidateRect(item, nullptr, FALSE);
}

// The field is slow to paint and shows only hue and saturation: it is redrawn when they move.
void ShowValues(ColourDialog& d, int typedGroup, const Hls& before) {
  const int values[] = {d.hls.hue, d.hls.sat, d.hls.lum, GetRValue(d.colour), GetGValue(d.colour), GetBValue(d.colour)};
  d.syncing = true;
  for (int i = 0; i < 6; ++i) {
    const int id = kHueId + i;
    const int group = id < kRedId ? kHueId : kRedId;
    if (group != typedGroup) SetDlgItemInt(d.hdlg, id, static_cast<UINT>(values[i]), FALSE);
  }
  d.syncing = false;
  if (before.hue != d.hls.hue || before.sat != d.hls.sat) Redraw(d, kFieldId);
  for (int id : {kLumBarId, kPreviewId}) Redraw(d, id);
}

// The three values of an edit group; false while one of them is not a number (being retyped).
bool ReadGroup(const ColourDialog& d, int first, int (&out)[3]) {
  for (int i = 0; i < 3; ++i) {
    BOOL ok = FALSE;
    out[i] = static_cast<int>(GetDlgItemInt(d.hdlg, first + i, &ok, FALSE));
    if (!ok) return false;
  }
  return true;
}

}  // namespace

Hls HlsOf(COLORREF colour) {
  const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
  const int hi = std::max({r, g, b}), lo = std::min({r, g, b});
  const int sum = hi + lo, span = hi - lo;
  Hls out;
  out.lum = (sum * kScale + 255) / (2 * 255);
  if (span == 0) return out;  // grey: no hue, no saturation
  out.sat = out.lum <= kScale / 2 ? (span * kScale + sum / 2) / sum : (span * kScale + (510 - sum) / 2) / (510 - sum);
  auto delta = [&](int c) { return ((hi - c) * (kScale / 6) + span / 2) / span; };
  int hue = 0;
  if (r == hi)
    hue = delta(b) - delta(g);
  else if (g == hi)
    hue = kScale / 3 + delta(r) - delta(b);
  else
    hue = kScale * 2 / 3 + delta(g) - delta(r);
  out.hue = (hue % kScale + kScale) % kScale;
  return out;
}

COLORREF ColourOf(const Hls& hls) {
  const int l = hls.lum, s = hls.sat;
  if (s == 0) return RGB(ToByte(l), ToByte(l), ToByte(l));
  const int m2 = l <= kScale / 2 ? (l * (kScale + s) + kScale / 2) / kScale : l + s - (l * s + kScale / 2) / kScale;
  const int m1 = 2 * l - m2;
  return RGB(ToByte(HueToChannel(m1, m2, hls.hue + kScale / 3)), ToByte(HueToChannel(m1, m2, hls.hue)),
             ToByte(HueToChannel(m1, m2, hls.hue - kScale / 3)));
}

void SetCurrentColour(ColourDialog& d, COLORREF colour, int typedGroup) {
  Hls hls = HlsOf(colour);
  if (hls.sat == 0) hls.hue = d.hls.hue;  // a grey keeps the hue the field shows
  const Hls before = d.hls;
  d.colour = colour & 0x00FFFFFF;
  d.hls = hls;
  ShowValues(d, typedGroup, before);
}

void SetCurrentHls(ColourDialog& d, const Hls& hls, int typedGroup) {
  const Hls before = d.hls;
  d.hls = Hls{std::clamp(hls.hue, 0, kScale - 1), std::clamp(hls.sat, 0, kScale), std::clamp(hls.lum, 0, kScale)};
  d.colour = ColourOf(d.hls);
  ShowValues(d, typedGroup, before);
}

void OnEditChanged(ColourDialog& d, int id) {
  if (d.syncing) return;
  const int group = id < kRedId ? kHueId : kRedId;
  int v[3];
  if (!ReadGroup(d, group, v)) return;
  if (group == kHueId)
    SetCurrentHls(d, Hls{v[0], v[1], v[2]}, group);
  else
    SetCurrentColour(d, RGB(std::min(v[0], 255), std::min(v[1], 255), std::min(v[2], 255)), group);
}

bool RegisterEditorClasses() {
  return RegisterEditorClass(kFieldClass) && RegisterEditorClass(kLumBarClass) && RegisterEditorClass(kPreviewClass);
}

}  // namespace kelmira::window
