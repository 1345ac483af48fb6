// OleCreatePropertyFrame with fake pages, driven by keys and clicks injected while its loop is
// idle: bad arguments, the calls each page sees, which buttons apply what, tab switching, and
// what the frame looks like.
#include "support/canvas.h"
#include "support/fake_property_page.h"
#include "support/recording_window.h"

#include <string>
#include <vector>

namespace kelmira::test {
namespace {

constexpr int kApply = 0x3021;

// Every test starts with fresh pages and drives the frame through g_idleSteps.
class PropertyFrame : public WindowTest {
  void SetUp() override {
    WindowTest::SetUp();
    ResetFakePages();
    KelmiraSetIdleHook(&RunIdleStep, nullptr);
  }
};

HRESULT ShowFrame(HWND owner, const CLSID* classes = nullptr) {
  const CLSID twoPages[] = {kFakePageClsid, kFakePageClsid};
  IUnknown* objects[] = {nullptr};
  HRESULT hr = OleCreatePropertyFrame(owner, 10, 20, u"Graph", 1, objects, 2, classes ? classes : twoPages, 1033, 0, 0);
  return g_idleSteps.clear(), hr;
}

HWND Frame() { return FindWindowA("#32770", "Graph Properties"); }

void Click(HWND hwnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(hwnd, &p);
  for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) KelmiraInjectMouse(m, p.x, p.y, m == WM_LBUTTONDOWN);
}

// Letters type into the focus, > Tab, space, R Return, E Escape, P clicks Apply, T clicks the
// second tab, C Ctrl+Tab.
void Press(char key) {
  const Edges apply = WindowTest::Screen(GetDlgItem(Frame(), kApply)), at = WindowTest::Screen(Frame());
  if (key == 'T' || key == 'P')
    return Click(Frame(), key == 'T' ? 60 : apply[0] - at[0] + 5, key == 'T' ? 15 : apply[1] - at[1] + 5);
  const std::string named = "> REC";
  const WPARAM codes[] = {VK_TAB, VK_SPACE, VK_RETURN, VK_ESCAPE, VK_TAB};
  const WPARAM code = named.find(key) == std::string::npos ? WPARAM(key - 32) : codes[named.find(key)];
  if (key == 'C') KelmiraInjectKey(WM_KEYDOWN, VK_CONTROL);
  KelmiraInjectKey(WM_KEYDOWN, code), KelmiraInjectKey(WM_KEYUP, code);
  if (key == 'C') KelmiraInjectKey(WM_KEYUP, VK_CONTROL);
}

TEST_F(PropertyFrame, BadArgumentsAndPagesThatCannotBeMadeShowNothing) {
  const CLSID unknown[] = {kFakePageClsid, {0x0BADF00D, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}}};
  const std::pair<HRESULT, HRESULT> cases[] = {
      {OleCreatePropertyFrame(nullptr, 0, 0, nullptr, 1, nullptr, 1, unknown, 0, 0, nullptr), E_POINTER},
      {OleCreatePropertyFrame(nullptr, 0, 0, nullptr, 0, nullptr, 1, nullptr, 0, 0, nullptr), E_POINTER},
      {OleCreatePropertyFrame(nullptr, 0, 0, nullptr, 0, nullptr, 0, nullptr, 0, 0, nullptr), E_INVALIDARG},
      {ShowFrame(nullptr, unknown), REGDB_E_CLASSNOTREG}};
  for (auto [got, expected] : cases) EXPECT_EQ(got, expected);
  // The page that was made is released untouched.
  EXPECT_EQ((std::tuple{g_pages.made, g_pages.alive, g_pages.log.empty()}), std::tuple(1, 0, true));
}

// Nobody drives the frame but for one click on the second tab: it closes as Cancel when the loop
// runs dry, and each page has seen its whole life in order. Meanwhile the current tab's top edge
// stands 2 pixels above the other one's.
TEST_F(PropertyFrame, PagesSeeTheirLifeInOrderAndTheOwnerIsDisabledMeanwhile) {
  HWND owner = Top(100, 100, 300, 200, kPopup);
  std::vector<COLORREF> seen;
  g_idleSteps = {[&] {
    DumpWindow(Frame(), "frame");
    for (auto [x, y] : {std::pair{12, 7}, {60, 7}, {60, 9}}) seen.push_back(WindowPixel(Frame(), x, y));
    seen.push_back(IsWindowEnabled(owner));
    Press('T');
  }};
  EXPECT_EQ(ShowFrame(owner), S_OK);
  EXPECT_EQ(g_pages.log,
            (std::vector<std::string>{"0 SetPageSite 1033", "0 SetObjects 1", "1 SetPageSite 1033", "1 SetObjects 1",
                                      "0 Activate", "0 Show", "0 Deactivate", "1 Activate", "1 Show", "1 Deactivate",
                                      "0 SetObjects 0", "0 SetPageSite 0", "1 SetObjects 0", "1 SetPageSite 0"}));
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ((std::tuple{seen, IsWindowEnabled(owner), Frame(), g_pages.alive}),
            std::tuple(std::vector<COLORREF>{light, face, light, FALSE}, TRUE, HWND{}, 0));
}

// Keys as Press takes them. Before each key (and once after the last one while the frame is
// still up) the Apply button is recorded: A enabled, - disabled. Cancel and Escape apply nothing,
// OK and Apply only the dirty page; Tab reaches the page's check box; a page that fails to apply
// keeps the frame up; the second tab is reached by a click and left by Ctrl+Tab.
TEST_F(PropertyFrame, ButtonsApplyTheDirtyPagesAndTabsSwitch) {
  // The keys, Apply's result, the Apply button seen, the pages applied.
  const std::tuple<const char*, HRESULT, std::string, std::string> cases[] = {
      {"E", S_OK, "-", ""},      {"aE", S_OK, "-A", ""},     {"aR", S_OK, "-A", "0"},   {"> R", S_OK, "--A", "0"},
      {"aPE", S_OK, "-A-", "0"}, {"aR", E_FAIL, "-AA", "0"}, {"TaR", S_OK, "--A", "1"}, {"TCaR", S_OK, "---A", "0"}};
  for (const auto& [keys, apply, applyButton, applied] : cases) {
    ResetFakePages();
    g_pages.applyResult = apply;
    std::string seen;
    const auto record = [&seen] { seen += IsWindowEnabled(GetDlgItem(Frame(), kApply)) ? 'A' : '-'; };
    for (const char* k = keys; *k; ++k) g_idleSteps.push_back([record, key = *k] { record(), Press(key); });
    g_idleSteps.push_back(record);
    EXPECT_EQ(ShowFrame(nullptr), S_OK);
    EXPECT_EQ(std::pair(seen, g_pages.applied), std::pair(applyButton, applied)) << keys;
  }
}

}  // namespace
}  // namespace kelmira::test
