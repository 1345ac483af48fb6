// The standard font object behind OleCreateFontIndirect: IFont, IFontDisp, IPersistStream and a
// connection point for IPropertyNotifySink, told of every successful put by dispatch id.
#pragma once

#include <kelmira/platform/connection_points.h>
#include <kelmira/platform/ocidl.h>

#include <string>

namespace kelmira {

constexpr std::size_t kMaxFontNameLength = 255;     // UTF-16 units
constexpr LONGLONG kMaxFontSize = 32767LL * 10000;  // 32767 points as currency
constexpr SHORT kMaxFontWeight = 1000;
constexpr SHORT kMaxFontCharset = 255;
constexpr SHORT kBoldWeight = 700;
constexpr SHORT kNormalWeight = 400;
constexpr SHORT kBoldThreshold = 550;  // weights above it read as bold

struct FontAttributes {
  std::u16string name;
  LONGLONG size = 0;  // 1/10000 point
  SHORT weight = kNormalWeight;
  SHORT charset = 0;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;

  bool operator==(const FontAttributes&) const = default;
};

// E_INVALIDARG when a field is out of range.
HRESULT CheckFontAttributes(const FontAttributes& attrs);

// Makes a font object with these attributes and asks it for riid.
HRESULT CreateFontObject(const FontAttributes& attrs, REFIID riid, void** ppv);

class FontObject : public IFont, public IFontDisp, public IPersistStream, public ConnectionPointContainerImpl {
 public:
  using Interfaces = InterfaceTable<IFont, IFontDisp, Via<IDispatch, IFontDisp>, IPersistStream,
                                    Via<IPersist, IPersistStream>, IConnectionPointContainer>;
  static constexpr bool kAggregatable = false;

  explicit FontObject(FontAttributes attrs) : attrs_(std::move(attrs)) {}
  ~FontObject();
  HRESULT FinalConstruct();

  // IFont
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* pName) override;
  HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
  HRESULT STDMETHODCALLTYPE get_Size(CY* pSize) override;
  HRESULT STDMETHODCALLTYPE put_Size(CY size) override;
  HRESULT STDMETHODCALLTYPE get_Bold(BOOL* pBold) override;
  HRESULT STDMETHODCALLTYPE put_Bold(BOOL bold) override;
  HRESULT STDMETHODCALLTYPE get_Italic(BOOL* pItalic) override;
  HRESULT STDMETHODCALLTYPE put_Italic(BOOL italic) override;
  HRESULT STDMETHODCALLTYPE get_Underline(BOOL* pUnderline) override;
  HRESULT STDMETHODCALLTYPE put_Underline(BOOL underline) override;
  HRESULT STDMETHODCALLTYPE get_Strikethrough(BOOL* pStrikethrough) override;
  HRESULT STDMETHODCALLTYPE put_Strikethrough(BOOL strikethrough) override;
  HRESULT STDMETHODCALLTYPE get_Weight(SHORT* pWeight) override;
  HRESULT STDMETHODCALLTYPE put_Weight(SHORT weight) override;
  HRESULT STDMETHODCALLTYPE get_Charset(SHORT* pCharset) override;
  HRESULT STDMETHODCALLTYPE put_Charset(SHORT charset) override;
  HRESULT STDMETHODCALLTYPE get_hFont(HFONT* phFont) override;
  HRESULT STDMETHODCALLTYPE Clone(IFont** ppFont) override;
  HRESULT STDMETHODCALLTYPE IsEqual(IFont* pFontOther) override;
  HRESULT STDMETHODCALLTYPE SetRatio(LONG cyLogical, LONG cyHimetric) override;
  HRESULT STDMETHODCALLTYPE QueryTextMetrics(TEXTMETRICOLE* pTM) override;
  HRESULT STDMETHODCALLTYPE AddRefHfont(HFONT hFont) override;
  HRESULT STDMETHODCALLTYPE ReleaseHfont(HFONT hFont) override;
  HRESULT STDMETHODCALLTYPE SetHdc(HDC hDC) override;

  // IDispatch (font_dispatch.cpp)
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                          DISPID* rgDispId) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

  // IPersistStream (font_persist.cpp)
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(IStream* pStm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* pStm, BOOL fClearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;

 private:
  // Runs edit on a copy of the attributes, then Change.
  template <class Edit>
  HRESULT Modify(DISPID id, Edit edit);
  // Validates the changed attributes, takes them, and tells the property sinks.
  HRESULT Change(DISPID id, FontAttributes changed);
  HRESULT GetProperty(DISPID id, VARIANT* result);
  HRESULT PutProperty(DISPID id, const VARIANT& value);
  void DropHandle();

  FontAttributes attrs_;
  LONG cyLogical_ = 96;  // logical units per cyHimetric HIMETRIC units: the 96-dpi screen by default
  LONG cyHimetric_ = 2540;
  HDC hdc_ = nullptr;
  HFONT hfont_ = nullptr;  // the realised handle, once realised
  bool dirty_ = false;
};

}  // namespace kelmira
