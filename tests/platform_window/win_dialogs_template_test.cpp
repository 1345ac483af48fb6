// Dialog templates: reading both layouts, base units from the template's font and the placement
// of items in dialog units.
#include "win_dialogs_fixture.h"

#include "window/dialog_template.h"
#include "window/dialog_units.h"

#include <cstring>

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
  EXPECT_FALSE(d.extended);
  EXPECT_EQ(d.style, WS_CHILD | DS_CONTROL | DS_SETFONT);
  EXPECT_EQ(d.x, 1);
  EXPECT_EQ(d.cx, 186);
  EXPECT_EQ(d.cy, 94);
  EXPECT_EQ(d.title, "Title\x80");  // the euro sign survives UTF-16 and back
  EXPECT_TRUE(d.hasFont);
  EXPECT_EQ(d.pointSize, 8);
  EXPECT_EQ(d.face, "MS Sans Serif");
  ASSERT_EQ(d.items.size(), 2u);
  EXPECT_EQ(d.items[0].className, "STATIC");
  EXPECT_EQ(d.items[0].classAtom, 0x0082);
  EXPECT_EQ(d.items[0].text, "Label");
  EXPECT_EQ(d.items[0].id, 100u);
  EXPECT_EQ(d.items[0].y, 20);
  EXPECT_EQ(d.items[1].className, "MyClass");
  EXPECT_EQ(d.items[1].creationData, nullptr);
}

TEST(DialogTemplateParse, ExtendedLayoutWithCreationData) {
  std::vector<BYTE> bytes = ExtendedTemplate();
  DialogDesc d;
  ASSERT_EQ(ParseDialogTemplate(bytes.data(), bytes.size(), &d), S_OK);
  EXPECT_TRUE(d.extended);
  EXPECT_EQ(d.helpId, 7u);
  EXPECT_EQ(d.title, "Ex");
  EXPECT_EQ(d.pointSize, 9);
  EXPECT_EQ(d.weight, FW_BOLD);
  EXPECT_TRUE(d.italic);
  EXPECT_EQ(d.face, "Arial");
  ASSERT_EQ(d.items.size(), 1u);
  EXPECT_EQ(d.items[0].id, 70000u);  // 32-bit ids only exist in this layout
  EXPECT_EQ(d.items[0].style, kChildItem | SS_RIGHT);
  ASSERT_NE(d.items[0].creationData, nullptr);
  EXPECT_EQ(d.items[0].creationData[0], 3);  // the size word comes first
  EXPECT_EQ(d.items[0].creationData[2], 0xAA);
}

TEST(DialogTemplateParse, TruncatedTemplatesFailWithoutReadingPastTheEnd) {
  std::vector<BYTE> bytes = ExtendedTemplate();
  DialogDesc d;
  d.title = "unchanged";
  for (std::size_t size : {std::size_t{0}, std::size_t{10}, std::size_t{30}, bytes.size() - 1})
    EXPECT_EQ(ParseDialogTemplate(bytes.data(), size, &d), E_INVALIDARG) << size;
  EXPECT_EQ(d.title, "unchanged");
  EXPECT_EQ(ParseDialogTemplate(nullptr, 100, &d), E_POINTER);
}

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(window::MulDivRounded(20, 13, 8), 33);   // 32.5
  EXPECT_EQ(window::MulDivRounded(-20, 13, 8), -33);
  EXPECT_EQ(window::MulDivRounded(14, 13, 8), 23);   // 22.75
  EXPECT_EQ(window::MulDivRounded(5, 1, 0), -1);
  EXPECT_EQ(window::MulDivRounded(0x40000000, 8, 1), -1);
}

class DialogPlacementTest : public DialogTest {};

