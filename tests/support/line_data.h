// LineData made from lists of values, for the tests that draw lines.
#pragma once

#include "support/create.h"

#include <vector>

namespace kelmira::test {

// How X is given: by the point's index, or as single or double values.
enum class XKind { Index, Single, Double };

// LineData with the given Y values (and X values unless X is the index), every point shown.
inline ComPtr<ILineData> NewLineData(const std::vector<double>& ys, XKind kind = XKind::Index,
                                     const std::vector<double>& xs = {}) {
  auto data = Create<ILineData>(CLSID_LineData);
  if (kind == XKind::Index) data->put_UseXData(VARIANT_FALSE);
  if (kind == XKind::Double) data->put_UseDoubleForXData(VARIANT_TRUE);
  data->put_Size(static_cast<LONG>(ys.size()));
  for (std::size_t i = 0; i < ys.size(); ++i) {
    data->put_DataY(static_cast<LONG>(i), ys[i]);
    if (i < xs.size()) data->put_DataX(static_cast<LONG>(i), xs[i]);  // ignored for index X
  }
  return data;
}

}  // namespace kelmira::test
