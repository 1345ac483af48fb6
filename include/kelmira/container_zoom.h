// The zoom operations behind a GraphicsContainer's mouse gestures, for hosts that add gestures of
// their own (the wheel, keys, a toolbar). They do exactly what the gestures do: the new limits
// pass the container's validation (inside the extents, at least MinZoomX by MinZoomY), the
// vertical limits stay where a right-Y layer or AllowYZoom FALSE keep them on a user zoom, and the
// container raises OnViewChanged, then OnUserZoom, and redraws. The right-Y limits never change.
//
//   KelmiraZoomByFactor(container, 1.25, &x, &y);   // zoom in about the logical point (x, y)
//   KelmiraZoomByFactor(container, 0.8, nullptr, nullptr);   // zoom out about the centre
//
// `container` may be any interface of a GraphicsContainer of this module. E_POINTER for null;
// E_NOINTERFACE for another object; E_INVALIDARG for a factor that is not finite and above zero
// or a centre that is not finite (nothing changes and no event is raised then).
#pragma once

#include <kelmira/kelmira.h>

// factor 2.0 halves the width and height shown, 0.5 doubles them. x and y: the logical point
// kept in place, both or neither (null: the centre of the limits).
KELMIRA_EXTERN_C HRESULT KelmiraZoomByFactor(IUnknown* container, double factor, const double* x, const double* y);
// Back to the whole extents.
KELMIRA_EXTERN_C HRESULT KelmiraZoomToExtents(IUnknown* container);
