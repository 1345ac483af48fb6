// What an axis shows before anything is drawn: the step it takes from its grid, the decimals, the
// date flags and the label texts (numeric, date and the host's own list).
#include "axes/axis_labels.h"
#include "axes/axis_scale.h"
#include "common/nice_step.h"

#include <kelmira/tick_label_list.h>

#include "support/create.h"
#include "support/index_variant.h"
#include "support/layer_stack.h"
#include "support/ole_date_fields.h"
#include "support/property.h"
#include "support/variant_values.h"

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

using axes::AxisKind;
using axes::AxisScale;

double Date(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  SYSTEMTIME t = Time(y, mo, d, h, mi, s);
  double date = 0;
  EXPECT_TRUE(SystemTimeToVariantTime(&t, &date));
  return date;
}

// A step of 0.01 takes three decimals: 0.1 * 0.1 lies above it.
TEST(AxisText, AutomaticDecimalsAndNumericLabels) {
  const std::vector<std::pair<double, int>> steps{
      {1.0, 0},  {5.0, 0},  {0.0, 0},  {-2.0, 0}, {0.5, 1},
      {0.25, 1}, {-0.2, 1}, {0.05, 2}, {0.01, 3}, {common::NiceStep(0.2, 10), 2}};
  for (auto [step, decimals] : steps) EXPECT_EQ(axes::AutomaticPrecision(step), decimals) << step;
  const std::vector<std::tuple<double, int, std::string>> cases{
      {3e9, 0, "3000000000"}, {-2.5, 0, "-2"},   {-0.5, 0, "0"},      {7.9, 0, "7"},
      {0.01, 3, "0.010"},     {2.5, 1, "2.5"},   {-1.25, 2, "-1.25"}, {1e20, 0, "100000000000000000000"},
      {-0.0, 1, "0.0"},       {-0.04, 1, "0.0"}, {-0.05, 2, "-0.05"}};
  for (const auto& [value, precision, text] : cases) EXPECT_EQ(axes::NumericLabel(value, precision), text) << value;
  // No buffer to overrun, and no gigabyte label for an absurd precision.
  EXPECT_EQ(axes::NumericLabel(-1e300, 0).size(), 302u);
  EXPECT_EQ(axes::NumericLabel(1.0, 0x7FFFFFFF).size(), 2u + axes::kMaxLabelDecimals);
}

TEST(AxisText, DateLabelsInEveryFormatAndTheirFlags) {
  const double morning = Date(2003, 1, 15, 8), later = Date(2003, 1, 15, 10);
  const axes::DateFlags time{.showTime = true}, days{.showDate = true}, years{.showDate = true, .showYear = true};
  const std::vector<std::tuple<double, LONG, axes::DateFlags, LONG, std::string>> cases{
      {morning, 0, time, 0, "08:00\n01/15/2003"},
      {later, 0, time, 1, "10:00"},
      {Date(2003, 1, 15, 8, 0, 5), 0, {.showTime = true, .showSeconds = true}, 3, "08:00:05"},
      {morning, 0, days, 1, "01/15"},
      {morning, 0, years, 1, "01/15/2003"},
      {morning, 1, days, 1, "Jan 15"},
      {morning, 1, days, 0, "Jan 15,2003"},
      {morning, 2, days, 2, "January 15"},
      {morning, 2, years, 2, "January 15,2003"},
      {morning, 100, years, 1, "15/01/2003"},
      {morning, 101, days, 1, "15 Jan"},
      {morning, 101, years, 1, "15 Jan 2003"},
      {morning, 7, days, 0, "15 January 2003"},
      {Date(100, 3, 9), 0, years, 1, "03/09/0100"},
      {3e6, 0, years, 0, ""},  // beyond year 9999
  };
  for (const auto& [value, format, flags, index, text] : cases)
    EXPECT_EQ(axes::DateLabel(value, format, flags, index), text) << text;
  // The flags follow the range and the step.
  using Flags = std::tuple<bool, bool, bool, bool>;  // date, year, time, seconds
  auto flagsOf = [](double start, double end, double step) {
    const axes::DateFlags f = axes::ComputeDateFlags(start, end, step);
    return Flags{f.showDate, f.showYear, f.showTime, f.showSeconds};
  };
  EXPECT_EQ(flagsOf(Date(2003, 1, 15), Date(2003, 1, 17), 2.0 / 24), Flags(true, false, true, false));
  EXPECT_EQ(flagsOf(Date(2003, 1, 15, 8), Date(2003, 1, 15, 8, 1), 5.0 / 86400), Flags(false, false, true, true));
  EXPECT_EQ(flagsOf(Date(2003, 12, 30), Date(2004, 1, 2), 1.0), Flags(true, true, false, false));
  EXPECT_EQ(flagsOf(Date(2003, 1, 1), Date(2003, 1, 1, 1), 1.0 / 1440), Flags(false, false, true, false));
  EXPECT_EQ(flagsOf(0.0, 1e9, 1.0), Flags(true, true, false, false));  // an end no calendar has
}

