// Base units from a dialog's font, measured as the desktop's dialog manager measures them.
#include "window/dialog_units.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace kelmira::window {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetLength = 52;
constexpr int kScreenDpi = 96;
constexpr int kPointsPerInch = 72;

// A memory device context with a font selected, released on every path.
class MeasuringDC {
 public:
  explicit MeasuringDC(HFONT font) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) old_ = SelectObject(dc_, font);
  }
  ~MeasuringDC() {
    if (!dc_) return;
    if (old_) SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  MeasuringDC(const MeasuringDC&) = delete;
  MeasuringDC& operator=(const MeasuringDC&) = delete;

  HDC get() const { return old_ ? dc_ : nullptr; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

int MulDivRounded(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  std::int64_t half = (denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator) / 2;
  bool negative = (product < 0) != (denominator < 0);
  std::int64_t magnitude = (product < 0 ? -product : product) + half;
  std::int64_t quotient = magnitude / (denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator);
  std::int64_t result = negative ? -quotient : quotient;
  if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(result);
}

DialogBaseUnits SystemDialogBaseUnits() { return DialogBaseUnits{8, 16}; }

bool MeasureBaseUnits(HFONT font, DialogBaseUnits* out) {
  if (!font || !out) return false;
  MeasuringDC dc(font);
  if (!dc.get()) return false;
  SIZE extent{};
  TEXTMETRICA tm{};
  if (!GetTextExtentPoint32A(dc.get(), kAlphabet, kAlphabetLength, &extent)) return false;
  if (!GetTextMetricsA(dc.get(), &tm)) return false;
  int cx = (extent.cx + kAlphabetLength / 2) / kAlphabetLength;
  if (cx <= 0 || tm.tmHeight <= 0) return false;
  *out = DialogBaseUnits{cx, tm.tmHeight};
  return true;
}

HFONT CreateTemplateFont(const DialogDesc& desc) {
  if (!desc.hasFont || desc.face.empty()) return nullptr;
  LOGFONTA lf{};
  lf.lfHeight = -MulDivRounded(desc.pointSize, kScreenDpi, kPointsPerInch);
  lf.lfWeight = desc.weight ? desc.weight : FW_NORMAL;
  lf.lfItalic = desc.italic ? 1 : 0;
  lf.lfCharSet = desc.charSet;
  std::strncpy(lf.lfFaceName, desc.face.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

RECT DialogRectToPixels(short x, short y, short cx, short cy, const DialogBaseUnits& base) {
  RECT r;
  r.left = DialogUnitsToPixelsX(x, base);
  r.top = DialogUnitsToPixelsY(y, base);
  r.right = r.left + DialogUnitsToPixelsX(cx, base);
  r.bottom = r.top + DialogUnitsToPixelsY(cy, base);
  return r;
}

}  // namespace kelmira::window
