// Late-bound calls: IDispatch::Invoke of a property get and a put against the direct vtable
// call, and name lookup, on a layer implemented with the table-driven dispatch.
#include <kelmira/kelmira.h>

#include <benchmark/benchmark.h>

namespace {

class BenchLayer : public kelmira::DispatchImpl<IGraphicsLayer> {
 public:
  using Interfaces = kelmira::InterfaceTable<IGraphicsLayer, kelmira::Via<IDispatch, IGraphicsLayer>>;
  HRESULT STDMETHODCALLTYPE Redraw(DrawLayerInfo) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE get_UseBitmap(VARIANT_BOOL* p) override {
    *p = useBitmap_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_UseBitmap(VARIANT_BOOL v) override {
    useBitmap_ = v;
    return S_OK;
  }

 private:
  VARIANT_BOOL useBitmap_ = VARIANT_FALSE;
};

kelmira::ComPtr<IGraphicsLayer> MakeLayer() {
  kelmira::ComPtr<IGraphicsLayer> layer;
  kelmira::Object<BenchLayer>::Create(nullptr, IID_IGraphicsLayer, reinterpret_cast<void**>(&layer));
  return layer;
}

void BM_VtableGet(benchmark::State& state) {
  auto layer = MakeLayer();
  VARIANT_BOOL value = 0;
  for (auto _ : state) {
    layer->get_UseBitmap(&value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_VtableGet);

void BM_InvokeGet(benchmark::State& state) {
  auto layer = MakeLayer();
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  kelmira::Variant result;
  for (auto _ : state) {
    HRESULT hr =
        layer->Invoke(0x65, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    benchmark::DoNotOptimize(hr);
  }
  if (result.vt != VT_BOOL) state.SkipWithError("Invoke did not return a VT_BOOL");
}
BENCHMARK(BM_InvokeGet);

void BM_InvokePut(benchmark::State& state) {
  auto layer = MakeLayer();
  kelmira::Variant arg;
  arg.vt = VT_I4;  // converted to VT_BOOL on the way in
  arg.lVal = 1;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&arg, &named, 1, 1};
  for (auto _ : state) {
    HRESULT hr =
        layer->Invoke(0x65, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(hr);
  }
}
BENCHMARK(BM_InvokePut);

void BM_GetIDsOfNames(benchmark::State& state) {
  auto layer = MakeLayer();
  OLECHAR name[] = u"usebitmap";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  for (auto _ : state) {
    HRESULT hr = layer->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    benchmark::DoNotOptimize(hr);
  }
  if (id != 0x65) state.SkipWithError("wrong dispatch id");
}
BENCHMARK(BM_GetIDsOfNames);

}  // namespace