// The step an axis takes from a grid over a range: kind, range, AutoStep, UseXAsDate, steps, step.
TEST(AxisText, StepFromTheGridAndRangeFromTheContainer) {
  const double day = 1.0, hour = day / 24, second = day / 86400;
  const std::vector<std::tuple<AxisKind, double, double, bool, bool, LONG, double>> cases{
      {AxisKind::X, 0, 100, false, false, 10, 0.5},   // the grid's own XStep
      {AxisKind::Y, 0, 100, false, false, 10, 0.25},  // its YStep
      {AxisKind::X, 0, 100, true, false, 10, 10},
      {AxisKind::X, 0, 100, true, false, 3, 20},
      {AxisKind::X, 0, 100, true, false, 40, 2},
      {AxisKind::Y, 0, 100, true, false, 3, 20},
      {AxisKind::X, 100, 0, true, false, 10, 10},  // always positive: a reversed range draws nothing
      {AxisKind::X, 0, 100, true, false, 0, INFINITY},
      {AxisKind::X, 0, 2 * day, true, true, 10, 2 * hour},
      {AxisKind::X, 0, 60 * second, true, true, 10, 5 * second},
      {AxisKind::X, 0, 3 * second, true, true, 10, second},  // never below one second
  };
  for (const auto& [kind, start, end, autoStep, asDate, steps, step] : cases) {
    auto grid = Create<IGridLayer>(CLSID_GridLayer);
    grid->put_XStep(0.5), grid->put_YStep(0.25), grid->put_AutoStep(autoStep ? VARIANT_TRUE : VARIANT_FALSE);
    grid->put_XSteps(steps), grid->put_YSteps(steps), grid->put_UseXAsDate(asDate ? VARIANT_TRUE : 0);
    AxisScale s;
    ASSERT_EQ(axes::ResolveScale(kind, {start, end, 1.0, -1, false}, nullptr, grid.get(), &s), S_OK);
    EXPECT_EQ(std::pair(s.step, s.dateMode), std::pair(step, asDate && kind == AxisKind::X)) << end << " / " << steps;
  }

  // The range from the container, or its right-Y range.
  auto c = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  ASSERT_EQ(c->SetExtents(-5, 5, 20, 40), S_OK);
  ASSERT_EQ(c->SetRightYLimits(1000, 3000), S_OK);
  auto grid = Create<IGridLayer>(CLSID_GridLayer);
  grid->put_YStep(4), grid->put_AutoStep(VARIANT_FALSE);
  auto range = [&](AxisKind kind, bool leftAligned, IGridLayer* g) {
    AxisScale s;
    EXPECT_EQ(axes::ResolveScale(kind, {0, 10, 7, -1, leftAligned}, c.get(), g, &s), S_OK);
    return std::tuple(s.start, s.end, s.step, s.rightY);
  };
  EXPECT_EQ(range(AxisKind::X, true, nullptr), std::tuple(-5.0, 5.0, 7.0, false));
  EXPECT_EQ(range(AxisKind::Y, true, grid.get()), std::tuple(20.0, 40.0, 4.0, false));  // no right-Y layer yet
  AddLayer(c.get(), u"Right", nullptr);
  ASSERT_EQ(c->SetLayerRightYAxis(ByPosition(0), VARIANT_TRUE), S_OK);
  EXPECT_EQ(range(AxisKind::Y, false, grid.get()), std::tuple(20.0, 40.0, 4.0, false));
  EXPECT_EQ(range(AxisKind::Y, true, grid.get()), std::tuple(1000.0, 3000.0, 7.0, true));  // keeps its own step
  grid->put_AutoStep(VARIANT_TRUE), grid->put_YSteps(4);
  EXPECT_EQ(range(AxisKind::Y, true, grid.get()), std::tuple(1000.0, 3000.0, 200.0, true));
}

