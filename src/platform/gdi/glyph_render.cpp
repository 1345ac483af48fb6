// Advances and rendered glyphs of a realised font, with their caches.
#include "gdi/font_instance.h"

#include "gdi/font_library.h"

#include <kelmira/platform/guarded.h>

#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

namespace kelmira::gdi {
namespace {

// Per font; the cache starts over beyond either limit. The bytes hold the ten digits, the point
// and the minus sign at the largest size a font is realised at (2048 pixels, about 4 MB a glyph),
// so that labels drawn in a huge font are rendered once rather than once per label.
constexpr std::size_t kMaxCachedGlyphs = 4096;
constexpr std::size_t kMaxCachedBytes = 64u << 20;
constexpr FT_Fixed kObliqueShear = 0x0366A;  // 0.2126 in 16.16, the usual synthetic slant

FT_Fixed ToFixed(double v) { return static_cast<FT_Fixed>(std::lround(std::clamp(v, -32767.0, 32767.0) * 65536.0)); }

// Hinted, anti-aliased loading; embedded bitmaps would not turn with the transform.
constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL;

std::shared_ptr<const GlyphMask> MaskFromBitmap(const FT_GlyphSlot slot) {
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.width == 0 || bitmap.rows == 0 || bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return nullptr;
  auto mask = std::make_shared<GlyphMask>();
  mask->left = slot->bitmap_left;
  mask->top = -slot->bitmap_top;
  mask->width = static_cast<int>(bitmap.width);
  mask->height = static_cast<int>(bitmap.rows);
  mask->coverage.resize(static_cast<std::size_t>(mask->width) * mask->height);
  const int levels = std::max<int>(2, bitmap.num_grays);
  for (int y = 0; y < mask->height; ++y) {
    const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
    std::uint8_t* out = mask->coverage.data() + static_cast<std::size_t>(y) * mask->width;
    if (levels == 256) {
      std::copy(row, row + mask->width, out);
      continue;
    }
    for (int x = 0; x < mask->width; ++x) out[x] = static_cast<std::uint8_t>(row[x] * 255 / (levels - 1));
  }
  return mask;
}

}  // namespace

unsigned FontInstance::GlyphIndex(char16_t ch) const { return FT_Get_Char_Index(face_, ch); }

// Control characters the face does not map take no room and show nothing, rather than the
// missing-glyph box.
bool FontInstance::IsInvisible(char16_t ch, unsigned glyph) { return glyph == 0 && ch < u' '; }

int FontInstance::LoadAdvance(unsigned glyph) const {
  FT_Activate_Size(size_);
  if (FT_Load_Glyph(face_, glyph, kLoadFlags) != 0) return 0;
  return static_cast<int>((face_->glyph->advance.x + 32) >> 6) + boldStrength_;
}

void FontInstance::Advances(std::u16string_view text, int* out) const {
  if (!face_) {
    std::fill(out, out + text.size(), metrics_.aveCharWidth);
    return;
  }
  auto lock = LockFreeType();
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t ch = text[i];
    auto it = advances_.find(ch);
    if (it == advances_.end()) {
      unsigned glyph = GlyphIndex(ch);
      int advance = IsInvisible(ch, glyph) ? 0 : LoadAdvance(glyph);
      (void)Guarded([&] { advances_.emplace(ch, advance); });  // if not cached, measured again next time
      out[i] = advance;
      continue;
    }
    out[i] = it->second;
  }
}

int FontInstance::Advance(char16_t ch) const {
  int advance = 0;
  Advances(std::u16string_view(&ch, 1), &advance);
  return advance;
}

int FontInstance::Extent(std::u16string_view text) const {
  long long total = 0;
  int chunk[64];
  for (std::size_t at = 0; at < text.size(); at += 64) {
    std::u16string_view part = text.substr(at, 64);
    Advances(part, chunk);
    for (std::size_t i = 0; i < part.size(); ++i) total += chunk[i];
  }
  return static_cast<int>(std::min<long long>(total, 0x3FFFFFFF));
}

std::shared_ptr<const GlyphMask> FontInstance::Glyph(char16_t ch, const Matrix2& transform) const {
  if (!face_) return nullptr;
  auto lock = LockFreeType();
  unsigned glyph = GlyphIndex(ch);
  if (IsInvisible(ch, glyph)) return nullptr;
  GlyphKey key{glyph, ToFixed(transform.xx), ToFixed(transform.xy), ToFixed(transform.yx), ToFixed(transform.yy)};
  auto it = glyphs_.find(key);
  if (it != glyphs_.end()) return it->second;
  std::shared_ptr<const GlyphMask> mask;
  const HRESULT hr = Guarded([&] {
    mask = Render(glyph, transform);
    const std::size_t bytes = mask ? mask->coverage.size() : 0;
    if (glyphs_.size() >= kMaxCachedGlyphs || glyphBytes_ + bytes > kMaxCachedBytes) {
      glyphs_.clear();
      glyphBytes_ = 0;
    }
    glyphs_.emplace(key, mask);
    glyphBytes_ += bytes;
  });
  // Without memory the glyph is not drawn; the text call still succeeds.
  return SUCCEEDED(hr) ? mask : nullptr;
}

std::shared_ptr<const GlyphMask> FontInstance::Render(unsigned glyph, const Matrix2& transform) const {
  FT_Activate_Size(size_);
  if (FT_Load_Glyph(face_, glyph, kLoadFlags) != 0) return nullptr;
  FT_GlyphSlot slot = face_->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return nullptr;
  FT_Outline* outline = &slot->outline;
  if (boldStrength_) {
    FT_Outline_EmboldenXY(outline, boldStrength_ * 64, 0);
  }
  if (obliqueSynthetic_) {
    FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
    FT_Outline_Transform(outline, &shear);
  }
  if (!transform.IsIdentity()) {
    // FreeType's y axis points up; conjugate the device-orientation matrix by the flip.
    FT_Matrix m{ToFixed(transform.xx), ToFixed(-transform.xy), ToFixed(-transform.yx), ToFixed(transform.yy)};
    FT_Outline_Transform(outline, &m);
  }
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return nullptr;
  return MaskFromBitmap(slot);
}

}  // namespace kelmira::gdi
