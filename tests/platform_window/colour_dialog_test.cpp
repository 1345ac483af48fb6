// ChooseColorA: bad requests, the process hook's answers, and the dialog driven by injected
// clicks and keys from its owner's WM_ENTERIDLE (one step each time the loop goes idle).
#include "support/canvas.h"
#include "support/injected_input.h"
#include "support/recording_window.h"
#include "window/colour_dialog.h"

#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

using namespace kelmira::window;
constexpr COLORREF kGrey = RGB(9, 9, 9), kOdd = RGB(1, 2, 3);
constexpr int kBlackId = kBasicFirstId + 40, kTeal = kBasicFirstId + 19, kRedSwatch = kBasicFirstId + 8;

TEST(ColourDialogRequest, BadRequestsAndHookAnswers) {
  COLORREF custom[kCustomCount] = {};
  CHOOSECOLORA good{sizeof(CHOOSECOLORA), nullptr, nullptr, 0, custom, 0, 0, nullptr, nullptr};
  const std::tuple<DWORD, DWORD, COLORREF*, DWORD> bad[] = {{36, 0, custom, CDERR_STRUCTSIZE},
                                                            {sizeof good, CC_ENABLEHOOK, custom, CDERR_NOHOOK},
                                                            {sizeof good, 0, nullptr, CDERR_INITIALIZATION}};
  for (auto [size, flags, array, error] : bad) {
    CHOOSECOLORA cc = good;
    std::tie(cc.lStructSize, cc.Flags, cc.lpCustColors) = std::tuple(size, flags, array);
    const BOOL ok = ChooseColorA(&cc);
    EXPECT_EQ(std::pair(ok, CommDlgExtendedError()), std::pair(FALSE, error));
  }
  EXPECT_FALSE(ChooseColorA(nullptr));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);

  // The hook edits a copy; only IDOK hands the edits back.
  int answer = 0;
  KelmiraSetChooseColorHook(
      [](CHOOSECOLORA* cc, void* context) {
        cc->rgbResult = cc->lpCustColors[3] = kOdd;
        return *static_cast<int*>(context);
      },
      &answer);
  for (auto [given, result, colour] : {std::tuple(IDCANCEL, FALSE, kGrey), std::tuple(IDOK, TRUE, kOdd)}) {
    answer = given;
    CHOOSECOLORA cc = good;
    cc.rgbResult = custom[3] = kGrey;
    const BOOL ok = ChooseColorA(&cc);
    EXPECT_EQ(std::tuple(ok, cc.rgbResult, custom[3], CommDlgExtendedError()),
              std::tuple(result, colour, colour, DWORD{0}));
  }
  KelmiraSetChooseColorHook(nullptr, nullptr);
}

// What the application hook saw: WM_INITDIALOG's request, then the commands that reached its
// subclass procedure.
struct AppHookSeen {
  CHOOSECOLORA* init = nullptr;
  WNDPROC old = nullptr;
  int commands = 0;
} g_seen;

LRESULT Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  g_seen.commands += msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED;
  return CallWindowProcA(g_seen.old, hwnd, msg, wParam, lParam);
}

// Subclasses on WM_INITDIALOG and swallows clicks on the yellow swatch.
UINT_PTR AppHook(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    g_seen.init = reinterpret_cast<CHOOSECOLORA*>(lParam);
    g_seen.old =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hdlg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass)));
  }
  return msg == WM_COMMAND && LOWORD(wParam) == kBasicFirstId + 9;
}

using ColourDialogTest = WindowTest;

