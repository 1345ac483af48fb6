// The graph property page: fields loaded from the first graph and applied to every graph, the
// auto-precision rule, numbers and decimals as the page reads them, the grid-style list, the
// colour swatches and the colour dialog, and the page's interface contract.
#include "support/canvas.h"
#include "support/create.h"
#include "support/hosted_control.h"
#include "support/page_site_recorder.h"
#include "support/property.h"
#include "support/injected_input.h"
#include "support/pump.h"
#include "support/recording_window.h"
#include "support/variant_values.h"

#include <string>
#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

constexpr RECT kPageRect{0, 0, 490, 400};

std::string FieldText(HWND page, int id) {
  char text[300] = {};
  GetDlgItemTextA(page, id, text, sizeof text);
  return text;
}

template <class I>
void PutTitle(I* target, const char16_t* text) {
  Bstr title(text);
  ASSERT_EQ(target->put_Title(title.get()), S_OK);
}

template <class I>
std::u16string TitleOf(I* target) {
  Bstr title;
  EXPECT_EQ(target->get_Title(&title), S_OK);
  return TextOf(title.get());
}

// A page over the given graphs, activated and shown in a frame window, with a recording site.
struct OpenPage {
  explicit OpenPage(std::vector<ComPtr<ILineGraph>> shown) : graphs(std::move(shown)) {
    std::vector<IUnknown*> objects;
    for (auto& g : graphs) objects.push_back(g.get());
    EXPECT_EQ(page->SetPageSite(&site), S_OK);
    EXPECT_EQ(page->SetObjects(static_cast<ULONG>(objects.size()), objects.data()), S_OK);
    EXPECT_EQ(page->Activate(frame, &kPageRect, TRUE), S_OK);
    window = GetWindow(frame, GW_CHILD);
    page->Show(SW_SHOW);
    Pump();
  }
  ~OpenPage() {
    page->Deactivate();
    page->SetObjects(0, nullptr);
    page->SetPageSite(nullptr);
    DestroyWindow(frame);
  }
  void Type(int id, const char* text) { SetDlgItemTextA(window, id, text); }
  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(window, id)); }

  std::vector<ComPtr<ILineGraph>> graphs;
  ComPtr<IPropertyPage> page = Create<IPropertyPage>(CLSID_BaseGraphPropPage);
  PageSiteRecorder site;
  HWND frame = MakeFrame(kPageRect.right, kPageRect.bottom);
  HWND window = nullptr;
};

ComPtr<ILineGraph> NewGraph() { return Create<ILineGraph>(CLSID_LineGraph); }

std::vector<IAxis*> Axes(ILineGraph* g, std::vector<ComPtr<IAxis>>& keep) {
  ComPtr<IXAxis> x;
  ComPtr<IYAxis> y, right;
  g->get_XAxis(&x), g->get_YAxis(&y), g->get_RightYAxis(&right);
  keep = {ComPtr<IAxis>(x.get()), ComPtr<IAxis>(y.get()), ComPtr<IAxis>(right.get())};
  return {keep[0].get(), keep[1].get(), keep[2].get()};
}

