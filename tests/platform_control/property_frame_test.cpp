// OleCreatePropertyFrame with fake pages, driven by keys and clicks injected when its loop tells
// the owner it is idle: bad arguments, the calls each page sees, which buttons apply what, tab
// switching, and what the frame looks like.
#include "support/canvas.h"
#include "support/recording_window.h"

#include <kelmira/platform/dialog_template.h>

#include <cstring>
#include <map>

namespace kelmira::test {
namespace {

// A property page over a dialog with an edit and a check box, made by class identifier: typing or
// clicking makes it dirty. Pages are numbered in the order they are made, titled "A" and "Second
// page", and log their calls into g_pageLog as the page's number and a letter: S SetPageSite (with
// the site's locale, 0 for none), O SetObjects (with the count), A Activate, D Deactivate, P Apply,
// R released.
constexpr CLSID kFakePageClsid = {0x6B1E0C11, 0x2A44, 0x4F0E, {0x9D, 0x51, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}};
std::string g_pageLog;
HRESULT g_applyResult = S_OK;
int g_pagesMade = 0;

class FakePage : public IPropertyPage {
 public:
  using Interfaces = InterfaceTable<IPropertyPage>;
  FakePage() : index_(g_pagesMade++) {}
  ~FakePage() { Log("R"); }

  HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override {
    LCID lcid = 0;
    return site_ = site, Log("S" + std::to_string(site && SUCCEEDED(site->GetLocaleID(&lcid)) ? lcid : 0));
  }
  HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT r, BOOL) override {
    DialogTemplateBuilder b(WS_CHILD | DS_CONTROL, 0, 0, 0, 0, 0, "", 8, "MS Sans Serif");
    b.AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 4, 4, 80, 12, 10, kEditClassAtom, "");
    b.AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 4, 22, 80, 12, 11, kButtonClassAtom, "&Check");
    hwnd_ = CreateDialogIndirectParamA(nullptr, b.Template(), parent, &Proc, 0);
    MoveWindow(hwnd_, r->left, r->top, r->right - r->left, r->bottom - r->top, FALSE);
    SetWindowLongPtrA(hwnd_, DWLP_USER, reinterpret_cast<LONG_PTR>(this));  // from here on, changes make it dirty
    return Log("A");
  }
  HRESULT STDMETHODCALLTYPE Deactivate() override { return DestroyWindow(hwnd_), Log("D"); }
  HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override {
    const char16_t titles[2][12] = {u"A", u"Second page"};
    info->pszTitle = static_cast<LPOLESTR>(std::memcpy(CoTaskMemAlloc(24), titles[index_ % 2], 24));
    return info->size = {200 + 40 * index_, 100 - 20 * index_}, S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetObjects(ULONG n, IUnknown**) override { return Log("O" + std::to_string(n)); }
  HRESULT STDMETHODCALLTYPE Show(UINT cmd) override { return ShowWindow(hwnd_, cmd), S_OK; }
  HRESULT STDMETHODCALLTYPE Move(LPCRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsPageDirty() override { return dirty_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE Apply() override { return dirty_ = FAILED(g_applyResult), Log("P"), g_applyResult; }
  HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }

 private:
  HRESULT Log(const std::string& call) { return g_pageLog += std::to_string(index_) + call + " ", S_OK; }
  static INT_PTR Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    auto* page = reinterpret_cast<FakePage*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (msg == WM_COMMAND && (HIWORD(wParam) == EN_CHANGE || HIWORD(wParam) == BN_CLICKED) && page)
      page->dirty_ = true, page->site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
    return FALSE;
  }

  int index_;
  IPropertyPageSite* site_ = nullptr;
  HWND hwnd_ = nullptr;
  bool dirty_ = false;
};

using PropertyFrame = WindowTest;

// Fresh pages and log (the page's class object is registered once), then the frame.
HRESULT ShowFrame(HWND owner, const CLSID* classes = nullptr, HRESULT applyResult = S_OK) {
  static ClassFactory factory{&Object<FakePage>::Create};
  static DWORD cookie = 0;
  if (!cookie) CoRegisterClassObject(kFakePageClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
  g_pageLog.clear(), g_applyResult = applyResult, g_pagesMade = 0;
  const CLSID twoPages[] = {kFakePageClsid, kFakePageClsid};
  IUnknown* objects[] = {nullptr};
  return OleCreatePropertyFrame(owner, 10, 20, u"Graph", 1, objects, 2, classes ? classes : twoPages, 1033, 0, 0);
}

HWND Frame() { return FindWindowA("#32770", "Graph Properties"); }
COLORREF Pixel(int x, int y) { return WindowPixel(Frame(), x, y); }

// a types into the focus, > Tab, space, R Return, E Escape, C Ctrl+Tab, P Alt+A (Apply's mnemonic);
// T clicks the second tab.
void Press(char key) {
  for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})  // the frame is at (110, 120)
    if (key == 'T') KelmiraInjectMouse(m, 110 + 60, 120 + 15, m == WM_LBUTTONDOWN);
  // clang-format off
  const std::map<char, std::vector<WPARAM>> keys{{'a', {'A'}}, {'>', {VK_TAB}}, {' ', {VK_SPACE}}, {'R', {VK_RETURN}},
      {'E', {VK_ESCAPE}}, {'C', {VK_CONTROL, VK_TAB}}, {'P', {VK_MENU, 'A'}}, {'T', {}}};
  // clang-format on
  for (UINT m : {WM_KEYDOWN, WM_KEYUP})
    for (WPARAM vk : keys.at(key)) KelmiraInjectKey(m, vk);
}

