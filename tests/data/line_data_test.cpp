// LineData through its public interface: sizing, pointers, X data, precision, ranges, bad input.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

namespace {

// A LineData with short readers for its state; each reader expects its call to succeed.
struct Line {
  Line() {
    EXPECT_EQ(
        CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_ILineData, reinterpret_cast<void**>(&d)),
        S_OK);
  }
  LONG Size() {
    LONG n = -1;
    EXPECT_EQ(d->get_Size(&n), S_OK);
    return n;
  }
  float* Y() {
    float* p = nullptr;
    EXPECT_EQ(d->GetDataPtr(&p), S_OK);
    return p;
  }
  float* X() {
    float* p = nullptr;
    EXPECT_EQ(d->GetDataPtrX(&p), S_OK);
    return p;
  }
  double* XDouble() {
    double* p = nullptr;
    EXPECT_EQ(d->get_DataPtrXDouble(&p), S_OK);
    return p;
  }
  BYTE* Mask() {
    BYTE* p = nullptr;
    EXPECT_EQ(d->GetMaskPtr(&p), S_OK);
    return p;
  }
  double Y(LONG i) {
    double v = -7;
    EXPECT_EQ(d->get_Data(i, &v), S_OK);
    return v;
  }
  double X(LONG i) {
    double v = -7;
    EXPECT_EQ(d->get_DataX(i, &v), S_OK);
    return v;
  }
  std::pair<double, double> RangeX() { return Range(&ILineData::GetMinMaxX); }
  std::pair<double, double> Range(HRESULT (ILineData::*get)(double*, double*, VARIANT_BOOL*)) {
    double lo = -7, hi = -7;
    VARIANT_BOOL ok = 0;
    EXPECT_EQ((d.get()->*get)(&lo, &hi, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    return {lo, hi};
  }
  kelmira::ComPtr<ILineData> d;
};

using Range = std::pair<double, double>;

}  // namespace

TEST(LineDataTest, NewObjectIsEmpty) {
  Line l;
  EXPECT_EQ(l.Size(), 0);
  EXPECT_EQ(l.Y(), nullptr);
  EXPECT_EQ(l.X(), nullptr);
  EXPECT_EQ(l.Mask(), nullptr);
  EXPECT_EQ(l.Range(&ILineData::GetMinMaxY), Range(0.0, 1.0));
  EXPECT_EQ(l.RangeX(), Range(0.0, 0.0));
  VARIANT_BOOL useX = 0, useDouble = 1;
  EXPECT_EQ(l.d->get_UseXData(&useX), S_OK);
  EXPECT_EQ(l.d->get_UseDoubleForXData(&useDouble), S_OK);
  EXPECT_EQ(useX, VARIANT_TRUE);
  EXPECT_EQ(useDouble, VARIANT_FALSE);
}

TEST(LineDataTest, ResizeKeepsLeadingPointsAndMovesArrays) {
  Line l;
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
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(l.Y()[i], keptY[i]) << i;
    EXPECT_EQ(l.X()[i], keptX[i]) << i;
    EXPECT_EQ(l.Mask()[i], keptMask[i]) << i;
  }
  ASSERT_EQ(l.d->put_Size(2), S_OK);
  EXPECT_EQ(l.Y(1), 11.0);
  EXPECT_EQ(l.X(1), 21.0);
  EXPECT_EQ(l.Mask()[1], 0);
  ASSERT_EQ(l.d->put_Size(0), S_OK);
  EXPECT_EQ(l.Y(), nullptr);
}

TEST(LineDataTest, ValuesAreSinglePrecision) {
  Line l;
  ASSERT_EQ(l.d->put_Size(2), S_OK);
  EXPECT_EQ(l.d->put_DataY(0, 0.1), S_OK);
  EXPECT_EQ(l.Y(0), static_cast<double>(0.1f));
  EXPECT_EQ(l.d->put_DataX(1, 0.1), S_OK);
  EXPECT_EQ(l.X()[1], 0.1f);
  // -999999.9 is stored as -999999.875, which no longer equals the default bad value.
  EXPECT_EQ(l.d->put_Data(1, -999999.9), S_OK);
  double bad = 0;
  EXPECT_EQ(l.d->get_BadDataValue(&bad), S_OK);
  EXPECT_EQ(l.Y(1), -999999.875);
  EXPECT_NE(l.Y(1), bad);
  // Masks keep the low byte and read back without sign.
  LONG mask = 0;
  EXPECT_EQ(l.d->put_Mask(0, 258), S_OK);
  EXPECT_EQ(l.d->get_Mask(0, &mask), S_OK);
  EXPECT_EQ(mask, 2);
}

