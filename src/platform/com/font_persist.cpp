// IPersistStream of the font object.
//
// Byte form, little-endian, version 1:
//   WORD     version (1)
//   DWORD    name length n in UTF-16 units (at most 255)
//   WORD[n]  name
//   LONGLONG size in 1/10000 point (0 .. 32767 points)
//   WORD     weight (0 .. 1000)
//   WORD     charset (0 .. 255)
//   BYTE     flags: 1 italic, 2 underline, 4 strikethrough; other bits zero
// Load reads and checks the whole record before it changes the font: a short stream gives
// STG_E_READFAULT, another version STG_E_OLDFORMAT, a field out of range STG_E_DOCFILECORRUPT.
#include "com/font_object.h"

#include "com/persist_io.h"

#include <kelmira/platform/guarded.h>

namespace kelmira {
namespace {

constexpr WORD kFontStreamVersion = 1;
constexpr BYTE kItalicFlag = 1;
constexpr BYTE kUnderlineFlag = 2;
constexpr BYTE kStrikethroughFlag = 4;
constexpr BYTE kKnownFlags = kItalicFlag | kUnderlineFlag | kStrikethroughFlag;

ULONGLONG RecordSize(const FontAttributes& attrs) { return 2 + 4 + 2 * attrs.name.size() + 8 + 2 + 2 + 1; }

HRESULT WriteRecord(IStream* stream, const FontAttributes& attrs) {
  BYTE flags = (attrs.italic ? kItalicFlag : 0) | (attrs.underline ? kUnderlineFlag : 0) |
               (attrs.strikethrough ? kStrikethroughFlag : 0);
  HRESULT hr = persist::WriteLE<WORD>(stream, kFontStreamVersion);
  if (SUCCEEDED(hr)) hr = persist::WriteLE<DWORD>(stream, static_cast<DWORD>(attrs.name.size()));
  if (SUCCEEDED(hr)) hr = persist::WriteUtf16(stream, attrs.name.data(), attrs.name.size());
  if (SUCCEEDED(hr)) hr = persist::WriteLE<LONGLONG>(stream, attrs.size);
  if (SUCCEEDED(hr)) hr = persist::WriteLE<SHORT>(stream, attrs.weight);
  if (SUCCEEDED(hr)) hr = persist::WriteLE<SHORT>(stream, attrs.charset);
  if (SUCCEEDED(hr)) hr = persist::WriteLE<BYTE>(stream, flags);
  return hr;
}

HRESULT ReadRecord(IStream* stream, FontAttributes* attrs) {
  WORD version = 0;
  HRESULT hr = persist::ReadLE(stream, &version);
  if (FAILED(hr)) return hr;
  if (version != kFontStreamVersion) return STG_E_OLDFORMAT;
  DWORD length = 0;
  hr = persist::ReadLE(stream, &length);
  if (FAILED(hr)) return hr;
  if (length > kMaxFontNameLength) return STG_E_DOCFILECORRUPT;
  hr = persist::ReadUtf16(stream, length, &attrs->name);
  BYTE flags = 0;
  if (SUCCEEDED(hr)) hr = persist::ReadLE(stream, &attrs->size);
  if (SUCCEEDED(hr)) hr = persist::ReadLE(stream, &attrs->weight);
  if (SUCCEEDED(hr)) hr = persist::ReadLE(stream, &attrs->charset);
  if (SUCCEEDED(hr)) hr = persist::ReadLE(stream, &flags);
  if (FAILED(hr)) return hr;
  if (flags & ~kKnownFlags) return STG_E_DOCFILECORRUPT;
  attrs->italic = flags & kItalicFlag;
  attrs->underline = flags & kUnderlineFlag;
  attrs->strikethrough = flags & kStrikethroughFlag;
  return FAILED(CheckFontAttributes(*attrs)) ? STG_E_DOCFILECORRUPT : S_OK;
}

}  // namespace

HRESULT FontObject::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = CLSID_StdFont;
  return S_OK;
}

HRESULT FontObject::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT FontObject::Load(IStream* pStm) {
  if (!pStm) return E_POINTER;
  return Guarded([&] {
    FontAttributes loaded;
    HRESULT hr = ReadRecord(pStm, &loaded);
    if (FAILED(hr)) return hr;
    attrs_ = std::move(loaded);
    dirty_ = false;
    DropHandle();
    return S_OK;
  });
}

HRESULT FontObject::Save(IStream* pStm, BOOL fClearDirty) {
  if (!pStm) return E_POINTER;
  HRESULT hr = WriteRecord(pStm, attrs_);
  if (SUCCEEDED(hr) && fClearDirty) dirty_ = false;
  return hr;
}

HRESULT FontObject::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  if (!pcbSize) return E_POINTER;
  pcbSize->QuadPart = RecordSize(attrs_);
  return S_OK;
}

}  // namespace kelmira
