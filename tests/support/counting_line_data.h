// A LineData stand-in that forwards to a real one, counts the calls made on it and can fail
// GetMaskPtr: to see how a layer uses its data.
#pragma once

#include <kelmira/kelmira.h>
#include <kelmira/platform/dispatch_impl.h>

namespace kelmira::test {

class CountingLineData : public DispatchImpl<ILineData> {
 public:
  using Interfaces = InterfaceTable<ILineData, Via<IDispatch, ILineData>>;

  static ComPtr<Object<CountingLineData>> Wrap(ComPtr<ILineData> inner) {
    ComPtr<Object<CountingLineData>> counting;
    Object<CountingLineData>::Make(&counting);
    counting->inner = std::move(inner);
    return counting;
  }

  ComPtr<ILineData> inner;
  int calls = 0;
  bool failMask = false;

#define KM_FORWARD(Name, Params, Args)             \
  HRESULT STDMETHODCALLTYPE Name Params override { \
    ++calls;                                       \
    return inner->Name Args;                       \
  }
#define KM_PROPERTY(Name, T) KM_FORWARD(get_##Name, (T * p), (p)) KM_FORWARD(put_##Name, (T v), (v))
#define KM_AT(Name, T) KM_FORWARD(get_##Name, (LONG i, T * p), (i, p)) KM_FORWARD(put_##Name, (LONG i, T v), (i, v))
  KM_PROPERTY(Size, LONG)
  KM_PROPERTY(BadDataValue, double)
  KM_PROPERTY(BadDataValueX, double)
  KM_PROPERTY(BadDataValueY, double)
  KM_PROPERTY(UseXData, VARIANT_BOOL)
  KM_PROPERTY(UseDoubleForXData, VARIANT_BOOL)
  KM_AT(Mask, LONG)
  KM_AT(Data, double)
  KM_AT(DataX, double)
  KM_AT(DataY, double)
  KM_FORWARD(GetDataPtr, (float** p), (p))
  KM_FORWARD(GetDataPtrX, (float** p), (p))
  KM_FORWARD(GetDataPtrY, (float** p), (p))
  KM_FORWARD(GetMinMax, (double* a, double* b, VARIANT_BOOL* r), (a, b, r))
  KM_FORWARD(GetMinMaxX, (double* a, double* b, VARIANT_BOOL* r), (a, b, r))
  KM_FORWARD(GetMinMaxY, (double* a, double* b, VARIANT_BOOL* r), (a, b, r))
  KM_FORWARD(get_DataPtrXDouble, (double** p), (p))
#undef KM_AT
#undef KM_PROPERTY
#undef KM_FORWARD

  HRESULT STDMETHODCALLTYPE GetMaskPtr(BYTE** p) override {
    ++calls;
    return failMask ? E_FAIL : inner->GetMaskPtr(p);
  }
};

}  // namespace kelmira::test
