// Face lookup through fontconfig.
#include "gdi/font_match.h"

#include <fontconfig/fontconfig.h>

#include <array>
#include <cctype>
#include <memory>
#include <mutex>
#include <string_view>

namespace kelmira::gdi {
namespace {

// fontconfig's own configuration maps Arial, Times New Roman, Courier New and their relatives to
// metric-compatible faces. The dialog and system faces of the desktop have no such alias; they
// are sans-serif faces about as wide as Arial, so they take Arial's substitute.
constexpr std::array<std::pair<std::string_view, std::string_view>, 11> kSubstitutes{{
    {"ms sans serif", "Arial"},
    {"ms shell dlg", "Arial"},
    {"ms shell dlg 2", "Arial"},
    {"microsoft sans serif", "Arial"},
    {"system", "Arial"},
    {"tahoma", "Arial"},
    {"segoe ui", "Arial"},
    {"ms serif", "Times New Roman"},
    {"fixedsys", "Courier New"},
    {"terminal", "Courier New"},
    {"lucida console", "Courier New"},
}};

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// The generic family that the pitch and family byte of a logical font asks for.
const char* GenericFamily(std::uint8_t pitchAndFamily) {
  constexpr std::uint8_t kFixedPitch = 1;
  switch (pitchAndFamily & 0xF0) {
    case 0x10:  // FF_ROMAN
      return "serif";
    case 0x30:  // FF_MODERN
      return "monospace";
    case 0x40:  // FF_SCRIPT
      return "cursive";
    default: break;
  }
  return (pitchAndFamily & 3) == kFixedPitch ? "monospace" : "sans-serif";
}

const char* CoreFace(std::string_view generic) {
  if (generic == "serif") return "Times New Roman";
  if (generic == "monospace") return "Courier New";
  return "Arial";
}

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

Pattern MakePattern(const FontRequest& request, bool fallbacks) {
  Pattern pattern(FcPatternCreate());
  if (!pattern) return nullptr;
  std::string family = SubstituteFaceName(request.faceName);
  if (!family.empty()) FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  // The desktop's mapper answers unknown names with its core faces; their metric-compatible
  // substitutes come before fontconfig's own defaults.
  const char* generic = GenericFamily(request.pitchAndFamily);
  if (fallbacks) {
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(CoreFace(generic)));
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
  }
  int weight = request.weight > 0 ? request.weight : 400;
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern.get(), FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  return pattern;
}

std::string StringOf(FcPattern* p, const char* object) {
  FcChar8* value = nullptr;
  if (FcPatternGetString(p, object, 0, &value) != FcResultMatch || !value) return {};
  return reinterpret_cast<const char*>(value);
}

int IntegerOf(FcPattern* p, const char* object, int fallback) {
  int value = 0;
  return FcPatternGetInteger(p, object, 0, &value) == FcResultMatch ? value : fallback;
}

// fontconfig keeps weights as doubles in recent versions; read either form.
double WeightOf(FcPattern* p) {
  double value = 0;
  if (FcPatternGetDouble(p, FC_WEIGHT, 0, &value) == FcResultMatch) return value;
  return IntegerOf(p, FC_WEIGHT, FC_WEIGHT_REGULAR);
}

// fontconfig's configuration for the life of the process, released at exit so that nothing it
// allocated is left behind.
struct FontconfigSession {
  std::mutex mutex;
  bool initialised = false;
  bool finished = false;

  bool Ready() {
    if (!initialised && !finished) initialised = FcInit() == FcTrue;
    return initialised && !finished;
  }
  ~FontconfigSession() {
    std::lock_guard lock(mutex);
    if (initialised) FcFini();
    finished = true;
  }
};

}  // namespace

std::string SubstituteFaceName(const std::string& name) {
  for (const auto& [from, to] : kSubstitutes)
    if (SameNameIgnoringCase(name, from)) return std::string(to);
  return name;
}

FaceChoice MatchFace(const FontRequest& request, bool fallbacks) {
  static FontconfigSession session;
  std::lock_guard lock(session.mutex);
  FaceChoice choice;
  if (!session.Ready()) return choice;
  Pattern pattern = MakePattern(request, fallbacks);
  if (!pattern) return choice;
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match) return choice;
  choice.path = StringOf(match.get(), FC_FILE);
  choice.index = IntegerOf(match.get(), FC_INDEX, 0);
  choice.family = StringOf(match.get(), FC_FAMILY);
  choice.weight = static_cast<int>(FcWeightToOpenTypeDouble(WeightOf(match.get())) + 0.5);
  choice.italic = IntegerOf(match.get(), FC_SLANT, FC_SLANT_ROMAN) != FC_SLANT_ROMAN;
  return choice;
}

}  // namespace kelmira::gdi
