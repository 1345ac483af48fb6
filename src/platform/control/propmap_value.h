// Typed values of property-map streams: a VARTYPE tag and its payload (the table in propmap.h).
#pragma once

#include <kelmira/platform/objidl.h>

namespace kelmira::propmap {

// DISP_E_BADVARTYPE, before anything is written, for a type the form has no payload for.
HRESULT WriteTypedValue(IStream* stream, const VARIANT& value, BOOL clearDirty);

// Reads one value into *value (which must hold nothing). With `expected` other than VT_EMPTY a
// different tag gives DISP_E_TYPEMISMATCH; an unknown tag gives STG_E_DOCFILECORRUPT.
HRESULT ReadTypedValue(IStream* stream, VARTYPE expected, VARIANT* value);

}  // namespace kelmira::propmap
