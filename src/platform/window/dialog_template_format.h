// Constants of the in-memory dialog template layout, shared by the builder and the parser.
#pragma once

#include <kelmira/platform/types.h>

#include <cstddef>

namespace kelmira::window::dialog_format {

constexpr WORD kExtendedSignature = 0xFFFF;  // second word of a DLGTEMPLATEEX
constexpr WORD kOrdinalMarker = 0xFFFF;      // a name array that holds an ordinal or atom
constexpr DWORD kDsSetFont = 0x40;           // DS_SETFONT
constexpr DWORD kDsFixedSys = 0x08;          // DS_FIXEDSYS; with DS_SETFONT it makes DS_SHELLFONT
constexpr std::size_t kMaxItems = 0xFFFF;
constexpr std::size_t kMaxCreationData = 0xFFFF - sizeof(WORD);

}  // namespace kelmira::window::dialog_format
