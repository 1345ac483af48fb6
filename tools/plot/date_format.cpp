#include "date_format.h"

#include <kelmira/platform.h>

#include <charconv>
#include <cmath>

namespace kelmira::plot {
namespace {

constexpr std::string_view kMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                                        "july",    "august",   "september", "october", "november", "december"};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Lower(text[i]) != prefix[i]) return false;
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// From `least` to `most` digits, as many as there are.
bool Number(std::string_view* text, int least, int most, int* out) {
  int n = 0, value = 0;
  while (n < most && n < static_cast<int>(text->size()) && IsDigit((*text)[static_cast<std::size_t>(n)]))
    value = value * 10 + ((*text)[static_cast<std::size_t>(n++)] - '0');
  if (n < least) return false;
  text->remove_prefix(static_cast<std::size_t>(n));
  *out = value;
  return true;
}

struct Fields {
  int year = 0, month = 1, day = 1, yearDay = 0, hour = 0, minute = 0;
  double second = 0;
  int pm = -1;         // -1 without %p
  int utcMinutes = 0;  // the offset %z read
};

bool Month(std::string_view* text, bool full, int* month) {
  for (int m = 0; m < 12; ++m) {
    std::string_view name = kMonths[m];
    if (full && StartsWithNoCase(*text, name)) {
      text->remove_prefix(name.size());
    } else if (StartsWithNoCase(*text, name.substr(0, 3))) {
      text->remove_prefix(3);
    } else {
      continue;
    }
    *month = m + 1;
    return true;
  }
  return false;
}

bool Seconds(std::string_view* text, double* second) {
  int whole = 0;
  if (!Number(text, 1, 2, &whole)) return false;
  *second = whole;
  if (text->size() < 2 || (text->front() != '.' && text->front() != ',') || !IsDigit((*text)[1])) return true;
  text->remove_prefix(1);
  for (double scale = 0.1; !text->empty() && IsDigit(text->front()); scale /= 10) {
    *second += (text->front() - '0') * scale;
    text->remove_prefix(1);
  }
  return true;
}

bool Offset(std::string_view* text, int* minutes) {
  if (!text->empty() && (text->front() == 'Z' || text->front() == 'z')) {
    text->remove_prefix(1);
    *minutes = 0;
    return true;
  }
  if (text->empty() || (text->front() != '+' && text->front() != '-')) return false;
  const int sign = text->front() == '-' ? -1 : 1;
  text->remove_prefix(1);
  int hours = 0, mins = 0;
  if (!Number(text, 2, 2, &hours)) return false;
  if (!text->empty() && text->front() == ':') text->remove_prefix(1);
  if (!text->empty() && IsDigit(text->front()) && !Number(text, 2, 2, &mins)) return false;
  if (hours > 23 || mins > 59) return false;
  *minutes = sign * (hours * 60 + mins);
  return true;
}

