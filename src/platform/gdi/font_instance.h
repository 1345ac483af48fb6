// A realised font: a face chosen for a request, set to a pixel size, with its metrics, advances
// and a cache of rendered glyphs.
//
// Sizes follow the desktop's rules. A negative request height is the em size in pixels; a
// positive one is the cell height (ascent + descent), and the em is chosen so that the cell is
// exactly that tall; 0 gives a cell of kDefaultCellHeight pixels. Ascent and descent come from the
// face's Windows metrics (OS/2 usWinAscent/usWinDescent, else hhea), rounded up, so glyphs fit the
// cell. A request width other than 0 stretches the face horizontally so that the average
// character width becomes that width.
//
// Instances are immutable apart from their caches, shared between all logical fonts that ask for
// the same thing, and safe to use from any thread.
#pragma once

#include "gdi/font_request.h"
#include "gdi/glyph_mask.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

struct FT_FaceRec_;
struct FT_SizeRec_;

namespace kelmira::gdi {

struct FontMetrics {
  int em = 0;  // pixels per em, vertically
  int ascent = 0;
  int descent = 0;
  int height = 0;  // ascent + descent
  int internalLeading = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::uint8_t charSet = 0;
  std::uint8_t pitchAndFamily = 0;  // as the text metrics report it
  int underlineOffset = 0;          // first underline row, below the baseline row
  int underlineThickness = 1;
  int strikeOutOffset = 0;  // first strike-out row, above the baseline
  int strikeOutThickness = 1;
};

class FontInstance {
 public:
  // The shared instance for a request; null only when memory runs out.
  static std::shared_ptr<const FontInstance> Get(const FontRequest& request);

  FontInstance(const FontRequest& request);
  ~FontInstance();
  FontInstance(const FontInstance&) = delete;
  FontInstance& operator=(const FontInstance&) = delete;

  const FontRequest& Request() const { return request_; }
  const FontMetrics& Metrics() const { return metrics_; }
  // The face name that the text face query reports: the requested name when an installed face
  // answers to it (directly or through a metric-compatible alias), else the face actually used.
  const std::string& FaceName() const { return faceName_; }
  // The family of the face file in use (fontconfig's name for it; may differ from FaceName).
  const std::string& FamilyName() const { return familyName_; }
  // The direction of the baseline from the escapement, as a map of the run's own frame.
  const Matrix2& Escapement() const { return escapement_; }

  // Hinted advance widths in whole pixels, one per character.
  void Advances(std::u16string_view text, int* out) const;
  int Advance(char16_t ch) const;
  int Extent(std::u16string_view text) const;

  // The glyph of `ch` turned by `transform` (device orientation); null for an empty glyph.
  std::shared_ptr<const GlyphMask> Glyph(char16_t ch, const Matrix2& transform) const;

  // First and last character the face maps (for the wide text metrics).
  std::pair<char16_t, char16_t> CharRange() const;

  // How the glyphs are made, for writers that embed the face itself: the font file (empty when
  // no face is usable), the horizontal and vertical pixels per em, and the synthetic styles.
  const std::string& FilePath() const { return filePath_; }
  int FileIndex() const { return fileIndex_; }
  int XPixels() const { return xPixels_; }
  int BoldStrength() const { return boldStrength_; }
  bool SyntheticOblique() const { return obliqueSynthetic_; }

 private:
  using GlyphKey = std::tuple<unsigned, long, long, long, long>;

  void Realise();
  void ComputeMetrics();
  int LoadAdvance(unsigned glyph) const;
  unsigned GlyphIndex(char16_t ch) const;
  static bool IsInvisible(char16_t ch, unsigned glyph);
  std::shared_ptr<const GlyphMask> Render(unsigned glyph, const Matrix2& transform) const;

  FontRequest request_;
  FontMetrics metrics_;
  std::string faceName_;
  std::string familyName_;
  std::string filePath_;
  int fileIndex_ = 0;
  Matrix2 escapement_;
  FT_FaceRec_* face_ = nullptr;
  FT_SizeRec_* size_ = nullptr;
  int xPixels_ = 0;       // horizontal pixels per em (differs from the em when stretched)
  int boldStrength_ = 0;  // whole pixels of synthetic emboldening, 0 when the face is bold itself
  bool obliqueSynthetic_ = false;
  // Caches, guarded by the FreeType lock.
  mutable std::unordered_map<char16_t, int> advances_;
  mutable std::map<GlyphKey, std::shared_ptr<const GlyphMask>> glyphs_;
  mutable std::size_t glyphBytes_ = 0;
};

}  // namespace kelmira::gdi
