// Choosing a font file for a logical font through fontconfig.
#pragma once

#include "gdi/font_request.h"

#include <string>

namespace kelmira::gdi {

struct FaceChoice {
  std::string path;     // empty when fontconfig knows no font at all
  int index = 0;        // face index inside the file
  std::string family;   // the family fontconfig chose
  int weight = 400;     // the chosen face's own weight, on the 100..900 scale
  bool italic = false;  // the chosen face is italic or oblique
};

// Desktop names that have no metric-compatible alias in fontconfig's configuration, mapped to
// the face the desktop shows for them; other names come back unchanged.
std::string SubstituteFaceName(const std::string& name);

// The installed face nearest to the request: family (through fontconfig's aliases, so "Arial"
// finds a metric-compatible face), then weight and slant. An empty or unknown name falls back to
// the substitute of the desktop's core face of the requested family (Arial for sans-serif or no
// particular family, Times New Roman for FF_ROMAN, Courier New for FF_MODERN or fixed pitch),
// then to fontconfig's default; the call never fails unless the system has no fonts. Without
// `fallbacks` only the name itself (and fontconfig's defaults) counts.
FaceChoice MatchFace(const FontRequest& request, bool fallbacks = true);

}  // namespace kelmira::gdi
