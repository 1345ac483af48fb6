// LineData through its public interface: sizing, pointers, X data, ranges, bad values, masks.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

using kelmira::ComPtr;

namespace {

ComPtr<ILineData> NewLineData() {
  ComPtr<ILineData> data;
  EXPECT_EQ(CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_ILineData,
                             reinterpret_cast<void**>(&data)),
            S_OK);
  return data;
}

float* YPtr(ILineData* d) {
  float* p = nullptr;
  EXPECT_EQ(d->GetDataPtr(&p), S_OK);
  return p;
}
float* XPtr(ILineData* d) {
  float* p = nullptr;
  EXPECT_EQ(d->GetDataPtrX(&p), S_OK);
  return p;
}
double* XDoublePtr(ILineData* d) {
  double* p = nullptr;
  EXPECT_EQ(d->get_DataPtrXDouble(&p), S_OK);
  return p;
}
BYTE* MaskPtr(ILineData* d) {
  BYTE* p = nullptr;
  EXPECT_EQ(d->GetMaskPtr(&p), S_OK);
  return p;
}
LONG SizeOf(ILineData* d) {
  LONG n = -1;
  EXPECT_EQ(d->get_Size(&n), S_OK);
  return n;
}

}  // namespace

TEST(LineDataTest, NewObjectHasNoArraysAndDefaultFlags) {
  ComPtr<ILineData> d = NewLineData();
  ASSERT_TRUE(d);
  EXPECT_EQ(SizeOf(d.get()), 0);
  VARIANT_BOOL flag = 0;
  EXPECT_EQ(d->get_UseXData(&flag), S_OK);
  EXPECT_EQ(flag, VARIANT_TRUE);
  EXPECT_EQ(d->get_UseDoubleForXData(&flag), S_OK);
  EXPECT_EQ(flag, VARIANT_FALSE);
  double bad = 0, badX = 0, badY = 0;
  EXPECT_EQ(d->get_BadDataValue(&bad), S_OK);
  EXPECT_EQ(d->get_BadDataValueX(&badX), S_OK);
  EXPECT_EQ(d->get_BadDataValueY(&badY), S_OK);
  std::uint64_t bits = 0;
  std::memcpy(&bits, &bad, sizeof bits);
  EXPECT_EQ(bits, 0xC12E847FCCCCCCCDull);
  EXPECT_EQ(badX, -999999.9);
  EXPECT_EQ(badY, -999999.9);
  float* y = reinterpret_cast<float*>(1);
  EXPECT_EQ(d->GetDataPtrY(&y), S_OK);
  EXPECT_EQ(y, nullptr);
  EXPECT_EQ(YPtr(d.get()), nullptr);
  EXPECT_EQ(XPtr(d.get()), nullptr);
  EXPECT_EQ(MaskPtr(d.get()), nullptr);
}

