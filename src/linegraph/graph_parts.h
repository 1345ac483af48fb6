// The parts a line graph is made of, created through the component system by class identifier
// (never constructed directly) and wired together: background and grid layers in the container,
// the three axes following the container and the grid, the right axis left-aligned, one font
// shared by the three axes.
#pragma once

#include <kelmira/kelmira.h>

namespace kelmira::linegraph {

struct GraphParts {
  ComPtr<IYAxis> yAxis;
  ComPtr<IYAxis> rightYAxis;
  ComPtr<IXAxis> xAxis;
  ComPtr<IGraphicsContainer> container;
  ComPtr<IBackgroundLayer> background;
  ComPtr<IGridLayer> grid;
};

// A part made by class identifier: created as IUnknown, put into the running state, then asked for
// I. Any failure is returned and *part stays empty.
HRESULT CreatePart(REFCLSID clsid, REFIID iid, void** part);
template <class I>
HRESULT CreatePart(REFCLSID clsid, I** part) {
  return CreatePart(clsid, __uuidof(I), reinterpret_cast<void**>(part));
}

// Creates and wires the parts in their fixed order and makes the font the axes share (font).
// The first failing step ends it with its error; what was made stays in *parts for the caller
// to release.
HRESULT BuildGraphParts(GraphParts* parts, ComPtr<IFontDisp>& font);

// Adds a layer to the container under a name.
HRESULT AddNamedLayer(IGraphicsContainer* container, const OLECHAR* name, IUnknown* layer);

// A layer index by name, as the container's layer members take it.
Variant LayerName(const OLECHAR* name);

}  // namespace kelmira::linegraph