TEST(GraphPropPage, OpensWithTheFirstGraphsSettingsAndAppliesThemUnchanged) {
  auto g = NewGraph();
  std::vector<ComPtr<IAxis>> keep;
  const std::vector<IAxis*> axes = Axes(g.get(), keep);
  PutTitle(g.get(), u"Pressure");
  PutTitle(axes[0], u"Time");
  PutTitle(axes[1], u"Volts");
  PutTitle(axes[2], u"Flow");
  for (IAxis* a : axes) a->put_Precision(-1);
  g->put_TitleVisible(0), g->put_Border(VARIANT_TRUE), g->put_TickLength(5), g->put_XAxisSize(40);
  g->SetExtents(0.004, 250.5, -3, 3), g->SetLimits(1, 2, -1.25, 1.255);
  g->put_GridStepX(2.5), g->put_BackColor(0x00336699), g->put_GridColor(0x00FF0000), g->put_TextColor(0x00123456);
  OpenPage p({g});

  const std::vector<std::pair<int, std::string>> fields = {
      {208, "Pressure"}, {210, "Time"}, {212, "Volts"}, {235, "Flow"}, {215, "0"},      {216, "0"},     {237, "0"},
      {214, "5"},        {233, "40"},   {234, "70"},    {217, "0.00"}, {218, "250.50"}, {219, "-3.00"}, {220, "3.00"},
      {221, "1.00"},     {222, "2.00"}, {223, "-1.25"}, {224, "1.25"}, {225, "2.50"},   {226, "10.00"}};
  for (const auto& [id, text] : fields) EXPECT_EQ(FieldText(p.window, id), text) << "field " << id;
  const std::vector<std::pair<int, UINT>> checks = {{209, BST_UNCHECKED}, {211, BST_CHECKED}, {213, BST_CHECKED},
                                                    {236, BST_CHECKED},   {244, BST_CHECKED}, {243, BST_CHECKED}};
  for (const auto& [id, state] : checks) EXPECT_EQ(IsDlgButtonChecked(p.window, id), state) << "check box " << id;
  EXPECT_FALSE(p.Enabled(215) || p.Enabled(216) || p.Enabled(237));
  EXPECT_EQ(p.page->IsPageDirty(), S_FALSE);
  EXPECT_EQ(p.site.statuses, (std::vector<DWORD>{PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE, 0}));

  ASSERT_EQ(p.page->Apply(), S_OK);
  for (IAxis* a : axes) EXPECT_EQ(Get(a, &IAxis::get_Precision), -1);
  EXPECT_EQ(
      std::tuple(TitleOf(g.get()), TitleOf(axes[0]), TitleOf(axes[2]), Get(g.get(), &IGraphBase::get_TitleVisible),
                 Get(g.get(), &IGraphBase::get_Border), Get(g.get(), &IGraphBase::get_TickLength),
                 Get(g.get(), &IGraphBase::get_XAxisSize), Get(g.get(), &IGraphBase::get_YAxisSize)),
      std::tuple(std::u16string(u"Pressure"), std::u16string(u"Time"), std::u16string(u"Flow"), VARIANT_FALSE,
                 VARIANT_TRUE, 5, 40, 70));
  EXPECT_EQ(std::tuple(Get(g.get(), &IGraphBase::get_BackColor), Get(g.get(), &IGraphBase::get_GridColor),
                       Get(g.get(), &IGraphBase::get_TextColor)),
            std::tuple(OLE_COLOR{0x336699}, OLE_COLOR{0xFF0000}, OLE_COLOR{0x123456}));
  // Decimals go back rounded to two places.
  double v[8];
  g->GetExtents(&v[0], &v[1], &v[2], &v[3]), g->GetLimits(&v[4], &v[5], &v[6], &v[7]);
  EXPECT_EQ(std::vector(v, v + 8), (std::vector<double>{0, 250.5, -3, 3, 1, 2, -1.25, 1.25}));
}

