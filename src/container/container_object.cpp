// Making and ending a container: its event source and the mouse input manager it owns.
#include "container/graphics_container.h"

#include <memory>

namespace kelmira::container {

HRESULT GraphicsContainer::FinalConstruct() {
  HRESULT hr = AddConnectionPoint(DIID_IGraphicsEvents, SinkKind::Dispatch);
  if (FAILED(hr)) return hr;
  // The factory sets AutoZoom to 1.
  return mouse::CreateOwnedMouseInputManager(this, std::addressof(manager_), &routing_);
}

GraphicsContainer::~GraphicsContainer() {
  // The manager may outlive us when a host still holds it; it must forget its back-reference.
  if (routing_) routing_->DetachContainer();
  routing_ = nullptr;
}

}  // namespace kelmira::container