TEST(LineDataTest, ResizeKeepsLeadingPointsAndClearsNewOnes) {
  ComPtr<ILineData> d = NewLineData();
  ASSERT_EQ(d->put_Size(3), S_OK);
  for (LONG i = 0; i < 3; ++i) {
    EXPECT_EQ(d->put_Data(i, 10.0 + i), S_OK);
    EXPECT_EQ(d->put_DataX(i, 20.0 + i), S_OK);
  }
  EXPECT_EQ(d->put_Mask(1, 0), S_OK);
  float* y3 = YPtr(d.get());
  float* x3 = XPtr(d.get());
  BYTE* m3 = MaskPtr(d.get());
  ASSERT_NE(y3, nullptr);
  ASSERT_NE(x3, nullptr);
  ASSERT_NE(m3, nullptr);

  // The same size keeps every array in place.
  EXPECT_EQ(d->put_Size(3), S_OK);
  EXPECT_EQ(YPtr(d.get()), y3);
  EXPECT_EQ(XPtr(d.get()), x3);
  EXPECT_EQ(MaskPtr(d.get()), m3);

  ASSERT_EQ(d->put_Size(5), S_OK);
  EXPECT_EQ(SizeOf(d.get()), 5);
  float* y = YPtr(d.get());
  float* x = XPtr(d.get());
  BYTE* m = MaskPtr(d.get());
  // The old arrays live until the new ones are filled, so the addresses must differ.
  EXPECT_NE(y, y3);
  EXPECT_NE(x, x3);
  EXPECT_NE(m, m3);
  const float keptY[] = {10, 11, 12, 0, 0};
  const float keptX[] = {20, 21, 22, 0, 0};
  const BYTE keptMask[] = {1, 0, 1, 1, 1};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(y[i], keptY[i]) << i;
    EXPECT_EQ(x[i], keptX[i]) << i;
    EXPECT_EQ(m[i], keptMask[i]) << i;
  }

  ASSERT_EQ(d->put_Size(2), S_OK);
  y = YPtr(d.get());
  x = XPtr(d.get());
  m = MaskPtr(d.get());
  EXPECT_EQ(y[0], 10.0f);
  EXPECT_EQ(y[1], 11.0f);
  EXPECT_EQ(x[1], 21.0f);
  EXPECT_EQ(m[1], 0);
  double v = 0;
  EXPECT_EQ(d->get_Data(2, &v), E_INVALIDARG);

  ASSERT_EQ(d->put_Size(0), S_OK);
  EXPECT_EQ(YPtr(d.get()), nullptr);
  EXPECT_EQ(XPtr(d.get()), nullptr);
  EXPECT_EQ(MaskPtr(d.get()), nullptr);
}

TEST(LineDataTest, WritesThroughPointersAreTheObjectsData) {
  ComPtr<ILineData> d = NewLineData();
  ASSERT_EQ(d->put_Size(4), S_OK);
  float* y = YPtr(d.get());
  float* x = XPtr(d.get());
  BYTE* m = MaskPtr(d.get());
  float* yAgain = nullptr;
  EXPECT_EQ(d->GetDataPtrY(&yAgain), S_OK);
  EXPECT_EQ(yAgain, y);
  for (int i = 0; i < 4; ++i) {
    y[i] = 1.5f * i;
    x[i] = 100.0f - i;
  }
  m[2] = 0;
  double v = 0;
  EXPECT_EQ(d->get_Data(3, &v), S_OK);
  EXPECT_EQ(v, 4.5);
  EXPECT_EQ(d->get_DataY(3, &v), S_OK);
  EXPECT_EQ(v, 4.5);
  EXPECT_EQ(d->get_DataX(1, &v), S_OK);
  EXPECT_EQ(v, 99.0);
  LONG mask = -1;
  EXPECT_EQ(d->get_Mask(2, &mask), S_OK);
  EXPECT_EQ(mask, 0);
  // DataY writes the same array as Data.
  EXPECT_EQ(d->put_DataY(0, -2.0), S_OK);
  EXPECT_EQ(y[0], -2.0f);
}

TEST(LineDataTest, ValuesAreStoredInSinglePrecision) {
  ComPtr<ILineData> d = NewLineData();
  ASSERT_EQ(d->put_Size(2), S_OK);
  EXPECT_EQ(d->put_Data(0, 0.1), S_OK);
  double v = 0;
  EXPECT_EQ(d->get_Data(0, &v), S_OK);
  EXPECT_EQ(v, static_cast<double>(0.1f));
  EXPECT_NE(v, 0.1);
  EXPECT_EQ(YPtr(d.get())[0], 0.1f);
  EXPECT_EQ(d->put_DataX(1, 0.1), S_OK);
  EXPECT_EQ(d->get_DataX(1, &v), S_OK);
  EXPECT_EQ(v, static_cast<double>(0.1f));

  // The default bad value does not survive single precision: the stored value no longer matches.
  EXPECT_EQ(d->put_Data(1, -999999.9), S_OK);
  EXPECT_EQ(d->get_Data(1, &v), S_OK);
  EXPECT_EQ(v, -999999.875);
  double bad = 0;
  EXPECT_EQ(d->get_BadDataValue(&bad), S_OK);
  EXPECT_NE(v, bad);
  // Out-of-range doubles become infinities, not undefined values.
  EXPECT_EQ(d->put_Data(1, 1e300), S_OK);
  EXPECT_EQ(d->get_Data(1, &v), S_OK);
  EXPECT_TRUE(std::isinf(v));
}

