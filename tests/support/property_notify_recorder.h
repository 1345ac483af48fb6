// A property-change sink that records the dispatch ids it is told of.
#pragma once

#include <kelmira/platform.h>

#include <vector>

namespace kelmira::test {

class PropertyNotifyRecorder : public IPropertyNotifySink {
 public:
  using Interfaces = InterfaceTable<IPropertyNotifySink>;
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override { return (changed.push_back(id), S_OK); }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
  std::vector<DISPID> changed;
};

}  // namespace kelmira::test
