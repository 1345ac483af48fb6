// Dates in the X column: ISO dates by default, or the fields of a --date-format.
//
// A format holds strftime-style fields and literal text: %Y (year), %y (two digits: 69-99 are
// 1900s, 00-68 2000s), %m, %d, %b (Jan..Dec, any case), %B (January.. or Jan..), %j (day of the
// year), %H, %M, %S (with an optional fraction: "05.250"), %p (AM/PM), %z (+hhmm, +hh:mm or Z; the
// date is converted to UTC) and %%. A blank in the format matches any run of blanks. Dates are
// automation dates: days since 1899-12-30.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelmira::plot {

// "2024-01-15", "2024-01-15 08:30", "2024-01-15T08:30:15"; none when the text is not such a date.
std::optional<double> ParseDate(std::string_view text);

// The text read by `format`; none when it does not match or names no calendar date.
std::optional<double> ParseDate(std::string_view text, std::string_view format);

// Why `format` cannot be used (an unknown field, no year or no day); empty when it can.
std::string DateFormatProblem(std::string_view format);

}  // namespace kelmira::plot
