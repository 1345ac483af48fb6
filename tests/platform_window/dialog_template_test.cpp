// Dialog templates: reading both layouts, base units from the template's font and the placement
// of items in dialog units.
#include "support/recording_window.h"
#include "window/dialog_template.h"

#include <kelmira/platform/dialog_template.h>

#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

using window::DialogDesc;
using window::ParseDialogTemplate;

constexpr DWORD kChildItem = WS_CHILD | WS_VISIBLE;

// A DLGTEMPLATEEX written out by hand: the builder only writes the standard layout.
std::vector<BYTE> ExtendedTemplate() {
  std::vector<BYTE> b;
  auto word = [&](WORD w) { b.push_back(static_cast<BYTE>(w)), b.push_back(static_cast<BYTE>(w >> 8)); };
  auto dword = [&](DWORD d) { word(static_cast<WORD>(d)), word(static_cast<WORD>(d >> 16)); };
  auto text = [&](const char* s) {
    for (; *s; ++s) word(static_cast<unsigned char>(*s));
    word(0);
  };
  word(1), word(0xFFFF), dword(7), dword(0), dword(WS_POPUP | DS_SETFONT), word(1);
  word(0), word(0), word(50), word(40);
  word(0), word(0), text("Ex");
  word(9), word(FW_BOLD), b.push_back(1), b.push_back(0), text("Arial");
  while (b.size() % 4) b.push_back(0);
  dword(0), dword(0), dword(kChildItem | SS_RIGHT), word(1), word(2), word(3), word(4), dword(70000);
  word(0xFFFF), word(0x0082), text("right");
  word(3), b.push_back(0xAA), b.push_back(0xBB), b.push_back(0xCC);
  return b;
}

TEST(DialogTemplateParse, StandardLayoutRoundTrip) {
  DialogTemplateBuilder b(WS_CHILD | DS_CONTROL, 0, 1, 2, 186, 94, "Title\x80", 8, "MS Sans Serif");
  b.AddItem(kChildItem | SS_CENTER, 10, 20, 30, 14, 100, kStaticClassAtom, "Label");
  b.AddItem(kChildItem, 1, 2, 3, 4, 101, "MyClass", "");
  DialogDesc d;
  ASSERT_EQ(ParseDialogTemplate(b.Template(), b.SizeInBytes(), &d), S_OK);
  EXPECT_EQ(std::tuple(d.extended, d.style, d.x, d.y, d.cx, d.cy, d.title, d.hasFont, d.pointSize, d.face),
            std::tuple(false, DWORD{WS_CHILD | DS_CONTROL | DS_SETFONT}, 1, 2, 186, 94,
                       std::string("Title\x80"),  // the euro sign survives UTF-16 and back
                       true, 8, std::string("MS Sans Serif")));
  ASSERT_EQ(d.items.size(), 2u);
  EXPECT_EQ(std::tuple(d.items[0].className, d.items[0].classAtom, d.items[0].text, d.items[0].id, d.items[0].y),
            std::tuple(std::string("STATIC"), 0x0082, std::string("Label"), 100u, 20));
  EXPECT_EQ(std::tuple(d.items[1].className, d.items[1].creationData), std::tuple(std::string("MyClass"), nullptr));
}

TEST(DialogTemplateParse, ExtendedLayoutWithCreationDataAndTruncation) {
  std::vector<BYTE> bytes = ExtendedTemplate();
  DialogDesc d;
  ASSERT_EQ(ParseDialogTemplate(bytes.data(), bytes.size(), &d), S_OK);
  EXPECT_EQ(std::tuple(d.extended, d.italic, d.helpId, d.title, d.pointSize, d.weight, d.face),
            std::tuple(true, true, 7u, std::string("Ex"), 9, FW_BOLD, std::string("Arial")));
  ASSERT_EQ(d.items.size(), 1u);
  ASSERT_NE(d.items[0].creationData, nullptr);
  // 32-bit ids only exist in this layout; the creation data starts with its size word.
  EXPECT_EQ(std::tuple(d.items[0].id, d.items[0].style, d.items[0].creationData[0], d.items[0].creationData[2]),
            std::tuple(70000u, kChildItem | SS_RIGHT, 3, 0xAA));

  // Truncated templates fail without reading past the end, and change nothing.
  d.title = "unchanged";
  for (std::size_t size : {std::size_t{0}, std::size_t{10}, std::size_t{30}, bytes.size() - 1})
    EXPECT_EQ(ParseDialogTemplate(bytes.data(), size, &d), E_INVALIDARG) << size;
  EXPECT_EQ(d.title, "unchanged");
  EXPECT_EQ(ParseDialogTemplate(nullptr, 100, &d), E_POINTER);
}

using DialogPlacement = WindowTest;

INT_PTR QuietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(DialogPlacement, BaseUnitsOfMsSansSerif8AndItemRectangle) {
  HWND owner = Top(100, 100, 400, 300, WS_POPUP | WS_VISIBLE);
  DialogTemplateBuilder b(WS_CHILD | WS_VISIBLE, 0, 0, 0, 186, 94, "", 8, "MS Sans Serif");
  b.AddItem(kChildItem | SS_LEFT, 10, 20, 30, 14, 100, kStaticClassAtom, "x");
  HWND dlg = CreateDialogIndirectParamA(nullptr, b.Template(), owner, &QuietProc, 0);
  ASSERT_NE(dlg, nullptr);
  // "MS Sans Serif" 8 pt measures 6 x 13 base units here, as on the desktop: the dialog is
  // 186 x 94 units = 279 x 152.75 pixels, rounded as MulDiv rounds.
  EXPECT_EQ(Client(dlg), (Edges{0, 0, 279, 153}));
  // (10, 20, 30, 14) units: x 15, y 32.5, width 45, height 22.75 (the dialog is at the owner's origin).
  EXPECT_EQ(Screen(GetDlgItem(dlg, 100)), (Edges{100 + 15, 100 + 33, 100 + 15 + 45, 100 + 33 + 23}));
  // MapDialogRect converts each edge with the same units (bottom 55.25).
  RECT mapped{10, 20, 40, 34};
  ASSERT_TRUE(MapDialogRect(dlg, &mapped));
  EXPECT_EQ(E(mapped), (Edges{15, 33, 60, 55}));
}

// Popups without a font use GetDialogBaseUnits (8 x 16).
TEST_F(DialogPlacement, PopupDialogsSitRelativeToTheOwnerOrCentred) {
  HWND owner = Top(200, 150, 400, 300, WS_POPUP | WS_VISIBLE);
  DialogTemplateBuilder rel(WS_POPUP, 0, 4, 8, 40, 16, "");
  EXPECT_EQ(Screen(CreateDialogIndirectParamA(nullptr, rel.Template(), owner, &QuietProc, 0)),
            (Edges{200 + 8, 150 + 16, 200 + 8 + 80, 150 + 16 + 32}));
  DialogTemplateBuilder centred(WS_POPUP | DS_CENTER, 0, 4, 8, 40, 16, "");
  Edges c = Screen(CreateDialogIndirectParamA(nullptr, centred.Template(), owner, &QuietProc, 0));
  EXPECT_EQ(c, (Edges{(GetSystemMetrics(SM_CXSCREEN) - 80) / 2, (GetSystemMetrics(SM_CYSCREEN) - 32) / 2,
                      (GetSystemMetrics(SM_CXSCREEN) - 80) / 2 + 80, (GetSystemMetrics(SM_CYSCREEN) - 32) / 2 + 32}));
}

}  // namespace
}  // namespace kelmira::test
