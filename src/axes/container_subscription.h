// An axis's subscription to the view events of its GraphicsContainer.
//
// The container's connection holds a small sink object, not the axis, so the subscription never
// keeps the axis alive: releasing an axis's last host reference destroys it, and its destructor
// ends the subscription. The sink points back at the axis without a reference and forgets it when
// the subscription ends, so a container that raises an event late reaches no one. Of the
// container's events only OnViewChanged is acted on; the others are accepted and ignored.
#pragma once

#include <kelmira/kelmira.h>

namespace kelmira::axes {

// What the sink calls on the axis.
class ViewChangeTarget {
 public:
  virtual void ContainerViewChanged() = 0;

 protected:
  ~ViewChangeTarget() = default;
};

class ContainerSubscription {
 public:
  ContainerSubscription() = default;
  ~ContainerSubscription() { End(); }
  ContainerSubscription(const ContainerSubscription&) = delete;
  ContainerSubscription& operator=(const ContainerSubscription&) = delete;

  // Ends any earlier subscription, then subscribes to container (which may be null). The target
  // must outlive the subscription.
  HRESULT Begin(IGraphicsContainer* container, ViewChangeTarget* target);
  void End();

 private:
  class Sink;
  ComPtr<IGraphicsContainer> container_;
  ComPtr<IDispatch> sinkReference_;
  Sink* sink_ = nullptr;  // the object sinkReference_ holds
  DWORD cookie_ = 0;
};

}  // namespace kelmira::axes
