#include "common/default_font.h"

namespace kelmira::common {

HRESULT MakeDefaultFont(ComPtr<IFontDisp>& font) {
  static constexpr OLECHAR kFace[] = u"Arial";
  FONTDESC desc{};
  desc.cbSizeofstruct = sizeof(FONTDESC);
  desc.lpstrName = const_cast<LPOLESTR>(kFace);
  desc.cySize.int64 = 70000;  // 7 points, in 1/10000 point
  desc.sWeight = 300;
  desc.sCharset = 0;
  ComPtr<IFontDisp> made;
  const HRESULT hr = OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&made));
  if (SUCCEEDED(hr)) font = std::move(made);
  return hr;
}

}  // namespace kelmira::common
