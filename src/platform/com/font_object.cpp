// The standard font object: attributes, cloning, comparison and handle locks.
#include "com/font_object.h"

#include "com/codepage.h"
#include "com/font_handles.h"
#include "gdi/text_metrics.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/wingdi.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace kelmira {
namespace {

bool IsAsciiUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }
char16_t FoldAscii(char16_t c) { return IsAsciiUpper(c) ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// Face names compare without regard to case, as the font mapper matches them.
bool SameFaceName(const std::u16string& a, const OLECHAR* b, UINT length) {
  if (a.size() != length) return false;
  for (UINT i = 0; i < length; ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

constexpr double kHimetricPerPoint = 2540.0 / 72.0;

// The logical font of the attributes at cyLogical logical units per cyHimetric HIMETRIC units.
LOGFONTA LogFontOf(const FontAttributes& attrs, LONG cyLogical, LONG cyHimetric) {
  LOGFONTA lf{};
  const double points = static_cast<double>(attrs.size) / 10000.0;
  const double logical = points * kHimetricPerPoint * cyLogical / cyHimetric;
  lf.lfHeight = -static_cast<LONG>(std::min(std::llround(std::fabs(logical)), 0x7FFFFFFFLL));
  lf.lfWeight = attrs.weight;
  lf.lfItalic = attrs.italic ? TRUE : FALSE;
  lf.lfUnderline = attrs.underline ? TRUE : FALSE;
  lf.lfStrikeOut = attrs.strikethrough ? TRUE : FALSE;
  lf.lfCharSet = static_cast<BYTE>(attrs.charset);
  std::size_t n = 0;
  for (char16_t ch : attrs.name) {
    if (n + 1 >= static_cast<std::size_t>(LF_FACESIZE)) break;
    int byte = codepage::ToWindows1252(ch);
    lf.lfFaceName[n++] = static_cast<char>(byte < 0 ? '?' : byte);
  }
  return lf;
}

}  // namespace

FontHandleTable& FontHandles() {
  // A realised handle is deleted once no font object uses it and no drawing code has it locked.
  static FontHandleTable table([](HFONT font) { DeleteObject(font); });
  return table;
}

HRESULT CheckFontAttributes(const FontAttributes& attrs) {
  if (attrs.name.size() > kMaxFontNameLength) return E_INVALIDARG;
  if (attrs.size < 0 || attrs.size > kMaxFontSize) return E_INVALIDARG;
  if (attrs.weight < 0 || attrs.weight > kMaxFontWeight) return E_INVALIDARG;
  if (attrs.charset < 0 || attrs.charset > kMaxFontCharset) return E_INVALIDARG;
  return S_OK;
}

HRESULT CreateFontObject(const FontAttributes& attrs, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  HRESULT hr = CheckFontAttributes(attrs);
  if (FAILED(hr)) return hr;
  ComPtr<Object<FontObject>> font;
  hr = Object<FontObject>::Make(&font, attrs);
  if (FAILED(hr)) return hr;
  return font->QueryInterface(riid, ppv);
}

FontObject::~FontObject() { DropHandle(); }

HRESULT FontObject::FinalConstruct() { return AddConnectionPoint(IID_IPropertyNotifySink, SinkKind::Interface); }

void FontObject::DropHandle() {
  if (!hfont_) return;
  FontHandles().Drop(hfont_);
  hfont_ = nullptr;
}

template <class Edit>
HRESULT FontObject::Modify(DISPID id, Edit edit) {
  return Guarded([&] {
    FontAttributes changed = attrs_;
    edit(changed);
    return Change(id, std::move(changed));
  });
}

HRESULT FontObject::Change(DISPID id, FontAttributes changed) {
  HRESULT hr = CheckFontAttributes(changed);
  if (FAILED(hr)) return hr;
  attrs_ = std::move(changed);  // cannot throw: the copy was made by the caller
  dirty_ = true;
  DropHandle();  // the next get_hFont realises the new description
  // A sink's failure does not undo the change.
  ForEachSink<IPropertyNotifySink>(ConnectionPointFor(IID_IPropertyNotifySink), [id](IPropertyNotifySink* sink) {
    (void)Guarded([&] { return sink->OnChanged(id); });
  });
  return S_OK;
}

HRESULT FontObject::get_Name(BSTR* pName) {
  if (!pName) return E_POINTER;
  *pName = SysAllocStringLen(attrs_.name.data(), static_cast<UINT>(attrs_.name.size()));
  return *pName ? S_OK : E_OUTOFMEMORY;
}

HRESULT FontObject::put_Name(BSTR name) {
  // A null BSTR is the empty string.
  return Modify(DISPID_FONT_NAME, [&](FontAttributes& a) { a.name.assign(name ? name : u"", SysStringLen(name)); });
}

HRESULT FontObject::get_Size(CY* pSize) {
  if (!pSize) return E_POINTER;
  pSize->int64 = attrs_.size;
  return S_OK;
}

HRESULT FontObject::put_Size(CY size) {
  return Modify(DISPID_FONT_SIZE, [&](FontAttributes& a) { a.size = size.int64; });
}

HRESULT FontObject::get_Bold(BOOL* pBold) {
  if (!pBold) return E_POINTER;
  *pBold = attrs_.weight > kBoldThreshold ? TRUE : FALSE;
  return S_OK;
}

HRESULT FontObject::put_Bold(BOOL bold) {
  return Modify(DISPID_FONT_BOLD, [&](FontAttributes& a) { a.weight = bold ? kBoldWeight : kNormalWeight; });
}

HRESULT FontObject::get_Italic(BOOL* pItalic) {
  if (!pItalic) return E_POINTER;
  *pItalic = attrs_.italic ? TRUE : FALSE;
  return S_OK;
}

HRESULT FontObject::put_Italic(BOOL italic) {
  return Modify(DISPID_FONT_ITALIC, [&](FontAttributes& a) { a.italic = italic != 0; });
}

HRESULT FontObject::get_Underline(BOOL* pUnderline) {
  if (!pUnderline) return E_POINTER;
  *pUnderline = attrs_.underline ? TRUE : FALSE;
  return S_OK;
}

HRESULT FontObject::put_Underline(BOOL underline) {
  return Modify(DISPID_FONT_UNDER, [&](FontAttributes& a) { a.underline = underline != 0; });
}

HRESULT FontObject::get_Strikethrough(BOOL* pStrikethrough) {
  if (!pStrikethrough) return E_POINTER;
  *pStrikethrough = attrs_.strikethrough ? TRUE : FALSE;
  return S_OK;
}

HRESULT FontObject::put_Strikethrough(BOOL strikethrough) {
  return Modify(DISPID_FONT_STRIKE, [&](FontAttributes& a) { a.strikethrough = strikethrough != 0; });
}

HRESULT FontObject::get_Weight(SHORT* pWeight) {
  if (!pWeight) return E_POINTER;
  *pWeight = attrs_.weight;
  return S_OK;
}

HRESULT FontObject::put_Weight(SHORT weight) {
  return Modify(DISPID_FONT_WEIGHT, [&](FontAttributes& a) { a.weight = weight; });
}

HRESULT FontObject::get_Charset(SHORT* pCharset) {
  if (!pCharset) return E_POINTER;
  *pCharset = attrs_.charset;
  return S_OK;
}

HRESULT FontObject::put_Charset(SHORT charset) {
  return Modify(DISPID_FONT_CHARSET, [&](FontAttributes& a) { a.charset = charset; });
}

HRESULT FontObject::get_hFont(HFONT* phFont) {
  if (!phFont) return E_POINTER;
  *phFont = nullptr;
  if (!hfont_) {
    // Kept until an attribute or the ratio changes.
    const LOGFONTA lf = LogFontOf(attrs_, cyLogical_, cyHimetric_);
    HFONT font = CreateFontIndirectA(&lf);
    if (!font) return E_OUTOFMEMORY;
    if (HRESULT hr = Guarded([&] { FontHandles().Use(font); }); FAILED(hr)) {
      DeleteObject(font);
      return hr;
    }
    hfont_ = font;
  }
  *phFont = hfont_;
  return S_OK;
}

HRESULT FontObject::Clone(IFont** ppFont) {
  if (!ppFont) return E_POINTER;
  *ppFont = nullptr;
  ComPtr<Object<FontObject>> copy;
  HRESULT hr = Object<FontObject>::Make(&copy, attrs_);
  if (FAILED(hr)) return hr;
  copy->cyLogical_ = cyLogical_;
  copy->cyHimetric_ = cyHimetric_;
  copy->hdc_ = hdc_;
  *ppFont = copy.Detach();
  return S_OK;
}

HRESULT FontObject::IsEqual(IFont* pFontOther) {
  if (!pFontOther) return E_POINTER;
  // Read through IFont, so a font made elsewhere compares too.
  Bstr name;
  CY size{};
  SHORT weight = 0, charset = 0;
  BOOL italic = FALSE, underline = FALSE, strikethrough = FALSE;
  HRESULT hr = pFontOther->get_Name(&name);
  if (SUCCEEDED(hr)) hr = pFontOther->get_Size(&size);
  if (SUCCEEDED(hr)) hr = pFontOther->get_Weight(&weight);
  if (SUCCEEDED(hr)) hr = pFontOther->get_Charset(&charset);
  if (SUCCEEDED(hr)) hr = pFontOther->get_Italic(&italic);
  if (SUCCEEDED(hr)) hr = pFontOther->get_Underline(&underline);
  if (SUCCEEDED(hr)) hr = pFontOther->get_Strikethrough(&strikethrough);
  if (FAILED(hr)) return hr;
  bool same = SameFaceName(attrs_.name, name.get(), name.length()) && size.int64 == attrs_.size &&
              weight == attrs_.weight && charset == attrs_.charset && (italic != 0) == attrs_.italic &&
              (underline != 0) == attrs_.underline && (strikethrough != 0) == attrs_.strikethrough;
  return same ? S_OK : S_FALSE;
}

HRESULT FontObject::SetRatio(LONG cyLogical, LONG cyHimetric) {
  if (cyLogical == 0 || cyHimetric == 0) return E_INVALIDARG;
  cyLogical_ = cyLogical;
  cyHimetric_ = cyHimetric;
  DropHandle();  // the realised height depends on the ratio
  return S_OK;
}

HRESULT FontObject::QueryTextMetrics(TEXTMETRICOLE* pTM) {
  if (!pTM) return E_POINTER;
  HFONT font = nullptr;
  HRESULT hr = get_hFont(&font);
  if (FAILED(hr)) return hr;
  return gdi::FontObjectMetrics(font, pTM) ? S_OK : E_OUTOFMEMORY;
}

HRESULT FontObject::AddRefHfont(HFONT hFont) { return FontHandles().Lock(hFont); }

HRESULT FontObject::ReleaseHfont(HFONT hFont) { return FontHandles().Unlock(hFont); }

HRESULT FontObject::SetHdc(HDC hDC) {
  // Kept for realising and measuring; the font does not own the context.
  hdc_ = hDC;
  return S_OK;
}

}  // namespace kelmira

HRESULT OleCreateFontIndirect(LPFONTDESC lpFontDesc, REFIID riid, LPVOID* lplpvObj) {
  if (!lplpvObj) return E_POINTER;
  *lplpvObj = nullptr;
  if (!lpFontDesc) return E_POINTER;
  if (lpFontDesc->cbSizeofstruct != sizeof(FONTDESC)) return E_INVALIDARG;
  return kelmira::Guarded([&] {
    kelmira::FontAttributes attrs;
    if (const OLECHAR* name = lpFontDesc->lpstrName) {
      // Bounded scan: a name longer than the limit is refused, never read to its end.
      std::size_t n = 0;
      while (n <= kelmira::kMaxFontNameLength && name[n]) ++n;
      if (n > kelmira::kMaxFontNameLength) return E_INVALIDARG;
      attrs.name.assign(name, n);
    }
    attrs.size = lpFontDesc->cySize.int64;
    attrs.weight = lpFontDesc->sWeight;
    attrs.charset = lpFontDesc->sCharset;
    attrs.italic = lpFontDesc->fItalic != 0;
    attrs.underline = lpFontDesc->fUnderline != 0;
    attrs.strikethrough = lpFontDesc->fStrikethrough != 0;
    return kelmira::CreateFontObject(attrs, riid, lplpvObj);
  });
}
