// Numbers to text as the automation conversions write them.
#include "com/number_text.h"

#include <charconv>
#include <cmath>

namespace kelmira::numtext {
namespace {

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

std::u16string FormatReal(double value, int significantDigits) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
  if (value == 0) return u"0";  // also for -0
  // The general format picks the exponent form exactly as the platform does; only the case of
  // the exponent letter differs.
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
  std::u16string text = Widen(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
  for (char16_t& c : text)
    if (c == u'e') c = u'E';
  return text;
}

std::u16string FormatInteger(__int128 value) {
  const bool negative = value < 0;
  unsigned __int128 magnitude =
      negative ? -static_cast<unsigned __int128>(value) : static_cast<unsigned __int128>(value);
  std::u16string text;
  do {
    text.insert(text.begin(), static_cast<char16_t>(u'0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude);
  if (negative) text.insert(text.begin(), u'-');
  return text;
}

std::u16string FormatCurrency(std::int64_t scaled) {
  const __int128 whole = scaled / 10000;
  int fraction = static_cast<int>(scaled % 10000);
  std::u16string text = FormatInteger(whole);
  if (scaled < 0 && whole == 0) text.insert(text.begin(), u'-');
  if (fraction == 0) return text;
  if (fraction < 0) fraction = -fraction;
  int width = 4;
  while (fraction % 10 == 0) fraction /= 10, --width;
  std::u16string decimals(static_cast<std::size_t>(width), u'0');
  for (int i = width - 1; i >= 0; --i, fraction /= 10)
    decimals[static_cast<std::size_t>(i)] = static_cast<char16_t>(u'0' + fraction % 10);
  return text + u"." + decimals;
}

}  // namespace kelmira::numtext
