#include "axes/axis_control.h"

namespace kelmira::axes {

HRESULT MakeDefaultAxisFont(ComPtr<IFontDisp>& font) {
  static constexpr OLECHAR kFace[] = u"Arial";
  FONTDESC desc{};
  desc.cbSizeofstruct = sizeof(FONTDESC);
  desc.lpstrName = const_cast<LPOLESTR>(kFace);
  desc.cySize.int64 = 70000;  // 7 points
  desc.sWeight = 300;
  desc.sCharset = 0;
  ComPtr<IFontDisp> made;
  const HRESULT hr = OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&made));
  if (SUCCEEDED(hr)) font = std::move(made);
  return hr;
}

HRESULT QueryOrEmpty(IUnknown* object, REFIID iid, void** out) {
  *out = nullptr;
  if (!object) return S_OK;
  const HRESULT hr = object->QueryInterface(iid, out);
  if (FAILED(hr)) *out = nullptr;
  return hr == E_NOINTERFACE ? S_OK : hr;
}

}  // namespace kelmira::axes