INT_PTR QuietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(DialogPlacementTest, BaseUnitsOfMsSansSerif8AndItemRectangle) {
  HWND owner = MakeOwner();
  DialogTemplateBuilder b(WS_CHILD | WS_VISIBLE, 0, 0, 0, 186, 94, "", 8, "MS Sans Serif");
  b.AddItem(kChildItem | SS_LEFT, 10, 20, 30, 14, 100, kStaticClassAtom, "x");
  HWND dlg = CreateDialogIndirectParamA(nullptr, b.Template(), owner, &QuietProc, 0);
  ASSERT_NE(dlg, nullptr);

  // The base units are measured from the font: 8 pt at 96 dpi is an 11-pixel character height.
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent{};
  TEXTMETRICA tm{};
  GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &extent);
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  const int bx = (extent.cx + 26) / 52;
  const int by = tm.tmHeight;
  ASSERT_GT(bx, 0);
  EXPECT_NE(MAKELONG(bx, by), GetDialogBaseUnits());  // not the fallback

  RECT size{};
  GetClientRect(dlg, &size);
  EXPECT_EQ(size.right, window::MulDivRounded(186, bx, 4));
  EXPECT_EQ(size.bottom, window::MulDivRounded(94, by, 8));

  HWND item = GetDlgItem(dlg, 100);
  ASSERT_NE(item, nullptr);
  RECT r{};
  GetWindowRect(item, &r);
  MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, window::MulDivRounded(10, bx, 4));
  EXPECT_EQ(r.top, window::MulDivRounded(20, by, 8));
  EXPECT_EQ(r.right - r.left, window::MulDivRounded(30, bx, 4));
  EXPECT_EQ(r.bottom - r.top, window::MulDivRounded(14, by, 8));

  // MapDialogRect converts each edge with the same units.
  RECT mapped{10, 20, 40, 34};
  ASSERT_TRUE(MapDialogRect(dlg, &mapped));
  EXPECT_EQ(mapped.left, r.left);
  EXPECT_EQ(mapped.right, window::MulDivRounded(40, bx, 4));
  EXPECT_EQ(mapped.bottom, window::MulDivRounded(34, by, 8));

  // The items get the dialog's font.
  EXPECT_EQ(SendMessageA(item, WM_GETFONT, 0, 0), SendMessageA(dlg, WM_GETFONT, 0, 0));
  EXPECT_NE(SendMessageA(dlg, WM_GETFONT, 0, 0), 0);
  DestroyWindow(dlg);
}

TEST_F(DialogPlacementTest, WithoutAFontTheSystemUnitsApply) {
  HWND owner = MakeOwner();
  DialogTemplateBuilder b(WS_CHILD, 0, 4, 8, 100, 50, "");
  HWND dlg = CreateDialogIndirectParamA(nullptr, b.Template(), owner, &QuietProc, 0);
  ASSERT_NE(dlg, nullptr);
  const LONG units = GetDialogBaseUnits();
  RECT r{};
  GetWindowRect(dlg, &r);
  MapWindowPoints(nullptr, owner, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 4 * LOWORD(units) / 4);
  EXPECT_EQ(r.top, 8 * HIWORD(units) / 8);
  EXPECT_EQ(r.right - r.left, 100 * LOWORD(units) / 4);
  EXPECT_EQ(r.bottom - r.top, 50 * HIWORD(units) / 8);
  EXPECT_EQ(SendMessageA(dlg, WM_GETFONT, 0, 0), 0);
  EXPECT_FALSE(IsWindowVisible(dlg));  // no WS_VISIBLE in the template
  DestroyWindow(dlg);
}

TEST_F(DialogPlacementTest, PopupDialogsSitRelativeToTheOwnerOrCentred) {
  HWND owner = MakeOwner(200, 150);
  DialogTemplateBuilder rel(WS_POPUP, 0, 4, 8, 40, 16, "");
  HWND a = CreateDialogIndirectParamA(nullptr, rel.Template(), owner, &QuietProc, 0);
  ASSERT_NE(a, nullptr);
  RECT r{};
  GetWindowRect(a, &r);
  EXPECT_EQ(r.left, 200 + 4 * LOWORD(GetDialogBaseUnits()) / 4);
  EXPECT_EQ(r.top, 150 + 8 * HIWORD(GetDialogBaseUnits()) / 8);
  EXPECT_EQ(GetWindow(a, GW_OWNER), owner);

  DialogTemplateBuilder centred(WS_POPUP | DS_CENTER, 0, 4, 8, 40, 16, "");
  HWND c = CreateDialogIndirectParamA(nullptr, centred.Template(), owner, &QuietProc, 0);
  ASSERT_NE(c, nullptr);
  GetWindowRect(c, &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
  DestroyWindow(a);
  DestroyWindow(c);
}

}  // namespace
}  // namespace kelmira::test