TEST(LineDataTest, RangesCountHiddenAndBadPoints) {
  Line l;
  ASSERT_EQ(l.d->put_Size(3), S_OK);
  const double ys[] = {5, -1, 3}, xs[] = {2.5, 7, -4};
  for (LONG i = 0; i < 3; ++i) l.d->put_Data(i, ys[i]), l.d->put_DataX(i, xs[i]);
  l.d->put_Mask(1, 0);
  l.d->put_BadDataValue(-1);
  EXPECT_EQ(l.Range(&ILineData::GetMinMax), Range(-1.0, 5.0));
  EXPECT_EQ(l.RangeX(), Range(-4.0, 7.0));
  EXPECT_EQ(l.d->put_UseXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(l.RangeX(), Range(0.0, 3.0));  // the count, not the last index
}

TEST(LineDataTest, SwitchingXDataOffAndOn) {
  Line l;
  ASSERT_EQ(l.d->put_Size(3), S_OK);
  EXPECT_EQ(l.d->put_UseXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(l.X(), nullptr);
  EXPECT_EQ(l.d->put_DataX(2, 9.0), S_OK);  // ignored
  EXPECT_EQ(l.X(2), 2.0);                   // the index stands in for X
  ASSERT_EQ(l.d->put_Size(4), S_OK);
  EXPECT_EQ(l.X(), nullptr);

  EXPECT_EQ(l.d->put_UseXData(VARIANT_TRUE), S_OK);
  float* x = l.X();
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x[3], 0.0f);
  EXPECT_EQ(l.d->put_UseXData(1), S_OK);  // another TRUE value: a fresh array
  EXPECT_NE(l.X(), x);
}

TEST(LineDataTest, DoublePrecisionXData) {
  Line l;
  EXPECT_EQ(l.XDouble(), nullptr);
  EXPECT_EQ(l.d->put_UseDoubleForXData(VARIANT_TRUE), S_OK);
  ASSERT_EQ(l.d->put_Size(4), S_OK);
  double* x = l.XDouble();
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(static_cast<void*>(l.X()), static_cast<void*>(x));
  EXPECT_EQ(l.d->put_DataX(1, 0.1), S_OK);
  EXPECT_EQ(x[1], 0.1);
  x[2] = -1e-300;
  EXPECT_EQ(l.RangeX(), Range(-1e-300, 0.1));
  ASSERT_EQ(l.d->put_Size(6), S_OK);
  EXPECT_EQ(l.X(1), 0.1);
  // A width change re-stores the existing values at the new width.
  EXPECT_EQ(l.d->put_UseDoubleForXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(l.XDouble(), nullptr);
  EXPECT_EQ(l.X()[1], 0.1f);
  EXPECT_EQ(l.d->put_UseDoubleForXData(VARIANT_TRUE), S_OK);
  EXPECT_EQ(l.XDouble()[1], static_cast<double>(0.1f));
}

TEST(LineDataTest, BadInputChangesNothing) {
  Line l;
  ASSERT_EQ(l.d->put_Size(3), S_OK);
  l.d->put_Data(0, 1.0);
  float* y = l.Y();
  float* x = l.X();
  double v = 0;
  LONG mask = 0;
  for (LONG i : {-1, 3, 0x7FFFFFFF}) {
    EXPECT_EQ(l.d->get_Data(i, &v), E_INVALIDARG) << i;
    EXPECT_EQ(l.d->put_DataY(i, 1.0), E_INVALIDARG) << i;
    EXPECT_EQ(l.d->put_DataX(i, 1.0), E_INVALIDARG) << i;
    EXPECT_EQ(l.d->get_Mask(i, &mask), E_INVALIDARG) << i;
  }
  EXPECT_EQ(l.d->put_Size(-1), E_INVALIDARG);
  // Arrays this large cannot be had; double-width X fails even where single-width would fit.
  EXPECT_EQ(l.d->put_Size(0x7FFFFFFF), E_OUTOFMEMORY);
  EXPECT_EQ(l.d->put_UseXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(l.d->put_UseDoubleForXData(VARIANT_TRUE), S_OK);
  EXPECT_EQ(l.d->put_UseXData(VARIANT_TRUE), S_OK);
  x = l.X();
  EXPECT_EQ(l.d->put_Size(0x10000000), E_OUTOFMEMORY);
  EXPECT_EQ(l.Size(), 3);
  EXPECT_EQ(l.Y(), y);
  EXPECT_EQ(l.X(), x);
  EXPECT_EQ(l.Y(0), 1.0);
}
