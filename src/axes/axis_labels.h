// The text under a tick: the host's own label, a date, or the number.
//
// Texts are built in std::string with no fixed buffer, so a custom label of 100,000 characters
// comes out whole. Decimals are bounded at kMaxLabelDecimals: every double is written exactly by
// then, so a larger Precision would only add zeros (and a Precision near 2^31 would ask for
// gigabytes per label). The functions are exported for the tests; the axes use them in the module.
#pragma once

#include "axes/axis_scale.h"

#include <kelmira/kelmira.h>

#include <string>

namespace kelmira::axes {

inline constexpr int kMaxLabelDecimals = 1100;

// precision 0: the value cut toward zero, written as a whole integer ("-2" for -2.5, "0" for
// -0.5); above 0: fixed-point with that many decimals (at most kMaxLabelDecimals), as printf's
// %.*f writes it.
KELMIRA_API std::string NumericLabel(double value, int precision);

// The date label of the tick with this label index (Date flags, DateLabelFormat 0, 1, 2, 100,
// 101, other). A value outside the OLE date range gives an empty label; a month name that cannot
// be had gives "###".
KELMIRA_API std::string DateLabel(double value, LONG format, const DateFlags& flags, LONG labelIndex);

// The host's labels for the drawn ticks of one drawing, in label-index order. The label of index k
// comes from a walk over the list's entries while i < LabelCount (asked anew at every step) that
// counts the entries whose HasLabel is true: when the count reaches k + 1 the label is LabelAt(k)
// converted to text (VariantChangeType to VT_BSTR, then the ANSI code page), otherwise "???".
// Each walk goes on from where the previous label's walk stopped instead of starting again at
// entry 0: the same labels for a list that does not change while the axis draws, in time linear
// in the list. A failing call, or an entry that cannot be converted, gives its HRESULT.
class KELMIRA_API CustomLabels {
 public:
  explicit CustomLabels(ITickLabelList* labels) : labels_(labels) {}
  HRESULT Next(std::string* text);

 private:
  ITickLabelList* labels_;
  LONG labelIndex_ = 0;  // k of the next label
  LONG entry_ = 0;       // the next entry the walk asks about
  LONG found_ = 0;       // entries with a label among those asked about
};

}  // namespace kelmira::axes
