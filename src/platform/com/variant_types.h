// Variant tags: which ones are valid, and reading through VT_BYREF.
#pragma once

#include <kelmira/platform/oleauto.h>

namespace kelmira::variants {

// S_OK for a tag a variant may carry; DISP_E_BADVARTYPE for unknown types, vectors and arrays.
HRESULT CheckTag(VARTYPE vt);

// The value a variant holds, read through VT_BYREF (also VT_BYREF | VT_VARIANT). The view
// shares the source's strings and interfaces and must not be cleared.
HRESULT Dereference(const VARIANT& src, VARIANT* view);

}  // namespace kelmira::variants