TEST(LineDataTest, MaskKeepsTheLowByte) {
  ComPtr<ILineData> d = NewLineData();
  ASSERT_EQ(d->put_Size(2), S_OK);
  LONG mask = 0;
  EXPECT_EQ(d->put_Mask(0, 258), S_OK);
  EXPECT_EQ(d->get_Mask(0, &mask), S_OK);
  EXPECT_EQ(mask, 2);
  EXPECT_EQ(d->put_Mask(1, -1), S_OK);
  EXPECT_EQ(d->get_Mask(1, &mask), S_OK);
  EXPECT_EQ(mask, 255);  // widened without sign
}

TEST(LineDataTest, BadDataValueIsTheYValue) {
  ComPtr<ILineData> d = NewLineData();
  double v = 0;
  EXPECT_EQ(d->put_BadDataValue(-5), S_OK);
  EXPECT_EQ(d->get_BadDataValueY(&v), S_OK);
  EXPECT_EQ(v, -5);
  EXPECT_EQ(d->get_BadDataValueX(&v), S_OK);
  EXPECT_EQ(v, -999999.9);
  EXPECT_EQ(d->put_BadDataValueY(7), S_OK);
  EXPECT_EQ(d->get_BadDataValue(&v), S_OK);
  EXPECT_EQ(v, 7);
  EXPECT_EQ(d->put_BadDataValueX(0.25), S_OK);
  EXPECT_EQ(d->get_BadDataValueX(&v), S_OK);
  EXPECT_EQ(v, 0.25);  // stored as a double, not rounded
  EXPECT_EQ(d->get_BadDataValueY(&v), S_OK);
  EXPECT_EQ(v, 7);
}

