// A connection point container with a dispinterface point (ITestEvents) and an ordinary one
// (IPropertyNotifySink), and the fixture of the connection point tests.
#pragma once

#include "support/event_recorder.h"

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <vector>

struct ITestEvents : IDispatch {};
KELMIRA_DEFINE_IID(ITestEvents, 0x5a3e61c0, 0x2b7d, 0x4c11, 0x8e, 0x90, 0x41, 0x6b, 0x22, 0x0d, 0x7a, 0x01);
struct IOtherEvents : IDispatch {};
KELMIRA_DEFINE_IID(IOtherEvents, 0x5a3e61c0, 0x2b7d, 0x4c11, 0x8e, 0x90, 0x41, 0x6b, 0x22, 0x0d, 0x7a, 0x02);

namespace kelmira::test {

class EventSource : public ConnectionPointContainerImpl {
 public:
  using Interfaces = InterfaceTable<IConnectionPointContainer>;
  ~EventSource() { *destroyed = true; }
  HRESULT FinalConstruct() {
    HRESULT hr = AddConnectionPoint(IID_ITestEvents, SinkKind::Dispatch);
    return SUCCEEDED(hr) ? AddConnectionPoint(IID_IPropertyNotifySink, SinkKind::Interface) : hr;
  }
  using ConnectionPointContainerImpl::AddConnectionPoint;

  bool gone = false;
  bool* destroyed = &gone;  // set when the source goes
};

// A source, its dispinterface point, and the log its recorders share.
class EventSourceTest : public ::testing::Test {
 protected:
  EventSourceTest() { point = (Object<EventSource>::Make(&source), source->ConnectionPointFor(IID_ITestEvents)); }
  ComPtr<Object<EventRecorder>> Recorder(const char* name) { return EventRecorder::Make(name, &log); }
  DWORD Advise(IUnknown* sink) {
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
    return cookie;
  }

  std::vector<EventCall> log;
  ComPtr<Object<EventSource>> source;
  ConnectionPoint* point = nullptr;
};

}  // namespace kelmira::test
