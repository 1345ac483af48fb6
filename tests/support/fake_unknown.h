// An object that only counts its references and answers every query with a chosen result: an
// outer object for aggregation, or an argument that is not what a property expects.
#pragma once

#include <kelmira/kelmira.h>

namespace kelmira::test {

struct FakeUnknown : IUnknown {
  explicit FakeUnknown(HRESULT answer = E_NOINTERFACE) : answer(answer) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override { return *ppv = nullptr, answer; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT answer;
  ULONG refs = 1;
};

}  // namespace kelmira::test
