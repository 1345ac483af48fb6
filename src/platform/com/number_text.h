// Numbers as text, the way automation conversions read and write them (US English).
#pragma once

#include <kelmira/platform/oleauto.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelmira::numtext {

// A number read from text. Decimal text is kept exact: value = digits × 10^exponent.
struct ParsedNumber {
  bool negative = false;
  std::string digits;  // no leading or trailing zeros; empty for zero
  std::int64_t exponent = 0;
  bool isRadixLiteral = false;  // "&H..." or "&O...": the value is radixValue
  std::uint64_t radixValue = 0;
};

// Reads blanks, a sign, digits with ',' separators, a decimal point, an exponent and blanks, or
// an "&H"/"&O" literal. Nullopt when the text is not such a number.
std::optional<ParsedNumber> ParseNumber(std::u16string_view text);

// value × 10^scale rounded half to even; nullopt when the result needs more than 38 digits.
std::optional<__int128> RoundToInteger(const ParsedNumber& number, int scale);
// The nearest double; infinite when the magnitude is beyond the double range.
double ToDouble(const ParsedNumber& number);

// True for the blanks allowed around numbers and dates.
bool IsBlank(char16_t c);
std::u16string_view TrimBlanks(std::u16string_view text);

// Shortest-form text of a real with the given significant digits ("1E+20", "0.1").
std::u16string FormatReal(double value, int significantDigits);
std::u16string FormatInteger(__int128 value);
// Currency (value scaled by 10000) with up to four decimals and no trailing zeros.
std::u16string FormatCurrency(std::int64_t scaled);

// Rounds half to even; the value must be finite.
double RoundHalfEven(double value);

}  // namespace kelmira::numtext