TEST(GraphPropPage, AppliesWhatWasTypedToEveryGraph) {
  auto first = NewGraph(), second = NewGraph();
  PutTitle(second.get(), u"Second");
  second->put_BackColor(0x00FF00FF);
  first->put_BackColor(0x0000FF00);
  std::vector<ComPtr<IAxis>> firstAxes;
  for (IAxis* a : Axes(first.get(), firstAxes)) a->put_Precision(-2);
  OpenPage p({first, second});
  ASSERT_EQ(FieldText(p.window, 208), "Graph");

  SendDlgItemMessageA(p.window, 244, BM_CLICK, 0, 0);  // untick auto-precision
  EXPECT_TRUE(p.Enabled(215) && p.Enabled(216) && p.Enabled(237));
  const std::vector<std::pair<int, const char*>> typed = {{208, "Typed"}, {215, "3"},     {237, "12"},
                                                          {214, "7"},     {217, "abc"},   {218, "1e1x"},
                                                          {219, " -2.5"}, {226, "0.125"}, {234, "-9"}};
  for (const auto& [id, text] : typed) p.Type(id, text);
  EXPECT_EQ(p.page->IsPageDirty(), S_OK);
  ASSERT_EQ(p.page->Apply(), S_OK);
  EXPECT_EQ(p.page->IsPageDirty(), S_FALSE);

  for (auto& g : p.graphs) {
    std::vector<ComPtr<IAxis>> keep;
    const std::vector<IAxis*> axes = Axes(g.get(), keep);
    EXPECT_EQ(TitleOf(g.get()), u"Typed");
    EXPECT_EQ(std::tuple(Get(axes[0], &IAxis::get_Precision), Get(axes[1], &IAxis::get_Precision),
                         Get(axes[2], &IAxis::get_Precision)),
              std::tuple(3, 0, 12));
    double e[4];
    g->GetExtents(&e[0], &e[1], &e[2], &e[3]);
    EXPECT_EQ(std::vector(e, e + 4), (std::vector<double>{0.0, 10.0, -2.5, 100.0}));
    EXPECT_EQ(std::tuple(Get(g.get(), &IGraphBase::get_TickLength), Get(g.get(), &IGraphBase::get_GridStepY),
                         Get(g.get(), &IGraphBase::get_BackColor)),
              std::tuple(7, 0.125, OLE_COLOR{0x00FF00}));
  }
  // The numbers-only width field refuses the minus sign as it is typed, but text set by message
  // still reads as a signed number.
  EXPECT_EQ(Get(p.graphs[0].get(), &IGraphBase::get_YAxisSize), -9);
}

