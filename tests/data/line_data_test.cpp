// LineData through its public interface: sizing, pointers, X data, precision, ranges, bad input.
#include "support/create.h"
#include "support/property.h"

#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

using Range = std::pair<double, double>;

// A LineData with short readers for its state; each reader expects its call to succeed.
struct Line {
  double At(HRESULT (STDMETHODCALLTYPE ILineData::*get)(LONG, double*), LONG i) {
    double v = -7;
    EXPECT_EQ((d.get()->*get)(i, &v), S_OK);
    return v;
  }
  Range Span(HRESULT (STDMETHODCALLTYPE ILineData::*get)(double*, double*, VARIANT_BOOL*)) {
    double lo = -7, hi = -7;
    VARIANT_BOOL ok = 0;
    EXPECT_EQ((d.get()->*get)(&lo, &hi, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    return {lo, hi};
  }
  LONG Size() { return Get(d.get(), &ILineData::get_Size); }
  float* Y() { return Get(d.get(), &ILineData::GetDataPtr); }
  float* X() { return Get(d.get(), &ILineData::GetDataPtrX); }
  double* XDouble() { return Get(d.get(), &ILineData::get_DataPtrXDouble); }
  BYTE* Mask() { return Get(d.get(), &ILineData::GetMaskPtr); }
  double Y(LONG i) { return At(&ILineData::get_Data, i); }
  double X(LONG i) { return At(&ILineData::get_DataX, i); }
  ComPtr<ILineData> d = Create<ILineData>(CLSID_LineData);
};

TEST(LineDataTest, NewObjectIsEmptyAndResizeKeepsLeadingPoints) {
  Line l;
  EXPECT_EQ(std::tuple(l.Size(), l.Y(), l.X(), l.XDouble(), l.Mask(), l.Span(&ILineData::GetMinMaxY),
                       l.Span(&ILineData::GetMinMaxX), Get(l.d.get(), &ILineData::get_UseXData),
                       Get(l.d.get(), &ILineData::get_UseDoubleForXData)),
            std::tuple(0, nullptr, nullptr, nullptr, nullptr, Range(0, 1), Range(0, 0), VARIANT_TRUE, VARIANT_FALSE));
  ASSERT_EQ(l.d->put_Size(3), S_OK);
  for (LONG i = 0; i < 3; ++i) l.Y()[i] = 10.0f + i, l.X()[i] = 20.0f + i;
  l.Mask()[1] = 0;
  float* y = l.Y();
  ASSERT_EQ(l.d->put_Size(3), S_OK);
  EXPECT_EQ(l.Y(), y);  // the same size keeps the arrays in place
  ASSERT_EQ(l.d->put_Size(5), S_OK);
  EXPECT_NE(l.Y(), y);  // the old array lived until the new one was filled
  const float keptY[] = {10, 11, 12, 0, 0}, keptX[] = {20, 21, 22, 0, 0};
  const BYTE keptMask[] = {1, 0, 1, 1, 1};
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(std::tuple(l.Y()[i], l.X()[i], l.Mask()[i]), std::tuple(keptY[i], keptX[i], keptMask[i])) << i;
  ASSERT_EQ(l.d->put_Size(2), S_OK);
  EXPECT_EQ(std::tuple(l.Y(1), l.X(1), l.Mask()[1]), std::tuple(11.0, 21.0, BYTE{0}));
  ASSERT_EQ(l.d->put_Size(0), S_OK);
  EXPECT_EQ(std::pair(l.Y(), l.Mask()), std::pair(static_cast<float*>(nullptr), static_cast<BYTE*>(nullptr)));
}

TEST(LineDataTest, ValuesAreSinglePrecisionAndRangesCountHiddenAndBadPoints) {
  Line l;
  ASSERT_EQ(l.d->put_Size(3), S_OK);
  const double ys[] = {5, -999999.9, 0.1}, xs[] = {2.5, 7, -4};
  for (LONG i = 0; i < 3; ++i) EXPECT_EQ(l.d->put_Data(i, ys[i]) | l.d->put_DataX(i, xs[i]), S_OK);
  // -999999.9 is stored as -999999.875, which no longer equals the default bad value.
  EXPECT_EQ(std::tuple(l.Y(1), l.Y(2), Get(l.d.get(), &ILineData::get_BadDataValue)),
            std::tuple(-999999.875, static_cast<double>(0.1f), -999999.9));
  EXPECT_EQ(l.d->put_DataY(1, -1) | l.d->put_Mask(0, 0) | l.d->put_BadDataValue(-1), S_OK);
  EXPECT_EQ(std::pair(l.Span(&ILineData::GetMinMax), l.Span(&ILineData::GetMinMaxX)),
            std::pair(Range(-1, 5), Range(-4, 7)));
  EXPECT_EQ(l.d->put_UseXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(l.Span(&ILineData::GetMinMaxX), Range(0.0, 3.0));  // the count, not the last index
  // Masks keep the low byte and read back without sign.
  LONG mask = 0;
  ASSERT_EQ(l.d->put_Mask(0, 258), S_OK);
  EXPECT_EQ(l.d->get_Mask(0, &mask), S_OK);
  EXPECT_EQ(mask, 2);
}

TEST(LineDataTest, SwitchingXDataOffAndOnAndDoublePrecisionXData) {
  Line l;
  ASSERT_EQ(l.d->put_Size(3), S_OK);
  ASSERT_EQ(l.d->put_UseXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(l.d->put_DataX(2, 9.0), S_OK);                                            // the put is ignored
  EXPECT_EQ(std::pair(l.X(), l.X(2)), std::pair(static_cast<float*>(nullptr), 2.0));  // the index stands in for X
  ASSERT_EQ(l.d->put_Size(4), S_OK);
  EXPECT_EQ(l.X(), nullptr);

  EXPECT_EQ(l.d->put_UseXData(VARIANT_TRUE), S_OK);
  float* x = l.X();
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x[3], 0.0f);
  EXPECT_EQ(l.d->put_UseXData(1), S_OK);  // another TRUE value: a fresh array
  EXPECT_NE(l.X(), x);

  // Double-width X.
  ASSERT_EQ(l.d->put_UseDoubleForXData(VARIANT_TRUE), S_OK);
  double* wide = l.XDouble();
  ASSERT_TRUE(wide && static_cast<void*>(l.X()) == wide);  // the single-width pointer points at the doubles
  EXPECT_EQ(l.d->put_DataX(1, 0.1), S_OK);
  wide[2] = -1e-300;
  EXPECT_EQ(l.Span(&ILineData::GetMinMaxX), Range(-1e-300, 0.1));
  ASSERT_EQ(l.d->put_Size(6), S_OK);
  EXPECT_EQ(l.X(1), 0.1);
  // A width change re-stores the existing values at the new width.
  EXPECT_EQ(l.d->put_UseDoubleForXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(std::pair(l.XDouble(), l.X()[1]), std::pair(static_cast<double*>(nullptr), 0.1f));
  EXPECT_EQ(l.d->put_UseDoubleForXData(VARIANT_TRUE), S_OK);
  EXPECT_EQ(l.XDouble()[1], static_cast<double>(0.1f));
}

TEST(LineDataTest, BadInputChangesNothing) {
  Line l;
  ASSERT_EQ(l.d->put_Size(3), S_OK);
  l.d->put_Data(0, 1.0);
  float* y = l.Y();
  double v = 0;
  LONG mask = 0;
  for (LONG i : {-1, 3, 0x7FFFFFFF})
    EXPECT_EQ(std::tuple(l.d->get_Data(i, &v), l.d->put_DataY(i, 1.0), l.d->put_DataX(i, 1.0), l.d->get_Mask(i, &mask)),
              std::tuple(E_INVALIDARG, E_INVALIDARG, E_INVALIDARG, E_INVALIDARG))
        << i;
  // Arrays this large cannot be had; double-width X fails even where single-width would fit.
  EXPECT_EQ(std::pair(l.d->put_Size(-1), l.d->put_Size(0x7FFFFFFF)), std::pair(E_INVALIDARG, E_OUTOFMEMORY));
  // Braces: the three calls run in order.
  EXPECT_EQ((std::vector<HRESULT>{l.d->put_UseXData(VARIANT_FALSE), l.d->put_UseDoubleForXData(VARIANT_TRUE),
                                  l.d->put_UseXData(VARIANT_TRUE)}),
            std::vector<HRESULT>(3, S_OK));
  float* x = l.X();
  EXPECT_EQ(l.d->put_Size(0x10000000), E_OUTOFMEMORY);
  EXPECT_EQ(std::tuple(l.Size(), l.Y(), l.X(), l.Y(0)), std::tuple(3, y, x, 1.0));
}

}  // namespace
}  // namespace kelmira::test
