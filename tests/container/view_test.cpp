// The view: validation of the limits, right-Y limits, view events, the screen conversions, and the
// persisted size, limits and extents (raw entries in map order; no property pages).
#include "support/create.h"
#include "support/event_recorder.h"
#include "support/hosted_control.h"
#include "support/memory_stream.h"
#include "support/property.h"
#include "support/view_limits.h"

#include <cmath>
#include <cstring>
#include <tuple>

namespace kelmira::test {
namespace {

constexpr DISPID kOnViewChanged = 2;

TEST(ViewTest, SetLimitsFollowsTheOneValidationRuleAndRaisesTheViewEvent) {
  auto c = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  EXPECT_EQ(Extents(c.get()), (View{0, 100, 0, 100}));  // before the first SetExtents
  const View cases[][2] = {
      {{5, 5, 0, 100}, {5, 5.001, 0, 100}},         // minimum width from XMin
      {{-20, 30, 0, 100}, {0, 50, 0, 100}},         // moved right
      {{80, 130, 0, 100}, {50, 100, 0, 100}},       // moved left
      {{-50, 150, 0, 100}, {0, 100, 0, 100}},       // shrunk to the extents
      {{30, 10, 0, 100}, {30, 30.001, 0, 100}},     // reversed
      {{0, 100, 100, 100}, {0, 100, 99.999, 100}},  // minimum height, then moved inside
  };
  for (const auto& k : cases) {
    ASSERT_EQ(c->SetLimits(k[0][0], k[0][1], k[0][2], k[0][3]), S_OK);
    const View got = Limits(c.get());
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(got[i], k[1][i]) << k[0][0] << ".." << k[0][1] << " field " << i;
  }
  c->SetExtents(0, 0.0001, 0, 1);  // extents below the minimum win
  EXPECT_EQ(Limits(c.get()), (View{0, 0.0001, 0, 1}));

  double lo = -1, hi = -1;
  for (auto [setLo, setHi, wantLo, wantHi] : {std::tuple(0.0, 0.0, 0.0, 100.0), {5, 5, 5, 6}, {7, 3, 7, 8}}) {
    if (setLo != 0) c->SetRightYLimits(setLo, setHi);  // the first row reads the defaults
    c->GetRightYLimits(&lo, &hi);
    EXPECT_EQ(std::pair(lo, hi), std::pair(wantLo, wantHi)) << setLo << " " << setHi;
  }

  // View events, and numbers that are not finite.
  auto sink = EventRecorder::Make();
  sink->Advise(c.get(), DIID_IGraphicsEvents);
  c->SetExtents(0, 10, -5, 5);
  EXPECT_EQ(std::pair(sink->Ids(), Limits(c.get())),
            std::pair(std::vector<DISPID>{kOnViewChanged}, View{0, 10, -5, 5}));
  c->SetLimits(0, 10, -5, 5);                   // unchanged still raises
  EXPECT_EQ(c->SetRightYLimits(0, NAN), S_OK);  // raises nothing; 0 < NaN is false: one unit up
  EXPECT_EQ(sink->Ids(), (std::vector<DISPID>{kOnViewChanged, kOnViewChanged}));

  // Stored through the rule and raised like any other values.
  sink->Clear();
  EXPECT_EQ(c->SetLimits(NAN, 1, 0, 1), S_OK);
  const View nan = Limits(c.get());
  EXPECT_TRUE(std::isnan(nan[0]) && nan[1] == 1);  // NaN passes every step
  EXPECT_EQ(c->SetExtents(0, INFINITY, 0, 1), S_OK);
  EXPECT_EQ(std::pair(Extents(c.get()), Limits(c.get())), std::pair(View{0, INFINITY, 0, 1}, View{0, INFINITY, 0, 1}));
  c->SetExtents(-1.5e308, 1.5e308, 0, 1);
  EXPECT_EQ(c->SetLimits(-1.6e308, 1e308, 0, 1), S_OK);  // the width overflows: moved, then shrunk
  EXPECT_EQ(std::pair(Limits(c.get()), sink->Ids()),
            std::pair(View{-INFINITY, 1.5e308, 0, 1}, std::vector<DISPID>(4, kOnViewChanged)));
  c->GetRightYLimits(&lo, &hi);
  EXPECT_EQ(std::pair(lo, hi), std::pair(0.0, 1.0));  // kept whatever happened to the view
  EXPECT_EQ(c->GetLimits(nullptr, nullptr, nullptr, nullptr), E_POINTER);
}

// LogicalToScreen's answer and screen point (it succeeds whatever the values); ScreenToLogical's
// answer and logical point. Outputs start at 7.
std::tuple<VARIANT_BOOL, LONG, LONG> ToScreen(IGraphicsContainer* c, double x, double y) {
  LONG sx = 7, sy = 7;
  VARIANT_BOOL ok = 7;
  EXPECT_EQ(c->LogicalToScreen(x, y, &sx, &sy, &ok), S_OK);
  return {ok, sx, sy};
}
std::tuple<VARIANT_BOOL, double, double> ToLogical(IGraphicsContainer* c, LONG sx, LONG sy) {
  double x = 7, y = 7;
  VARIANT_BOOL ok = 7;
  c->ScreenToLogical(sx, sy, &x, &y, &ok);
  return {ok, x, y};
}

TEST(ViewTest, ConversionsFollowTheClientAreaOnTheScreen) {
  constexpr int kX = HostedControl::kFrameX, kY = HostedControl::kFrameY;
  HostedContainer hosted(200, 100);
  IGraphicsContainer* c = hosted.container.get();
  EXPECT_EQ(ToScreen(c, 50, 0), std::tuple(VARIANT_TRUE, kX + 100, kY + 99));  // YMin on the bottom row
  EXPECT_EQ(ToLogical(c, kX + 100, kY + 99), std::tuple(VARIANT_TRUE, 50.0, 0.0));
  EXPECT_EQ(ToScreen(c, 50.45, 98.5), std::tuple(VARIANT_TRUE, kX + 100, kY));  // 200.9 and 50.5 truncate
  EXPECT_EQ(std::get<1>(ToScreen(c, -50.25, 0)), kX - 100);                     // -100.5 truncates toward zero
  EXPECT_EQ(ToScreen(c, 1e300, -1e300), std::tuple(VARIANT_TRUE, INT32_MAX, INT32_MAX));
  EXPECT_EQ(ToScreen(c, NAN, INFINITY), std::tuple(VARIANT_TRUE, INT32_MIN, INT32_MIN));

  // A zero-width view (minimum 0) maps as one unit: nothing infinite comes out.
  c->put_MinZoomX(0.0);
  c->SetLimits(40, 40, 0, 100);
  EXPECT_EQ(std::get<1>(ToScreen(c, 40, 0)), kX);
  EXPECT_DOUBLE_EQ(std::get<1>(ToLogical(c, kX + 100, 60)), 40.5);

  // Without a window: FALSE and the outputs left alone.
  auto alone = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  EXPECT_EQ(Get(alone.get(), &IGraphicsContainer::get_hwnd), 0);
  EXPECT_EQ(ToLogical(alone.get(), 1, 2), std::tuple(VARIANT_FALSE, 7.0, 7.0));
}

using Bytes = std::vector<BYTE>;

HRESULT Load(const ComPtr<IGraphicsContainer>& c, const Bytes& bytes) {
  return c.As<IPersistStreamInit>()->Load(StreamOf(bytes).get());
}

TEST(PersistTest, LimitsGoBeforeTheExtentsAndLoadBackExactly) {
  auto c = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  c->SetExtents(0, 10, 0, 1);
  c->SetLimits(2, 4, 0, 1);
  EXPECT_EQ(c.As<IPersistStorage>()->IsDirty(), S_FALSE);  // changing the view does not mark the control
  CAUUID pages{};
  c.As<ISpecifyPropertyPages>()->GetPages(&pages);
  EXPECT_EQ(pages.cElems, 0u);

  ComPtr<IStream> stream = StreamOf();
  ASSERT_EQ(c.As<IPersistStreamInit>()->Save(stream.get(), TRUE), S_OK);
  Bytes bytes = BytesOf(stream.get());
  ASSERT_EQ(bytes.size(), 2u + 4 + 4 + 8 * 8);  // version word, _cx, _cy, eight doubles
  const double expected[] = {2, 4, 0, 1, 0, 10, 0, 1};
  EXPECT_EQ(std::memcmp(bytes.data() + 10, expected, sizeof expected), 0);

  auto loaded = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto sink = EventRecorder::Make();
  sink->Advise(loaded.get(), DIID_IGraphicsEvents);
  ASSERT_EQ(Load(loaded, bytes), S_OK);
  EXPECT_EQ(std::pair(Limits(loaded.get()), Extents(loaded.get())), std::pair(View{2, 4, 0, 1}, View{0, 10, 0, 1}));
  EXPECT_TRUE(sink->Calls().empty());

  // Limits outside the extents are kept as loaded until the next SetLimits.
  const double outside[] = {150, 250};
  std::memcpy(bytes.data() + 10, outside, sizeof outside);
  ASSERT_EQ(Load(loaded, bytes), S_OK);
  EXPECT_EQ(Limits(loaded.get())[1], 250.0);
  loaded->SetLimits(150, 250, 0, 1);
  EXPECT_EQ(Limits(loaded.get()), (View{0, 10, 0, 1}));

  // A short stream fails; what was read before the end stays.
  auto fresh = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  bytes.resize(10 + 8 * 5 + 3);
  EXPECT_TRUE(FAILED(Load(fresh, bytes)));
  EXPECT_EQ(std::pair(Limits(fresh.get())[1], Extents(fresh.get())), std::pair(250.0, View{0, 100, 0, 100}));
  EXPECT_TRUE(FAILED(Load(fresh, {})));
}

}  // namespace
}  // namespace kelmira::test
