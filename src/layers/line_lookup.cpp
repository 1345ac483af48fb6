// Line lookup by name or position.
#include "layers/line_lookup.h"

namespace kelmira::layers {
namespace {

std::optional<std::size_t> FindByName(const std::vector<ComPtr<ILine>>& lines, const OLECHAR* name) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    // A line of a host may call back into its layer; hold it and recheck the size each time.
    ComPtr<ILine> line = lines[i];
    Bstr lineName;
    if (FAILED(line->get_Name(&lineName))) continue;
    if (NamesEqualIgnoringCase(lineName.get(), name)) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> AtPosition(const std::vector<ComPtr<ILine>>& lines, LONG position) {
  if (position < 0 || static_cast<std::size_t>(position) >= lines.size()) return std::nullopt;
  return static_cast<std::size_t>(position);
}

}  // namespace

HRESULT FindLine(const std::vector<ComPtr<ILine>>& lines, const VARIANT& index, std::optional<std::size_t>* position) {
  if (!position) return E_POINTER;
  *position = std::nullopt;
  Variant copy;
  HRESULT hr = VariantCopyInd(&copy, &index);
  if (FAILED(hr)) return hr;
  if (copy.vt == VT_BSTR) {
    *position = FindByName(lines, copy.bstrVal);
    return S_OK;
  }
  if (copy.vt == VT_I4) {
    *position = AtPosition(lines, copy.lVal);
    return S_OK;
  }
  Variant converted;
  hr = VariantChangeType(&converted, &copy, 0, VT_I4);
  if (FAILED(hr)) return hr;
  *position = AtPosition(lines, converted.lVal);
  return S_OK;
}

}  // namespace kelmira::layers
