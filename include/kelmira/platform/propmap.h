// Property maps and their stream persistence (AtlIPersistStreamInit_Save / _Load).
//
// A class lists what it persists, in order:
//
//   BEGIN_PROP_MAP(Axis)
//     PROP_DATA_ENTRY("_cx", extent_.cx, VT_UI4)
//     PROP_ENTRY("BackColor", DISPID_BACKCOLOR, CLSID_StockColorPage)
//     PROP_ENTRY_TYPE("Step", 2, CLSID_NULL, VT_R8)
//     PROP_PAGE(CLSID_AxisPage)
//   END_PROP_MAP()
//
// Stream form, little-endian: WORD version (1), then each entry in map order.
//   data entry:      exactly dwSizeData bytes of the field at pThis + dwOffsetData
//   property entry:  WORD VARTYPE, then its payload:
//     VT_EMPTY, VT_NULL                      nothing
//     VT_I1, VT_UI1                          1 byte
//     VT_I2, VT_UI2, VT_BOOL                 2 bytes
//     VT_I4, VT_UI4, VT_INT, VT_UINT,
//     VT_R4, VT_ERROR                        4 bytes
//     VT_I8, VT_UI8, VT_R8, VT_CY, VT_DATE   8 bytes
//     VT_BSTR                                DWORD length in UTF-16 units (0xFFFFFFFF: null
//                                            string), then the units
//     VT_DISPATCH, VT_UNKNOWN                the object's CLSID (WriteClassStm; CLSID_NULL for
//                                            no object), then what its IPersistStreamInit or
//                                            IPersistStream Save writes
//   page entry:      nothing
// A property is read with IDispatch get (DISPATCH_PROPERTYGET, no arguments) and, when the entry
// names a type, converted to it; on load it is set with IDispatch put (DISPATCH_PROPERTYPUT with
// the DISPID_PROPERTYPUT named argument), so the object's own put runs. Objects are recreated by
// CLSID (CoCreateInstance; standard fonts directly) and loaded through IPersistStreamInit or
// IPersistStream. The IDispatch is pUnk asked for piidDispatch (IDispatch when null or IID_NULL).
//
// The first failure ends the operation and is returned; what was written or set stays so:
//   a failing get, put, conversion or nested Save/Load    its HRESULT
//   a value of a type the form has no payload for       DISP_E_BADVARTYPE (save)
//   a short stream                                      STG_E_READFAULT (load)
//   another version word                                STG_E_OLDFORMAT
//   an unknown type tag                                 STG_E_DOCFILECORRUPT
//   a type tag other than the entry's declared type     DISP_E_TYPEMISMATCH
//   a full stream                                       STG_E_MEDIUMFULL (or the stream's error)
// Raw fields are read whole before they are copied, so a short stream never leaves half a field.
#pragma once

#include <kelmira/platform/objidl.h>
#include <kelmira/platform/oleauto.h>

#include <cstddef>

enum ATL_PROPMAP_KIND : DWORD {
  PROPMAP_END = 0,       // ends the map
  PROPMAP_DATA = 1,      // raw bytes of a field
  PROPMAP_PROPERTY = 2,  // a property through IDispatch
  PROPMAP_PAGE = 3,      // names a property page only; nothing is persisted
};

struct ATL_PROPMAP_ENTRY {
  LPCOLESTR szDesc;
  DISPID dispid;
  const CLSID* pclsidPropPage;
  const IID* piidDispatch;
  DWORD dwOffsetData;
  DWORD dwSizeData;
  VARTYPE vt;  // VT_EMPTY: any type
  ATL_PROPMAP_KIND kind;
};

constexpr WORD kPropMapStreamVersion = 1;

// E_POINTER for a null stream or map, for a data entry without pThis or a property entry without
// pUnk. fClearDirty is handed to the Save of nested objects.
KELMIRA_EXTERN_C HRESULT AtlIPersistStreamInit_Save(IStream* pStm, BOOL fClearDirty, const ATL_PROPMAP_ENTRY* pMap,
                                                    void* pThis, IUnknown* pUnk);
KELMIRA_EXTERN_C HRESULT AtlIPersistStreamInit_Load(IStream* pStm, const ATL_PROPMAP_ENTRY* pMap, void* pThis,
                                                    IUnknown* pUnk);

namespace kelmira {

constexpr ATL_PROPMAP_ENTRY PropData(LPCOLESTR desc, std::size_t offset, std::size_t size, VARTYPE vt) {
  return {desc, 0, &CLSID_NULL, &IID_NULL, static_cast<DWORD>(offset), static_cast<DWORD>(size), vt, PROPMAP_DATA};
}
constexpr ATL_PROPMAP_ENTRY PropEntry(LPCOLESTR desc, DISPID dispid, const CLSID& page, VARTYPE vt = VT_EMPTY,
                                      const IID& dispatch = IID_IDispatch) {
  return {desc, dispid, &page, &dispatch, 0, 0, vt, PROPMAP_PROPERTY};
}
constexpr ATL_PROPMAP_ENTRY PropPage(const CLSID& page) {
  return {nullptr, 0, &page, &IID_NULL, 0, 0, VT_EMPTY, PROPMAP_PAGE};
}
constexpr ATL_PROPMAP_ENTRY PropEnd() { return {nullptr, 0, nullptr, &IID_NULL, 0, 0, VT_EMPTY, PROPMAP_END}; }

}  // namespace kelmira

// The map macros give the class `static const ATL_PROPMAP_ENTRY* GetPropertyMap()`. Names are
// narrow or u"" literals. Offsets of fields are taken with offsetof, which the compilers used
// support for the classes with virtual functions that components are.
#define BEGIN_PROP_MAP(theClass)                     \
  static const ATL_PROPMAP_ENTRY* GetPropertyMap() { \
    using PropMapClass_ = theClass;                  \
    _Pragma("GCC diagnostic push")                   \
        _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"") static const ATL_PROPMAP_ENTRY propMap_[] = {
#define PROP_DATA_ENTRY(szDesc, member, vt) \
  ::kelmira::PropData(u"" szDesc, offsetof(PropMapClass_, member), sizeof(PropMapClass_::member), vt),
#define PROP_ENTRY(szDesc, dispid, clsid) ::kelmira::PropEntry(u"" szDesc, dispid, clsid),
#define PROP_ENTRY_TYPE(szDesc, dispid, clsid, vt) ::kelmira::PropEntry(u"" szDesc, dispid, clsid, vt),
#define PROP_ENTRY_EX(szDesc, dispid, clsid, iidDispatch) \
  ::kelmira::PropEntry(u"" szDesc, dispid, clsid, VT_EMPTY, iidDispatch),
#define PROP_ENTRY_TYPE_EX(szDesc, dispid, clsid, iidDispatch, vt) \
  ::kelmira::PropEntry(u"" szDesc, dispid, clsid, vt, iidDispatch),
#define PROP_PAGE(clsid) ::kelmira::PropPage(clsid),
#define END_PROP_MAP()                           \
  ::kelmira::PropEnd()                           \
  }                                              \
  ;                                              \
  _Pragma("GCC diagnostic pop") return propMap_; \
  }
