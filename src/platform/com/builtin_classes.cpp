#include "com/builtin_classes.h"

#include <kelmira/platform/com_object.h>
#include <kelmira/platform/ocidl.h>

#include "com/font_object.h"

namespace kelmira {
namespace {

// A new standard font starts as the desktop platform's default dialog font.
HRESULT CreateStdFont(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  FontAttributes attrs;
  attrs.name = u"MS Sans Serif";
  attrs.size = 82500;  // 8.25 points
  return CreateFontObject(attrs, riid, ppv);
}

ClassFactory gStdFontFactory(&CreateStdFont);

}  // namespace

IClassFactory* FindBuiltInClass(REFCLSID clsid) {
  if (IsEqualCLSID(clsid, CLSID_StdFont)) return &gStdFontFactory;
  return nullptr;
}

}  // namespace kelmira
