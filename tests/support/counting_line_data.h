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

}  // namespace kelmira::test
