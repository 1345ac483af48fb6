// The colour dialog's parts: what one open dialog keeps, its item ids, the colour conversions of
// its editor and the internal controls it shows.
#pragma once

#include <kelmira/platform/commdlg.h>

#include <array>

namespace kelmira::window {

constexpr int kBasicCount = 48;   // 8 x 6
constexpr int kCustomCount = 16;  // 8 x 2
constexpr int kSwatchColumns = 8;

// Item ids.
constexpr WORD kBasicFirstId = 0x100;
constexpr WORD kCustomFirstId = 0x140;
constexpr WORD kDefineId = 0x210;
constexpr WORD kAddId = 0x211;
constexpr WORD kFieldId = 0x220;
constexpr WORD kLumBarId = 0x221;
constexpr WORD kPreviewId = 0x222;
constexpr WORD kHueId = 0x230;  // then Sat, Lum
constexpr WORD kRedId = 0x233;  // then Green, Blue

constexpr const char* kSwatchClass = "KelmiraColourSwatch";
constexpr const char* kFieldClass = "KelmiraColourField";
constexpr const char* kLumBarClass = "KelmiraColourLumBar";
constexpr const char* kPreviewClass = "KelmiraColourPreview";

// A swatch asks its dialog to move the selection by an arrow key (wParam the key).
constexpr UINT kMoveSelection = WM_USER + 0x40;

extern const COLORREF kBasicColours[kBasicCount];

// Hue 0..239, saturation and luminosity 0..240.
struct Hls {
  int hue = 0, sat = 0, lum = 0;
};
Hls HlsOf(COLORREF colour);
COLORREF ColourOf(const Hls& hls);

struct ColourDialog {
  CHOOSECOLORA* request = nullptr;  // the caller's, handed to its hook
  HWND hdlg = nullptr;
  COLORREF colour = 0;
  Hls hls;
  std::array<COLORREF, kCustomCount> custom{};
  int selected = 0;      // the id of the selected swatch, 0 for none
  int customTarget = 0;  // the custom swatch that "Add to Custom Colors" writes next
  bool wide = false;
  bool syncing = false;  // the edits are being set from the colour: their EN_CHANGE is ours
};

// The dialog that hdlg is, while it is open on this thread; null otherwise.
ColourDialog* ColourDialogOf(HWND hdlg);
COLORREF SwatchColour(const ColourDialog& d, int id);
bool IsSwatch(int id);

// The editor: sets the colour (keeping the hue of a grey) and shows it everywhere but in the
// edits of `typedGroup` (kHueId or kRedId: the group being typed in; 0 for none).
void SetCurrentColour(ColourDialog& d, COLORREF colour, int typedGroup = 0);
void SetCurrentHls(ColourDialog& d, const Hls& hls, int typedGroup = 0);
// EN_CHANGE of one of the six edits.
void OnEditChanged(ColourDialog& d, int id);

// Runs the dialog for a checked request; TRUE on OK with the request written back.
BOOL RunColourDialog(CHOOSECOLORA& request, DWORD* error);

bool RegisterSwatchClass();
bool RegisterEditorClasses();

}  // namespace kelmira::window