bool Field(char field, std::string_view* text, Fields* f) {
  switch (field) {
    case 'Y': return Number(text, 4, 4, &f->year);
    case 'y':
      if (!Number(text, 2, 2, &f->year)) return false;
      f->year += f->year >= 69 ? 1900 : 2000;
      return true;
    case 'm': return Number(text, 1, 2, &f->month);
    case 'd': return Number(text, 1, 2, &f->day);
    case 'j': return Number(text, 1, 3, &f->yearDay);
    case 'b': return Month(text, false, &f->month);
    case 'B': return Month(text, true, &f->month);
    case 'H': return Number(text, 1, 2, &f->hour);
    case 'M': return Number(text, 1, 2, &f->minute);
    case 'S': return Seconds(text, &f->second);
    case 'z': return Offset(text, &f->utcMinutes);
    case 'p':
      if (StartsWithNoCase(*text, "am") || StartsWithNoCase(*text, "pm")) {
        f->pm = Lower(text->front()) == 'p';
        text->remove_prefix(2);
        return true;
      }
      return false;
    case '%':
      if (text->empty() || text->front() != '%') return false;
      text->remove_prefix(1);
      return true;
    default: return false;
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Whole days through the platform, as ISO dates are; the time of day is added to them.
std::optional<double> ToDate(Fields f) {
  if (f.pm >= 0) {
    if (f.hour < 1 || f.hour > 12) return std::nullopt;
    f.hour = f.hour % 12 + (f.pm ? 12 : 0);
  }
  if (f.yearDay) f.month = f.day = 1;
  if (f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31 || f.yearDay > 366 || f.hour > 23 || f.minute > 59 ||
      f.second >= 60)
    return std::nullopt;
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(f.year);
  st.wMonth = static_cast<WORD>(f.month);
  st.wDay = static_cast<WORD>(f.day);
  double day = 0;
  if (!SystemTimeToVariantTime(&st, &day)) return std::nullopt;
  if (f.yearDay) day += f.yearDay - 1;
  // The platform rolls day 31 of short months (and day 366 of short years) over; a date must exist.
  SYSTEMTIME back{};
  if (!VariantTimeToSystemTime(day, &back) || back.wYear != st.wYear || (!f.yearDay && back.wMonth != st.wMonth))
    return std::nullopt;
  return day + (f.hour * 3600 + f.minute * 60 + f.second - f.utcMinutes * 60) / 86400.0;
}

}  // namespace

std::optional<double> ParseDate(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  auto number = [&text](std::size_t digits, int* out) {
    if (text.size() < digits) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + digits, *out);
    if (ec != std::errc() || end != text.data() + digits) return false;
    text.remove_prefix(digits);
    return true;
  };
  auto expect = [&text](char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
  };
  if (!number(4, &year) || !expect('-') || !number(2, &month) || !expect('-') || !number(2, &day)) return std::nullopt;
  if (!text.empty()) {
    if (text.front() != ' ' && text.front() != 'T') return std::nullopt;
    text.remove_prefix(1);
    if (!number(2, &hour) || !expect(':') || !number(2, &minute)) return std::nullopt;
    if (!text.empty() && (!expect(':') || !number(2, &second))) return std::nullopt;
    if (!text.empty()) return std::nullopt;
  }
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wHour = static_cast<WORD>(hour);
  st.wMinute = static_cast<WORD>(minute);
  st.wSecond = static_cast<WORD>(second);
  double value = 0;
  if (!SystemTimeToVariantTime(&st, &value)) return std::nullopt;
  // The platform accepts day 31 of short months by rolling over; a calendar date must exist.
  SYSTEMTIME back{};
  if (!VariantTimeToSystemTime(value, &back) || back.wDay != st.wDay || back.wMonth != st.wMonth) return std::nullopt;
  return value;
}

std::optional<double> ParseDate(std::string_view text, std::string_view format) {
  Fields f;
  while (!format.empty()) {
    const char c = format.front();
    format.remove_prefix(1);
    if (c == '%') {
      if (format.empty() || !Field(format.front(), &text, &f)) return std::nullopt;
      format.remove_prefix(1);
    } else if (IsBlank(c)) {
      if (text.empty() || !IsBlank(text.front())) return std::nullopt;
      while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    } else {
      if (text.empty() || text.front() != c) return std::nullopt;
      text.remove_prefix(1);
    }
  }
  if (!text.empty()) return std::nullopt;
  return ToDate(f);
}

std::string DateFormatProblem(std::string_view format) {
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (++i == format.size()) return "it ends in a lone %";
    if (std::string_view("YymdjbBHMSzp%").find(format[i]) == std::string_view::npos)
      return std::string("unknown field %") + format[i];
  }
  auto has = [format](std::string_view any) {
    for (std::size_t i = 0; i + 1 < format.size(); ++i)
      if (format[i] == '%' && any.find(format[i + 1]) != std::string_view::npos) return true;
    return false;
  };
  if (!has("Yy")) return "it has no year (%Y or %y)";
  if (!has("dj")) return "it has no day (%d or %j)";
  if (has("d") && !has("mbB")) return "it has a day but no month (%m, %b or %B)";
  return {};
}

}  // namespace kelmira::plot