TEST(GraphPropPage, GridStyleListShowsWhatTheGridDraws) {
  struct Row {
    LONG style;
    const char* shown;
    LONG applied;  // the style after an Apply without changes
  };
  const Row rows[] = {{0, "Solid", 0}, {1, "Dashed", 1}, {2, "Dotted", 2}, {7, "Dotted", 2}};
  for (const Row& row : rows) {
    auto g = NewGraph();
    g->put_GridStyle(row.style);
    OpenPage p({g});
    char shown[32] = {};
    GetDlgItemTextA(p.window, 242, shown, sizeof shown);
    EXPECT_STREQ(shown, row.shown) << "style " << row.style;
    p.page->Apply();
    EXPECT_EQ(Get(g.get(), &IGraphBase::get_GridStyle), row.applied) << "style " << row.style;
  }
  auto g = NewGraph();
  OpenPage p({g});
  for (auto [position, style] : {std::pair{0, 0}, {1, 2}, {2, 1}}) {
    SendDlgItemMessageA(p.window, 242, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    p.page->Apply();
    EXPECT_EQ(Get(g.get(), &IGraphBase::get_GridStyle), style) << "position " << position;
  }
}

TEST(GraphPropPage, SwatchesShowTheirColoursAtTheirPlaces) {
  auto g = NewGraph();
  g->put_BackColor(kRed), g->put_GridColor(0x00FF0000);
  OpenPage p({g});
  // Swatch 228 sits at (236, 188) dialog units, 40 x 13: red inside its one-pixel sunken edge.
  RECT swatch{236, 188, 276, 201};
  MapDialogRect(p.window, &swatch);
  RECT placed{};
  GetWindowRect(GetDlgItem(p.window, 228), &placed);
  MapWindowPoints(nullptr, p.window, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(std::tuple(placed.left, placed.top, placed.right, placed.bottom),
            std::tuple(swatch.left, swatch.top, swatch.right, swatch.bottom));
  PixelSet red;
  for (int y = swatch.top; y < swatch.bottom; ++y)
    for (int x = swatch.left; x < swatch.right; ++x)
      if (WindowPixel(p.window, x, y) == kRed) red.insert({x, y});
  EXPECT_EQ(red.size(), static_cast<std::size_t>((swatch.right - swatch.left - 2) * (swatch.bottom - swatch.top - 2)))
      << DumpWindow(p.frame, "page");
  HWND grid = GetDlgItem(p.window, 229);
  EXPECT_EQ(WindowPixel(grid, 5, 5), kBlue);
  // The edits keep their own white, the page its face colour.
  EXPECT_EQ(WindowPixel(GetDlgItem(p.window, 208), 5, 5), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(WindowPixel(p.window, 2, 2), GetSysColor(COLOR_BTNFACE));
}

// What the colour dialog was asked, and how the hook answers.
struct ColourRequests {
  static int Answer(CHOOSECOLORA* request, void* context) {
    auto* self = static_cast<ColourRequests*>(context);
    self->seen.push_back({request->Flags, request->rgbResult, request->lpCustColors[5], request->hwndOwner});
    request->rgbResult = self->chosen;
    request->lpCustColors[5] = 0x00123456;
    return self->answer;
  }
  struct Seen {
    DWORD flags;
    COLORREF preset, custom5;
    HWND owner;
  };
  int answer = IDCANCEL;
  COLORREF chosen = kGreen;
  std::vector<Seen> seen;
};

TEST(GraphPropPage, SwatchButtonsChooseColoursThroughTheSharedDialog) {
  auto g = NewGraph();
  g->put_BackColor(kBlue), g->put_GridColor(kBlack);
  OpenPage p({g});
  ColourRequests requests;
  KelmiraSetChooseColorHook(&ColourRequests::Answer, &requests);
  auto click = [&](int button) { SendDlgItemMessageA(p.window, button, BM_CLICK, 0, 0); };

  click(230);  // black: no preset; cancelled: nothing changes
  EXPECT_EQ(p.page->IsPageDirty(), S_FALSE);
  EXPECT_EQ(WindowPixel(GetDlgItem(p.window, 229), 5, 5), kBlack);
  requests.answer = IDOK;
  click(227);  // blue: preset and selected; OK takes green and keeps the custom colour
  Pump();
  EXPECT_EQ(WindowPixel(GetDlgItem(p.window, 228), 5, 5), kGreen);
  EXPECT_EQ(p.page->IsPageDirty(), S_OK);
  click(231);  // the custom colour defined before is offered again
  KelmiraSetChooseColorHook(nullptr, nullptr);

  ASSERT_EQ(requests.seen.size(), 3u);
  const auto flags = [&](std::size_t i) { return requests.seen[i].flags & (CC_RGBINIT | CC_ENABLEHOOK); };
  EXPECT_EQ(std::tuple(flags(0), flags(1), requests.seen[1].preset, requests.seen[2].custom5, requests.seen[0].owner),
            std::tuple(DWORD{CC_ENABLEHOOK}, CC_RGBINIT | CC_ENABLEHOOK, kBlue, COLORREF{0x123456}, p.window));
  ASSERT_EQ(p.page->Apply(), S_OK);
  EXPECT_EQ(std::tuple(Get(g.get(), &IGraphBase::get_BackColor), Get(g.get(), &IGraphBase::get_GridColor),
                       Get(g.get(), &IGraphBase::get_TextColor)),
            std::tuple(kGreen, kBlack, kGreen));

  // The real dialog, with the page's subclassing hook, answered by its default button when
  // nobody drives it: the colour stays.
  click(230);
  EXPECT_EQ(WindowPixel(GetDlgItem(p.window, 229), 5, 5), kBlack);
}

TEST(GraphPropPage, InterfaceContract) {
  auto page = Create<IPropertyPage>(CLSID_BaseGraphPropPage);
  PageSiteRecorder site, other;
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(page->SetPageSite(&site), S_OK);
  EXPECT_EQ(page->SetPageSite(&other), E_UNEXPECTED);
  const std::vector<std::pair<HRESULT, HRESULT>> calls = {{page->Show(SW_SHOW), E_UNEXPECTED},
                                                          {page->Move(&r), E_UNEXPECTED},
                                                          {page->Move(nullptr), E_POINTER},
                                                          {page->Activate(nullptr, nullptr, TRUE), E_POINTER},
                                                          {page->SetObjects(1, nullptr), E_POINTER},
                                                          {page->GetPageInfo(nullptr), E_POINTER},
                                                          {page->TranslateAccelerator(nullptr), E_POINTER},
                                                          {page->Apply(), S_OK},
                                                          {page->IsPageDirty(), S_FALSE},
                                                          {page->Help(nullptr), E_NOTIMPL}};
  for (std::size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i].first, calls[i].second) << "call " << i;

  PROPPAGEINFO info{};
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  EXPECT_EQ(std::tuple(std::u16string(info.pszTitle), std::u16string(info.pszHelpFile),
                       std::u16string(info.pszDocString), info.cb),
            std::tuple(std::u16string(u"Line graph"), std::u16string(u"Help File Name"),
                       std::u16string(u"Your Help String"), ULONG{sizeof info}));
  for (LPOLESTR s : {info.pszTitle, info.pszHelpFile, info.pszDocString}) CoTaskMemFree(s);

  // The reported size is the template's 323 x 241 units in the page's own font.
  HWND frame = MakeFrame();
  ASSERT_EQ(page->Activate(frame, &r, TRUE), S_OK);
  EXPECT_EQ(page->Activate(frame, &r, TRUE), E_UNEXPECTED);
  HWND window = GetWindow(frame, GW_CHILD);
  RECT units{0, 0, 323, 241};
  MapDialogRect(window, &units);
  EXPECT_EQ(std::tuple(info.size.cx, info.size.cy), std::tuple(units.right, units.bottom));
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  SetWindowLongPtrA(window, GWL_EXSTYLE, 0);
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  MSG paint{window, WM_PAINT, 0, 0, 0, {}};
  EXPECT_EQ(page->TranslateAccelerator(&paint), S_FALSE);
  // No object offers IGraphBase: the fields stay empty and Apply changes nothing.
  EXPECT_EQ(FieldText(window, 208), "");
  EXPECT_EQ(page->Deactivate(), S_OK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(page->SetPageSite(nullptr), S_OK);
  EXPECT_EQ(site.refs, 1u);
  DestroyWindow(frame);
}

// The page in the platform's property frame, as a host shows it from the graph's own page list:
// a click into the title, typing, a click on a check box and Return apply to the graph.
using GraphPropPageInFrame = WindowTest;

HWND PageOf(HWND frame) {
  for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetDlgItem(child, 208)) return child;
  return nullptr;
}

TEST_F(GraphPropPageInFrame, TypingAndOkApplyToTheGraph) {
  auto g = NewGraph();
  g->put_GridStyle(1), g->put_BackColor(0x00DDEEFF);
  ComPtr<ISpecifyPropertyPages> specify;
  ASSERT_EQ(g->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify)), S_OK);
  CAUUID pages{};
  ASSERT_EQ(specify->GetPages(&pages), S_OK);
  HWND owner = Top(40, 40, 600, 500, kPopup);
  std::string keys = "C*TR";  // click the title, select all and type, click "Title", Return
  On(WM_ENTERIDLE, [&](HWND, WPARAM, LPARAM) {
    HWND page = PageOf(FindWindowA("#32770", "LineGraph Properties"));
    if (keys.empty() || !page) return;
    const char key = keys.front();
    keys.erase(0, 1);
    if (key == 'C' || key == 'T') QueueClick(page, key == 'C' ? 208 : 209);
    for (WPARAM vk : key == '*'   ? std::vector<WPARAM>{VK_CONTROL, 'A', 'V', 'O', 'L', 'T'}
                     : key == 'R' ? std::vector<WPARAM>{VK_RETURN}
                                  : std::vector<WPARAM>{}) {
      KelmiraInjectKey(WM_KEYDOWN, vk);
      if (vk != VK_CONTROL) KelmiraInjectKey(WM_KEYUP, vk);
      if (vk == 'A') KelmiraInjectKey(WM_KEYUP, VK_CONTROL);
    }
  });
  IUnknown* objects[] = {g.get()};
  EXPECT_EQ(OleCreatePropertyFrame(owner, 10, 10, u"LineGraph", 1, objects, pages.cElems, pages.pElems, 0, 0, nullptr),
            S_OK);
  CoTaskMemFree(pages.pElems);
  EXPECT_EQ(keys, "");
  EXPECT_EQ(std::tuple(TitleOf(g.get()), Get(g.get(), &IGraphBase::get_TitleVisible),
                       Get(g.get(), &IGraphBase::get_GridStyle), Get(g.get(), &IGraphBase::get_BackColor)),
            std::tuple(std::u16string(u"volt"), VARIANT_FALSE, 1, OLE_COLOR{0xDDEEFF}));
}

}  // namespace
}  // namespace kelmira::test
