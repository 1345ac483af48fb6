// Realising a font: face choice, pixel size and metrics.
#include "gdi/font_instance.h"

#include "gdi/font_library.h"
#include "gdi/font_match.h"

#include <kelmira/platform/guarded.h>

#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <mutex>
#include <utility>

namespace kelmira::gdi {
namespace {

constexpr std::size_t kMaxCachedInstances = 256;
constexpr int kBoldWeight = 600;  // requests from here up want a bold face

// The frequencies of lower-case letters and the space in English text (per thousand), which the
// desktop's average character width is weighted by.
constexpr std::array<std::pair<char, int>, 27> kLetterWeights{{
    {'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14}, {'h', 42}, {'i', 63},
    {'j', 3},  {'k', 6},  {'l', 35}, {'m', 20}, {'n', 56},  {'o', 56}, {'p', 17}, {'q', 4},  {'r', 49},
    {'s', 56}, {'t', 71}, {'u', 31}, {'v', 10}, {'w', 18},  {'x', 3},  {'y', 18}, {'z', 2},  {' ', 166},
}};

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

int ClampPixels(long long v) { return static_cast<int>(std::clamp<long long>(v, 1, kMaxFontPixels)); }

// Scaled font units, rounded up but forgiving rounding noise.
int ScaleUp(long units, int pixels, int unitsPerEm) {
  return static_cast<int>(std::ceil(static_cast<double>(units) * pixels / unitsPerEm - 1e-6));
}

int ScaleRound(long units, int pixels, int unitsPerEm) {
  return static_cast<int>(std::lround(static_cast<double>(units) * pixels / unitsPerEm));
}

// The name that the text face query reports (see FaceName()).
std::string ReportedFaceName(const FontRequest& request, const FaceChoice& choice) {
  const std::string& asked = request.faceName;
  if (asked.empty() || SameNameIgnoringCase(asked, choice.family)) return choice.family;
  // A name that leads elsewhere than fontconfig's default was found, directly or as an alias.
  FontRequest nameless = request;
  nameless.faceName.clear();
  const bool known = MatchFace(request, false).path != MatchFace(nameless, false).path;
  return known ? asked : choice.family;
}

Matrix2 EscapementMatrix(int tenths) {
  if (tenths % 3600 == 0) return {};
  double a = tenths * M_PI / 1800.0;
  double c = std::cos(a), s = std::sin(a);
  return {c, s, -s, c};  // counter-clockwise on a screen whose y grows downwards
}

// Panose serif styles 11 to 13 are the sans-serif ones.
std::uint8_t FamilyBits(FT_Face face, const TT_OS2* os2) {
  constexpr std::uint8_t kSwiss = 0x20, kRoman = 0x10, kModern = 0x30;
  if (FT_IS_FIXED_WIDTH(face)) return kModern;
  if (!os2 || os2->panose[0] != 2) return kSwiss;
  std::uint8_t serif = os2->panose[1];
  return (serif >= 11 && serif <= 13) || serif < 2 ? kSwiss : kRoman;
}

}  // namespace

std::shared_ptr<const FontInstance> FontInstance::Get(const FontRequest& request) {
  static std::mutex mutex;
  static std::unordered_map<FontRequest, std::shared_ptr<const FontInstance>, FontRequestHash> cache;
  std::lock_guard lock(mutex);
  auto it = cache.find(request);
  if (it != cache.end()) return it->second;
  return GuardedOr(std::shared_ptr<const FontInstance>{}, [&] {
    if (cache.size() >= kMaxCachedInstances) cache.clear();  // fonts in use keep their instance
    auto instance = std::make_shared<const FontInstance>(request);
    cache.emplace(request, instance);
    return instance;
  });
}

FontInstance::FontInstance(const FontRequest& request) : request_(request) {
  escapement_ = EscapementMatrix(request.escapement);
  Realise();
}

FontInstance::~FontInstance() {
  if (!size_) return;
  auto lock = LockFreeType();
  if (FacesAlive()) FT_Done_Size(size_);
}

void FontInstance::Realise() {
  FaceChoice choice = MatchFace(request_);
  faceName_ = ReportedFaceName(request_, choice);
  familyName_ = choice.family;
  if (faceName_.empty()) faceName_ = request_.faceName;
  const int requestedWeight = request_.weight > 0 ? request_.weight : 400;
  metrics_.weight = choice.weight;
  if (requestedWeight >= kBoldWeight && choice.weight < kBoldWeight) metrics_.weight = 700;
  metrics_.italic = request_.italic;
  metrics_.underline = request_.underline;
  metrics_.strikeOut = request_.strikeOut;
  constexpr std::uint8_t kDefaultCharSet = 1, kAnsiCharSet = 0;
  metrics_.charSet = request_.charSet == kDefaultCharSet ? kAnsiCharSet : request_.charSet;
  obliqueSynthetic_ = request_.italic && !choice.italic;

  auto lock = LockFreeType();
  if (!choice.path.empty()) face_ = LoadFace(choice.path, choice.index);
  if (face_ && FT_New_Size(face_, &size_) != 0) size_ = nullptr;
  if (!face_ || !size_) face_ = nullptr;
  if (face_) {
    filePath_ = choice.path;
    fileIndex_ = choice.index;
  }
  if (face_ && metrics_.weight == 700 && choice.weight < kBoldWeight) boldStrength_ = 1;
  ComputeMetrics();
}

void FontInstance::ComputeMetrics() {
  const int cell = request_.height == 0 ? kDefaultCellHeight : 0;
  const long long h = request_.height;
  if (!face_) {
    // No usable face on this system: plausible metrics, blank glyphs.
    int em = cell ? cell * 4 / 5 : h < 0 ? ClampPixels(-h) : ClampPixels(h * 4 / 5);
    metrics_.em = em;
    metrics_.ascent = (em * 4 + 4) / 5;
    metrics_.descent = (em + 4) / 5;
    metrics_.height = metrics_.ascent + metrics_.descent;
    metrics_.internalLeading = metrics_.height - em;
    metrics_.aveCharWidth = metrics_.maxCharWidth = std::max(1, em / 2);
    metrics_.pitchAndFamily = 0x20 | 0x01;
    xPixels_ = em;
    return;
  }
  FT_Face face = face_;
  const int upem = face->units_per_EM;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  if (os2 && os2->version == 0xFFFF) os2 = nullptr;
  long winAscent = os2 ? os2->usWinAscent : face->ascender;
  long winDescent = os2 ? os2->usWinDescent : -face->descender;
  if (winAscent + winDescent <= 0) {
    winAscent = upem * 4 / 5;
    winDescent = upem / 5;
  }
  const long total = winAscent + winDescent;

  FontMetrics& m = metrics_;
  const long long cellHeight = cell ? cell : h > 0 ? std::min<long long>(h, kMaxFontPixels) : 0;
  if (cellHeight > 0) {
    m.em = ClampPixels(std::llround(static_cast<double>(cellHeight) * upem / total));
    m.ascent = static_cast<int>(std::lround(static_cast<double>(cellHeight) * winAscent / total));
    m.descent = static_cast<int>(cellHeight) - m.ascent;
  } else {
    m.em = ClampPixels(-h);
    m.ascent = ScaleUp(winAscent, m.em, upem);
    m.descent = ScaleUp(winDescent, m.em, upem);
  }
  m.height = m.ascent + m.descent;
  m.internalLeading = m.height - m.em;
  if (hhea) {
    long gap = hhea->Line_Gap - (total - (hhea->Ascender - hhea->Descender));
    m.externalLeading = std::max(0, ScaleRound(gap, m.em, upem));
  }

  // The weighted average width in font units, from unhinted advances.
  long weighted = 0;
  bool haveLetters = true;
  for (auto [ch, weight] : kLetterWeights) {
    FT_UInt glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(ch));
    FT_Fixed advance = 0;
    if (!glyph || FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE, &advance) != 0) haveLetters = false;
    weighted += static_cast<long>(advance) * weight;
  }
  double averageUnits = haveLetters ? weighted / 1000.0 : (os2 ? os2->xAvgCharWidth : upem / 2);
  if (averageUnits <= 0) averageUnits = upem / 2.0;