// Steps: an item id to click, or minus a key to press.
TEST_F(ColourDialogTest, InjectedClicksAndKeys) {
  HWND owner = Top(0, 0, 200, 100, kPopup, kBare);
  std::vector<int> steps;
  std::size_t next = 0;
  std::pair<int, LONG> opened;  // the focused item and the dialog's width, at the first idle
  On(WM_ENTERIDLE, [&](HWND, WPARAM, LPARAM lParam) {
    auto dialog = reinterpret_cast<HWND>(lParam);
    if (next == 0) opened = {GetDlgCtrlID(GetFocus()), Client(dialog)[2]};
    if (next == steps.size()) return;
    const int step = steps[next++];
    EXPECT_TRUE(step > 0 ? QueueClick(dialog, step)
                         : KelmiraInjectKey(WM_KEYDOWN, WPARAM(-step)) && KelmiraInjectKey(WM_KEYUP, WPARAM(-step)))
        << step;
  });
  const int yellow = kBasicFirstId + 9, add = kAddId, okId = IDOK;
  const COLORREF red = RGB(255, 0, 0), yellowRgb = RGB(255, 255, 0);
  const std::vector<int> typeGreen = {kRedId + 1, -VK_END, -VK_BACK, -'2', -'0', -'0', okId};
  // Flags, the preset, the steps; the answer, the colour, the first two custom colours, what opened.
  // clang-format off
  const std::tuple<DWORD, COLORREF, std::vector<int>, BOOL, COLORREF, std::pair<COLORREF, COLORREF>,
                   std::pair<int, LONG>> runs[] = {
      {CC_RGBINIT, RGB(0, 128, 128), {-VK_RIGHT, -VK_RETURN}, TRUE, RGB(0, 64, 128), {kGrey, kGrey}, {kTeal, 216}},
      {CC_RGBINIT, kGrey, {-VK_DOWN, -VK_ESCAPE}, FALSE, kGrey, {kGrey, kGrey}, {kCustomFirstId, 216}},
      {0, kOdd, {yellow, okId}, TRUE, yellowRgb, {kGrey, kGrey}, {kBlackId, 216}},
      {CC_RGBINIT, kOdd, {yellow, IDCANCEL}, FALSE, kOdd, {kGrey, kGrey}, {IDOK, 216}},
      {CC_FULLOPEN, kOdd, {kRedSwatch, add, yellow, add, IDCANCEL}, FALSE, kOdd, {kGrey, kGrey}, {kBlackId, 464}},
      {CC_FULLOPEN, kOdd, {kRedSwatch, add, yellow, add, okId}, TRUE, yellowRgb, {red, yellowRgb}, {kBlackId, 464}},
      {0, kOdd, {kDefineId, add, kCustomFirstId + 1, add, okId}, TRUE, kGrey, {0, kGrey}, {kBlackId, 216}},
      {CC_PREVENTFULLOPEN, kOdd, {kDefineId, okId}, TRUE, 0, {kGrey, kGrey}, {kBlackId, 216}},
      {CC_FULLOPEN, kOdd, typeGreen, TRUE, RGB(0, 200, 0), {kGrey, kGrey}, {kBlackId, 464}},
      {CC_ENABLEHOOK, kOdd, {yellow, kRedSwatch, okId}, TRUE, red, {kGrey, kGrey}, {kBlackId, 216}}};
  // clang-format on
  for (const auto& [flags, preset, script, answer, colour, custom, opens] : runs) {
    COLORREF array[kCustomCount] = {kGrey, kGrey};
    CHOOSECOLORA cc{sizeof cc, owner, nullptr, preset, array, flags, 0, &AppHook, nullptr};
    std::tie(steps, next, g_seen) = std::tuple(script, 0, AppHookSeen{});
    const BOOL ok = ChooseColorA(&cc);
    EXPECT_EQ(std::tuple(ok, cc.rgbResult, std::pair(array[0], array[1]), opened, next,
                         g_seen.init == (flags & CC_ENABLEHOOK ? &cc : nullptr), CommDlgExtendedError()),
              std::tuple(answer, colour, custom, opens, script.size(), true, DWORD{0}))
        << flags << " " << script.size();
  }
  // The last run's subclass saw every command, also the one its hook swallowed.
  EXPECT_EQ(g_seen.commands, 3);
  EXPECT_TRUE(IsWindowEnabled(owner));
}

// The wide dialog as it first shows: the selection frame, swatches, preview, field and bar.
TEST_F(ColourDialogTest, WidePicture) {
  HWND owner = Top(0, 0, 200, 100, kPopup, kBare);
  std::vector<COLORREF> seen;
  On(WM_ENTERIDLE, [&seen](HWND, WPARAM, LPARAM lParam) {
    auto dialog = reinterpret_cast<HWND>(lParam);
    auto at = [dialog](int id, int x, int y) { return WindowPixel(GetDlgItem(dialog, id), x, y); };
    seen = {at(kTeal, 0, 0),    at(kTeal, 12, 10),   at(kBasicFirstId, 12, 10), at(kPreviewId, 32, 22),
            at(kFieldId, 2, 2), at(kLumBarId, 2, 2), at(kLumBarId, 2, 169)};
    EndDialog(dialog, IDCANCEL);
  });
  COLORREF custom[kCustomCount] = {};
  const COLORREF teal = RGB(0, 128, 128);
  CHOOSECOLORA cc{sizeof cc, owner, nullptr, teal, custom, CC_RGBINIT | CC_FULLOPEN, 0, nullptr, nullptr};
  EXPECT_FALSE(ChooseColorA(&cc));
  EXPECT_EQ(seen, (std::vector{GetSysColor(COLOR_WINDOWTEXT), teal, RGB(255, 128, 128), teal, kRed, kWhite, kBlack}));
}

}  // namespace
}  // namespace kelmira::test
