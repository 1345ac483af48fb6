// Numeric text to exact decimal digits, and from those to integers, currency and doubles.
#include "com/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace kelmira::numtext {
namespace {

// Exponents beyond this make any value overflow or vanish; clamping keeps the arithmetic small.
constexpr std::int64_t kExponentClamp = 100000;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int DigitValue(char16_t c, int radix) {
  int v = -1;
  if (c >= u'0' && c <= u'9') v = c - u'0';
  if (c >= u'a' && c <= u'f') v = c - u'a' + 10;
  if (c >= u'A' && c <= u'F') v = c - u'A' + 10;
  return v < radix ? v : -1;
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

// "&H1F" or "&O17" (the whole text, blanks already trimmed).
std::optional<ParsedNumber> ParseRadixLiteral(std::u16string_view s) {
  if (s.size() < 3 || s[0] != u'&') return std::nullopt;
  const char16_t kind = Lower(s[1]);
  const int radix = kind == u'h' ? 16 : kind == u'o' ? 8 : 0;
  if (!radix) return std::nullopt;
  ParsedNumber n;
  n.isRadixLiteral = true;
  for (char16_t c : s.substr(2)) {
    const int d = DigitValue(c, radix);
    if (d < 0) return std::nullopt;
    if (n.radixValue > (std::numeric_limits<std::uint64_t>::max() - d) / radix) return std::nullopt;
    n.radixValue = n.radixValue * radix + d;
  }
  return n;
}

// Moves leading zeros out and trailing zeros into the exponent.
void Normalise(ParsedNumber& n) {
  const auto first = n.digits.find_first_not_of('0');
  if (first == std::string::npos) {
    n.digits.clear();
    n.exponent = 0;
    return;
  }
  n.digits.erase(0, first);
  const auto last = n.digits.find_last_not_of('0');
  n.exponent += static_cast<std::int64_t>(n.digits.size() - last - 1);
  n.digits.erase(last + 1);
}

// Reads the exponent digits after 'e'; false when there are none.
bool ReadExponent(std::u16string_view s, std::size_t& i, std::int64_t& exponent) {
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  if (i >= s.size() || !IsDigit(s[i])) return false;
  std::int64_t value = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) value = std::min(value * 10 + (s[i] - u'0'), kExponentClamp);
  exponent = negative ? -value : value;
  return true;
}

std::optional<ParsedNumber> ParseDecimal(std::u16string_view s) {
  ParsedNumber n;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) n.negative = s[i++] == u'-';
  bool anyDigit = false;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      n.digits.push_back(static_cast<char>(s[i]));
      anyDigit = true;
    } else if (s[i] != u',' || !anyDigit) {
      break;
    }
  }
  std::int64_t fractionDigits = 0;
  if (i < s.size() && s[i] == u'.') {
    for (++i; i < s.size() && IsDigit(s[i]); ++i, ++fractionDigits) n.digits.push_back(static_cast<char>(s[i]));
    anyDigit = anyDigit || fractionDigits > 0;
  }
  if (!anyDigit) return std::nullopt;
  std::int64_t exponent = 0;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    ++i;
    if (!ReadExponent(s, i, exponent)) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  n.exponent = exponent - std::min(fractionDigits, kExponentClamp);
  Normalise(n);
  return n;
}

}  // namespace

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f'; }

std::u16string_view TrimBlanks(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<ParsedNumber> ParseNumber(std::u16string_view text) {
  text = TrimBlanks(text);
  if (text.empty()) return std::nullopt;
  if (text[0] == u'&') return ParseRadixLiteral(text);
  return ParseDecimal(text);
}

std::optional<__int128> RoundToInteger(const ParsedNumber& number, int scale) {
  constexpr std::int64_t kMaxDigits = 38;
  if (number.isRadixLiteral) return static_cast<__int128>(number.radixValue);
  const std::string& d = number.digits;
  const auto length = static_cast<std::int64_t>(d.size());
  const std::int64_t shift = number.exponent + scale;
  if (d.empty()) return 0;
  // Digits that land before the decimal point; the rest decide the rounding.
  const std::int64_t integerDigits = length + shift;
  if (integerDigits > kMaxDigits) return std::nullopt;
  __int128 value = 0;
  for (std::int64_t i = 0; i < std::min(integerDigits, length); ++i) value = value * 10 + (d[i] - '0');
  for (std::int64_t i = length; i < integerDigits; ++i) value *= 10;
  if (integerDigits >= 0 && integerDigits < length) {
    const int roundDigit = d[integerDigits] - '0';
    // Trailing zeros are stripped, so any digit after the rounding digit is non-zero.
    const bool moreAfter = integerDigits + 1 < length;
    if (roundDigit > 5 || (roundDigit == 5 && (moreAfter || value % 2 != 0))) ++value;
  }
  return number.negative ? -value : value;
}

double ToDouble(const ParsedNumber& number) {
  if (number.isRadixLiteral) return static_cast<double>(number.radixValue);
  if (number.digits.empty()) return number.negative ? -0.0 : 0.0;
  const std::string text = number.digits + "e" + std::to_string(number.exponent);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Out of range is either overflow or underflow; the decimal magnitude tells which.
    const bool huge = static_cast<std::int64_t>(number.digits.size()) + number.exponent > 0;
    value = huge ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return number.negative ? -value : value;
}

double RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double rest = value - floor;
  if (rest > 0.5) return floor + 1;
  if (rest < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

}  // namespace kelmira::numtext
