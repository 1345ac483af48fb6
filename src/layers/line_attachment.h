// A private way for a line layer to ask one of our own lines for its attached data without
// creating any: ILine::get_Data makes a new LineData when none is attached, and drawing must
// never do that. Lines written by a host do not answer to it; the layer then uses get_Data.
#pragma once

#include <kelmira/kelmira.h>

struct ILineAttachment : IUnknown {
  // *ppData receives the attached data with a reference, or null when none is attached.
  virtual HRESULT STDMETHODCALLTYPE GetAttachedData(ILineData** ppData) = 0;
};
KELMIRA_DEFINE_IID(ILineAttachment, 0x5B0E3C42, 0x9D71, 0x4F0A, 0xA6, 0x2E, 0x31, 0x7C, 0xD8, 0x04, 0x5E, 0x9B);