  xPixels_ = m.em;
  if (request_.width != 0) {
    double natural = averageUnits * m.em / upem;
    long long wanted = std::min<long long>(std::llabs(static_cast<long long>(request_.width)), kMaxFontPixels);
    xPixels_ = ClampPixels(std::llround(m.em * wanted / natural));
  }
  FT_Activate_Size(size_);
  FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(xPixels_), static_cast<FT_UInt>(m.em));
  if (boldStrength_) boldStrength_ = std::max(1, (m.em + 12) / 24);

  m.aveCharWidth = std::max(1, static_cast<int>(std::lround(averageUnits * xPixels_ / upem)));
  m.maxCharWidth = ScaleUp(face->max_advance_width, xPixels_, upem) + boldStrength_;

  int pitch = FT_IS_FIXED_WIDTH(face) ? 0 : 0x01;  // the desktop's bit means variable pitch
  constexpr int kVector = 0x02, kTrueType = 0x04;
  m.pitchAndFamily = static_cast<std::uint8_t>(FamilyBits(face, os2) | pitch | kVector | kTrueType);

  const int baseline = 0;
  auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
  long ulPosition = post ? post->underlinePosition : face->underline_position;
  long ulThickness = post ? post->underlineThickness : face->underline_thickness;
  if (ulThickness <= 0) ulThickness = upem / 20;
  m.underlineThickness = std::max(1, ScaleRound(ulThickness, m.em, upem));
  int ulTop = ScaleRound(-ulPosition - ulThickness / 2, m.em, upem);
  m.underlineOffset = std::clamp(ulTop, baseline, std::max(baseline, m.descent - m.underlineThickness));
  long soPosition = os2 ? os2->yStrikeoutPosition : upem * 3 / 10;
  long soSize = os2 && os2->yStrikeoutSize > 0 ? os2->yStrikeoutSize : ulThickness;
  m.strikeOutThickness = std::max(1, ScaleRound(soSize, m.em, upem));
  m.strikeOutOffset = std::clamp(ScaleRound(soPosition, m.em, upem), m.strikeOutThickness, std::max(1, m.ascent));
}

std::pair<char16_t, char16_t> FontInstance::CharRange() const {
  if (!face_) return {u' ', u'\xFF'};
  auto lock = LockFreeType();
  FT_UInt glyph = 0;
  FT_ULong first = FT_Get_First_Char(face_, &glyph);
  FT_ULong last = first;
  for (FT_ULong c = first; glyph != 0 && c <= 0xFFFF; c = FT_Get_Next_Char(face_, c, &glyph)) last = c;
  return {static_cast<char16_t>(std::min<FT_ULong>(first, 0xFFFF)), static_cast<char16_t>(last)};
}

}  // namespace kelmira::gdi
