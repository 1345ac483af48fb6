// The layer's use of ILineData: a fixed number of calls per line whatever the number of points,
// and a line whose data fails a call is skipped while the others are drawn.
#include "line_test_support.h"

#include <kelmira/platform/com_object.h>
#include <kelmira/platform/dispatch_impl.h>

using namespace linetest;

namespace {

// Wraps a LineData, counts the calls made on it and can fail GetMaskPtr.
class CountingData : public kelmira::DispatchImpl<ILineData> {
 public:
  using Interfaces = kelmira::InterfaceTable<ILineData, kelmira::Via<IDispatch, ILineData>>;

  ComPtr<ILineData> inner;
  int calls = 0;
  bool failMask = false;

#define KM_FORWARD(Name, Params, Args)             \
  HRESULT STDMETHODCALLTYPE Name Params override { \
    ++calls;                                       \
    return inner->Name Args;                       \
  }
  KM_FORWARD(get_Size, (LONG * p), (p))
  KM_FORWARD(put_Size, (LONG v), (v))
  KM_FORWARD(get_Mask, (LONG i, LONG* p), (i, p))
  KM_FORWARD(put_Mask, (LONG i, LONG v), (i, v))
  KM_FORWARD(get_Data, (LONG i, double* p), (i, p))
  KM_FORWARD(put_Data, (LONG i, double v), (i, v))
  KM_FORWARD(get_DataX, (LONG i, double* p), (i, p))
  KM_FORWARD(put_DataX, (LONG i, double v), (i, v))
  KM_FORWARD(get_DataY, (LONG i, double* p), (i, p))
  KM_FORWARD(put_DataY, (LONG i, double v), (i, v))
  KM_FORWARD(get_BadDataValue, (double* p), (p))
  KM_FORWARD(put_BadDataValue, (double v), (v))
  KM_FORWARD(get_BadDataValueX, (double* p), (p))
  KM_FORWARD(put_BadDataValueX, (double v), (v))
  KM_FORWARD(get_BadDataValueY, (double* p), (p))
  KM_FORWARD(put_BadDataValueY, (double v), (v))
  KM_FORWARD(GetDataPtr, (float** p), (p))
  KM_FORWARD(GetDataPtrX, (float** p), (p))
  KM_FORWARD(GetDataPtrY, (float** p), (p))
  KM_FORWARD(GetMinMax, (double* a, double* b, VARIANT_BOOL* r), (a, b, r))
  KM_FORWARD(GetMinMaxX, (double* a, double* b, VARIANT_BOOL* r), (a, b, r))
  KM_FORWARD(GetMinMaxY, (double* a, double* b, VARIANT_BOOL* r), (a, b, r))
  KM_FORWARD(get_UseXData, (VARIANT_BOOL * p), (p))
  KM_FORWARD(put_UseXData, (VARIANT_BOOL v), (v))
  KM_FORWARD(get_UseDoubleForXData, (VARIANT_BOOL * p), (p))
  KM_FORWARD(put_UseDoubleForXData, (VARIANT_BOOL v), (v))
  KM_FORWARD(get_DataPtrXDouble, (double** p), (p))
#undef KM_FORWARD

  HRESULT STDMETHODCALLTYPE GetMaskPtr(BYTE** p) override {
    ++calls;
    return failMask ? E_FAIL : inner->GetMaskPtr(p);
  }
};

using Counting = kelmira::Object<CountingData>;

ComPtr<Counting> Wrap(ComPtr<ILineData> inner) {
  ComPtr<Counting> counting;
  EXPECT_EQ(Counting::Make(&counting), S_OK);
  counting->inner = std::move(inner);
  return counting;
}

int CallsForOneRedraw(ComPtr<ILineData> inner) {
  ComPtr<Counting> counting = Wrap(std::move(inner));
  Canvas canvas(100, 100);
  ComPtr<ILineLayer> layer = NewLayer();
  AddWhiteLine(layer.get(), counting.get());
  layer->Redraw(canvas.Info(0, 10, 0, 10));
  EXPECT_FALSE(canvas.PaintedPixels().empty());
  return counting->calls;
}

}  // namespace

TEST(LineDataUseTest, CallsPerLineDoNotGrowWithThePoints) {
  for (XKind kind : {XKind::Index, XKind::Single, XKind::Double}) {
    std::vector<double> fewY(10, 5.0), manyY(100000, 5.0), fewX, manyX;
    for (std::size_t i = 0; i < fewY.size(); ++i) fewX.push_back(static_cast<double>(i));
    for (std::size_t i = 0; i < manyY.size(); ++i) manyX.push_back(static_cast<double>(i) * 1e-4);
    const int few = CallsForOneRedraw(NewData(fewY, kind, fewX));
    const int many = CallsForOneRedraw(NewData(manyY, kind, manyX));
    EXPECT_EQ(few, many);
    EXPECT_LE(many, 8);
  }
}

TEST(LineDataUseTest, ALineWhoseDataFailsIsSkipped) {
  ComPtr<Counting> failing = Wrap(NewData({1, 2, 3, 4}));
  failing->failMask = true;
  ComPtr<ILineData> good = NewData({5, 5});
  Canvas canvas(100, 100);
  ComPtr<ILineLayer> layer = NewLayer();
  AddWhiteLine(layer.get(), failing.get());
  AddWhiteLine(layer.get(), good.get());

  EXPECT_EQ(layer->Redraw(canvas.Info(0, 10, 0, 10)), S_OK);
  EXPECT_EQ(canvas.PaintedPixels(), ReferenceSegment(10, 49, 20, 49));
}
