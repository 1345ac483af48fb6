// How the exported zoom functions (kelmira/container_zoom.h) find a container of this module: an
// interface with an identifier of its own, answered only by GraphicsContainer and never part of
// the type library.
#pragma once

#include <kelmira/platform/unknwn.h>

struct IKelmiraZoomEntry : IUnknown {
  virtual void STDMETHODCALLTYPE EntryZoomByFactor(double factor, const double* x, const double* y) = 0;
  virtual void STDMETHODCALLTYPE EntryZoomToExtents() = 0;
};

// {5A7E2C0B-9D41-4F6E-B3A8-1C0D7E92F415}
KELMIRA_DEFINE_IID(IKelmiraZoomEntry, 0x5a7e2c0b, 0x9d41, 0x4f6e, 0xb3, 0xa8, 0x1c, 0x0d, 0x7e, 0x92, 0xf4, 0x15);