TEST_F(PropertyFrame, BadArgumentsAndPagesThatCannotBeMadeShowNothing) {
  const CLSID bad{0x0BADF00D, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
  const CLSID unknown[] = {kFakePageClsid, bad}, none[] = {bad, bad};
  EXPECT_EQ(OleCreatePropertyFrame(nullptr, 0, 0, nullptr, 1, nullptr, 1, unknown, 0, 0, nullptr), E_POINTER);
  EXPECT_EQ(OleCreatePropertyFrame(nullptr, 0, 0, nullptr, 0, nullptr, 1, nullptr, 0, 0, nullptr), E_POINTER);
  EXPECT_EQ(OleCreatePropertyFrame(nullptr, 0, 0, nullptr, 0, nullptr, 0, nullptr, 0, 0, nullptr), E_INVALIDARG);
  // Classes that are not registered are left out; with none left nothing is shown.
  EXPECT_EQ(std::tuple(ShowFrame(nullptr, none), g_pageLog), std::tuple(REGDB_E_CLASSNOTREG, ""));
  EXPECT_EQ(std::tuple(ShowFrame(nullptr, unknown), g_pageLog), std::tuple(S_OK, "0S1033 0O1 0A 0D 0O0 0S0 0R "));
}

// Keys as Press takes them, one each time the frame's loop goes idle. Before each key (and once
// after the last one while the frame is still up) the Apply button is recorded: A enabled,
// - disabled (X: the owner was enabled). A frame nobody drives closes as Cancel when its loop runs
// dry. Cancel applies nothing, OK and Apply only the dirty page; Tab reaches the page's check box;
// a page that fails to apply keeps the frame up; the second tab is reached by a click and left by
// Ctrl+Tab, and a page left while dirty is still applied. The pages see their set-up, then what the keys did, then
// their tear-down, and are released.
TEST_F(PropertyFrame, ButtonsApplyTheDirtyPagesAndTabsSwitch) {
  HWND owner = Top(100, 100, 300, 200, kPopup);
  std::vector<COLORREF> edges;  // the tops of the two tabs, as the first frame shows them
  // The keys, Apply's result, the Apply button seen, what the pages saw between set-up and tear-down.
  // clang-format off
  const std::tuple<const char*, HRESULT, std::string, std::string> cases[] = {
      {"", S_OK, "-", "0A 0D "},         {"aE", S_OK, "-A", "0A 0D "},      {"aR", S_OK, "-A", "0A 0P 0D "},
      {"> R", S_OK, "--A", "0A 0P 0D "}, {"aPE", S_OK, "-A-", "0A 0P 0D "}, {"aR", E_FAIL, "-AA", "0A 0P 0D "},
      {"TaR", S_OK, "--A", "0A 1A 1P 0D 1D "}, {"TCaR", S_OK, "---A", "0A 1A 0P 0D 1D "},
      {"aTCR", S_OK, "-AAA", "0A 1A 0P 0D 1D "}};
  // clang-format on
  for (const auto& [keys, apply, applyButton, log] : cases) {
    std::string seen, rest = keys;
    On(WM_ENTERIDLE, [&](HWND, WPARAM, LPARAM) {
      if (seen + rest == "") edges = {Pixel(12, 7), Pixel(60, 7), Pixel(60, 9)};
      seen += IsWindowEnabled(owner) ? 'X' : IsWindowEnabled(GetDlgItem(Frame(), 0x3021)) ? 'A' : '-';
      if (!rest.empty()) Press(rest.front()), rest.erase(0, 1);
    });
    EXPECT_EQ(ShowFrame(owner, nullptr, apply), S_OK);
    const std::string setUp = "0S1033 0O1 1S1033 1O1 ", tearDown = "0O0 0S0 1O0 1S0 0R 1R ";
    EXPECT_EQ(std::tuple(seen, g_pageLog, IsWindowEnabled(owner)),
              std::tuple(applyButton, setUp + log + tearDown, TRUE))
        << keys;
  }
  // The current tab stands 2 pixels above the other one.
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(edges, (std::vector<COLORREF>{light, GetSysColor(COLOR_BTNFACE), light}));
}

}  // namespace
}  // namespace kelmira::test
