// OLE dates as US-English text: "1/15/2003 8:00:00 AM" and the forms read back.
#pragma once

#include <kelmira/platform/oleauto.h>

#include <optional>
#include <string>
#include <string_view>

namespace kelmira::datetext {

// "M/D/YYYY h:mm:ss AM"; the date is left out on day 0 and the time at midnight. Nullopt
// outside the date range.
std::optional<std::u16string> FormatDate(double date);

// Reads a date, a time, or a date followed by a time (forms listed with VariantChangeType).
// Nullopt when the text is none of them or names no real day.
std::optional<double> ParseDate(std::u16string_view text);

}  // namespace kelmira::datetext