// The labels of the first n drawn ticks from a list.
std::vector<std::string> Labels(ITickLabelList* list, int n) {
  axes::CustomLabels labels(list);
  std::vector<std::string> texts(static_cast<std::size_t>(n));
  for (std::string& text : texts) EXPECT_EQ(labels.Next(&text), S_OK);
  return texts;
}

TEST(AxisText, HostLabelsCountTheEntriesThatHaveOneAndIndicesAreChecked) {
  auto list = NewTickLabelList();
  ASSERT_TRUE(list);
  LONG index = 0;
  for (const Variant& v : {Str(u"low"), R8(2.5), Str(u"high")}) ASSERT_EQ(list->AddLabel(v, &index), S_OK);
  EXPECT_EQ(Labels(list.get(), 4), (std::vector<std::string>{"low", "2.5", "high", "???"}));
  // Entry 1 without a label: tick 1 still shows entry 1, and tick 2 has none.
  ASSERT_EQ(list->ClearLabel(ByPosition(1)), S_OK);
  EXPECT_EQ(Labels(list.get(), 3), (std::vector<std::string>{"low", "", "???"}));
  ASSERT_EQ(list->SetLabel(ByPosition(1), Str(u"\u00e9t\u00e9")), S_OK);
  EXPECT_EQ(Labels(list.get(), 2)[1], "\xe9t\xe9");  // the ANSI code page

  // Indices of a new list.
  list = NewTickLabelList();
  ASSERT_EQ(list->SetLabel(ByPosition(2), Str(u"c")), S_OK);
  auto hasLabel = [&](LONG i) {
    VARIANT_BOOL has = VARIANT_TRUE;
    EXPECT_EQ(list->HasLabel(ByPosition(i), &has), S_OK);
    return has;
  };
  // Grown, with two empty entries.
  EXPECT_EQ((std::vector{hasLabel(0), hasLabel(2), hasLabel(9)}),
            (std::vector<VARIANT_BOOL>{VARIANT_FALSE, VARIANT_TRUE, VARIANT_FALSE}));
  Variant value;
  ASSERT_EQ(list->InsertLabel(ByPosition(0), Str(u"a")), S_OK);
  ASSERT_EQ(list->LabelAt(ByPosition(3), &value), S_OK);
  EXPECT_EQ(TextOf(value.bstrVal), u"c");
  ASSERT_EQ(list->RemoveLabel(ByPosition(0)), S_OK);
  // Bad indices and pointers change nothing.
  EXPECT_EQ(std::tuple(list->LabelAt(ByPosition(3), &value), list->RemoveLabel(ByPosition(-1)),
                       list->InsertLabel(ByPosition(5), Str(u"x")), list->SetLabel(ByPosition(-1), Str(u"x")),
                       list->SetLabel(ByPosition(1 << 24), Str(u"x")), list->SetLabelCount(-1),
                       list->LabelAt(ByName(u"one"), &value), list->LabelCount(nullptr),
                       list->HasLabel(ByPosition(0), nullptr)),
            std::tuple(E_INVALIDARG, E_INVALIDARG, E_INVALIDARG, E_INVALIDARG, E_INVALIDARG, E_INVALIDARG,
                       DISP_E_TYPEMISMATCH, E_POINTER, E_POINTER));
  EXPECT_EQ(Get(list.get(), &ITickLabelList::LabelCount), 3);
  EXPECT_EQ(KelmiraCreateTickLabelList(nullptr), E_POINTER);
}

}  // namespace
}  // namespace kelmira::test