TEST(LineDataTest, RangesCountEveryPoint) {
  ComPtr<ILineData> d = NewLineData();
  double lo = -1, hi = -1;
  VARIANT_BOOL ok = 0;
  EXPECT_EQ(d->GetMinMaxY(&lo, &hi, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 1.0);
  ok = 0;
  EXPECT_EQ(d->GetMinMaxX(&lo, &hi, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 0.0);

  ASSERT_EQ(d->put_Size(3), S_OK);
  const double ys[] = {5, -1, 3};
  const double xs[] = {2.5, 7, -4};
  for (LONG i = 0; i < 3; ++i) {
    d->put_Data(i, ys[i]);
    d->put_DataX(i, xs[i]);
  }
  // Hidden and bad points take part like all others.
  d->put_Mask(1, 0);
  d->put_BadDataValue(-1);
  ok = 0;
  EXPECT_EQ(d->GetMinMax(&lo, &hi, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(lo, -1.0);
  EXPECT_EQ(hi, 5.0);
  EXPECT_EQ(d->GetMinMaxY(&lo, &hi, &ok), S_OK);
  EXPECT_EQ(lo, -1.0);
  EXPECT_EQ(hi, 5.0);
  EXPECT_EQ(d->GetMinMaxX(&lo, &hi, &ok), S_OK);
  EXPECT_EQ(lo, -4.0);
  EXPECT_EQ(hi, 7.0);

  // Without X data the range is 0..count.
  EXPECT_EQ(d->put_UseXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(d->GetMinMaxX(&lo, &hi, &ok), S_OK);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 3.0);

  EXPECT_EQ(d->GetMinMax(nullptr, &hi, &ok), E_POINTER);
  EXPECT_EQ(d->GetMinMaxX(&lo, &hi, nullptr), E_POINTER);
}

TEST(LineDataTest, SwitchingXDataFreesAndReallocates) {
  ComPtr<ILineData> d = NewLineData();
  ASSERT_EQ(d->put_Size(3), S_OK);
  d->put_DataX(2, 42.0);
  ASSERT_NE(XPtr(d.get()), nullptr);

  EXPECT_EQ(d->put_UseXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(XPtr(d.get()), nullptr);
  double v = -1;
  EXPECT_EQ(d->get_DataX(2, &v), S_OK);
  EXPECT_EQ(v, 2.0);  // the index stands in for X
  EXPECT_EQ(d->put_DataX(2, 9.0), S_OK);  // ignored
  EXPECT_EQ(d->get_DataX(2, &v), S_OK);
  EXPECT_EQ(v, 2.0);

  // Resizing without X data keeps X absent.
  ASSERT_EQ(d->put_Size(4), S_OK);
  EXPECT_EQ(XPtr(d.get()), nullptr);

  EXPECT_EQ(d->put_UseXData(VARIANT_TRUE), S_OK);
  float* x = XPtr(d.get());
  ASSERT_NE(x, nullptr);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(x[i], 0.0f) << i;  // fresh and cleared
  d->put_DataX(3, 8.0);
  // Storing the same value again changes nothing; any other non-zero value starts a fresh array.
  EXPECT_EQ(d->put_UseXData(VARIANT_TRUE), S_OK);
  EXPECT_EQ(XPtr(d.get()), x);
  EXPECT_EQ(d->put_UseXData(1), S_OK);
  VARIANT_BOOL flag = 0;
  EXPECT_EQ(d->get_UseXData(&flag), S_OK);
  EXPECT_EQ(flag, 1);
  ASSERT_NE(XPtr(d.get()), nullptr);
  EXPECT_NE(XPtr(d.get()), x);
  EXPECT_EQ(d->get_DataX(3, &v), S_OK);
  EXPECT_EQ(v, 0.0);
}

TEST(LineDataTest, DoublePrecisionXData) {
  ComPtr<ILineData> d = NewLineData();
  EXPECT_EQ(d->put_UseDoubleForXData(VARIANT_TRUE), S_OK);
  ASSERT_EQ(d->put_Size(4), S_OK);
  double* xd = XDoublePtr(d.get());
  ASSERT_NE(xd, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(XPtr(d.get())), reinterpret_cast<void*>(xd));
  EXPECT_EQ(d->put_DataX(1, 0.1), S_OK);
  EXPECT_EQ(xd[1], 0.1);
  double v = 0;
  xd[2] = 1e-300;
  EXPECT_EQ(d->get_DataX(2, &v), S_OK);
  EXPECT_EQ(v, 1e-300);
  // Growing keeps double values at full precision.
  ASSERT_EQ(d->put_Size(6), S_OK);
  EXPECT_EQ(d->get_DataX(1, &v), S_OK);
  EXPECT_EQ(v, 0.1);
  EXPECT_EQ(d->get_DataX(5, &v), S_OK);
  EXPECT_EQ(v, 0.0);
  double lo = 0, hi = 0;
  VARIANT_BOOL ok = 0;
  XDoublePtr(d.get())[4] = -0.5;
  EXPECT_EQ(d->GetMinMaxX(&lo, &hi, &ok), S_OK);
  EXPECT_EQ(lo, -0.5);
  EXPECT_EQ(hi, 0.1);

  // Narrowing while the array exists reallocates it as singles, keeping the values rounded.
  EXPECT_EQ(d->put_UseDoubleForXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(XDoublePtr(d.get()), nullptr);
  float* xs = XPtr(d.get());
  ASSERT_NE(xs, nullptr);
  EXPECT_EQ(xs[1], 0.1f);
  EXPECT_EQ(xs[4], -0.5f);
  // Widening again keeps the singles' values.
  EXPECT_EQ(d->put_UseDoubleForXData(VARIANT_TRUE), S_OK);
  xd = XDoublePtr(d.get());
  ASSERT_NE(xd, nullptr);
  EXPECT_EQ(xd[1], static_cast<double>(0.1f));
  // Another non-zero value keeps the width and the array.
  EXPECT_EQ(d->put_UseDoubleForXData(1), S_OK);
  EXPECT_EQ(XDoublePtr(d.get()), xd);
  VARIANT_BOOL flag = 0;
  EXPECT_EQ(d->get_UseDoubleForXData(&flag), S_OK);
  EXPECT_EQ(flag, 1);
  // Without X data there is no double array either.
  EXPECT_EQ(d->put_UseXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(XDoublePtr(d.get()), nullptr);
  EXPECT_EQ(d->put_UseXData(VARIANT_TRUE), S_OK);
  EXPECT_NE(XDoublePtr(d.get()), nullptr);
}

TEST(LineDataTest, BadInputIsRefusedAndChangesNothing) {
  ComPtr<ILineData> d = NewLineData();
  ASSERT_EQ(d->put_Size(3), S_OK);
  d->put_Data(0, 1.0);
  float* y = YPtr(d.get());
  float* x = XPtr(d.get());
  BYTE* m = MaskPtr(d.get());

  double v = 0;
  LONG mask = 0;
  for (LONG index : {-1, 3, 0x7FFFFFFF, static_cast<LONG>(0x80000000)}) {
    EXPECT_EQ(d->get_Data(index, &v), E_INVALIDARG) << index;
    EXPECT_EQ(d->put_Data(index, 1.0), E_INVALIDARG) << index;
    EXPECT_EQ(d->get_DataY(index, &v), E_INVALIDARG) << index;
    EXPECT_EQ(d->put_DataY(index, 1.0), E_INVALIDARG) << index;
    EXPECT_EQ(d->get_DataX(index, &v), E_INVALIDARG) << index;
    EXPECT_EQ(d->put_DataX(index, 1.0), E_INVALIDARG) << index;
    EXPECT_EQ(d->get_Mask(index, &mask), E_INVALIDARG) << index;
    EXPECT_EQ(d->put_Mask(index, 0), E_INVALIDARG) << index;
  }
  EXPECT_EQ(d->put_Size(-1), E_INVALIDARG);
  EXPECT_EQ(SizeOf(d.get()), 3);

  // Arrays of this many points cannot be had: the object stays exactly as it was.
  for (LONG huge : {0x7FFFFFFF, 0x20000000}) {
    EXPECT_EQ(d->put_Size(huge), E_OUTOFMEMORY) << huge;
    EXPECT_EQ(SizeOf(d.get()), 3);
    EXPECT_EQ(YPtr(d.get()), y);
    EXPECT_EQ(XPtr(d.get()), x);
    EXPECT_EQ(MaskPtr(d.get()), m);
    EXPECT_EQ(d->get_Data(0, &v), S_OK);
    EXPECT_EQ(v, 1.0);
  }
  // Double-width X fails first; the flag stays set and the arrays stay put.
  EXPECT_EQ(d->put_UseXData(VARIANT_FALSE), S_OK);
  EXPECT_EQ(d->put_UseDoubleForXData(VARIANT_TRUE), S_OK);
  EXPECT_EQ(d->put_UseXData(VARIANT_TRUE), S_OK);
  x = XPtr(d.get());
  EXPECT_EQ(d->put_Size(0x10000000), E_OUTOFMEMORY);
  EXPECT_EQ(SizeOf(d.get()), 3);
  EXPECT_EQ(XPtr(d.get()), x);
  EXPECT_EQ(YPtr(d.get()), y);

  EXPECT_EQ(d->get_Size(nullptr), E_POINTER);
  EXPECT_EQ(d->get_Data(0, nullptr), E_POINTER);
  EXPECT_EQ(d->GetDataPtr(nullptr), E_POINTER);
  EXPECT_EQ(d->GetDataPtrX(nullptr), E_POINTER);
  EXPECT_EQ(d->GetMaskPtr(nullptr), E_POINTER);
  EXPECT_EQ(d->get_DataPtrXDouble(nullptr), E_POINTER);
  EXPECT_EQ(d->get_UseXData(nullptr), E_POINTER);
}
