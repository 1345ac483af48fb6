// The viewer's connection to a GraphicsContainer's IGraphicsEvents: each event calls a function.
#pragma once

#include <kelmira/kelmira.h>

#include <functional>

namespace kelmira::view {

struct ContainerEvents {
  std::function<void(LONG event, LONG button, LONG screenX, LONG screenY)> mouse;
  std::function<void()> viewChanged;
  std::function<void()> userZoom;
};

// Connected while it lives. Events arrive synchronously, on the container's thread.
class ContainerEventSink {
 public:
  ContainerEventSink(IGraphicsContainer* container, ContainerEvents events);
  ~ContainerEventSink();
  ContainerEventSink(const ContainerEventSink&) = delete;
  ContainerEventSink& operator=(const ContainerEventSink&) = delete;
  bool connected() const { return cookie_ != 0; }

 private:
  class Sink;
  ComPtr<IGraphicsContainer> container_;
  ComPtr<IDispatch> sink_;
  DWORD cookie_ = 0;
};

}  // namespace kelmira::view
