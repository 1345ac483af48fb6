// An advise sink that records the notifications of a view, data or object advise connection.
#pragma once

#include <kelmira/platform.h>

#include <utility>
#include <vector>

namespace kelmira::test {

class AdviseRecorder : public IAdviseSinkEx {
 public:
  using Interfaces = InterfaceTable<IAdviseSinkEx, Via<IAdviseSink, IAdviseSinkEx>>;
  std::vector<std::pair<DWORD, LONG>> viewChanges;  // (aspect, lindex)
  std::vector<DWORD> dataTymeds;
  int closes = 0;
  int saves = 0;
  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM* medium) override { dataTymeds.push_back(medium->tymed); }
  void STDMETHODCALLTYPE OnViewChange(DWORD aspect, LONG lindex) override { viewChanges.emplace_back(aspect, lindex); }
  void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
  void STDMETHODCALLTYPE OnSave() override { ++saves; }
  void STDMETHODCALLTYPE OnClose() override { ++closes; }
  void STDMETHODCALLTYPE OnViewStatusChange(DWORD) override {}
};

}  // namespace kelmira::test
