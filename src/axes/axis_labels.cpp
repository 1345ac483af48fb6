#include "axes/axis_labels.h"

#include "common/ansi_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kelmira::axes {
namespace {

std::string Formatted(const char* format, int precision, double value) {
  const int length = std::snprintf(nullptr, 0, format, precision, value);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, format, precision, value);
  return text;
}

std::string TwoDigits(unsigned value) {
  const char text[] = {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
  return {text, 2};
}

std::string FourDigits(unsigned value) { return TwoDigits(value / 100) + TwoDigits(value % 100); }

// The localised month name, or "###".
std::string MonthName(unsigned month, bool abbreviated) {
  Bstr name;
  if (FAILED(VarMonthName(static_cast<int>(month), abbreviated ? 1 : 0, 0, &name)) || !name) return "###";
  return common::AnsiText(name.get());
}

std::string DatePart(const SYSTEMTIME& t, LONG format, bool withYear) {
  const std::string day = TwoDigits(t.wDay);
  const std::string year = FourDigits(t.wYear);
  switch (format) {
    case 0: return TwoDigits(t.wMonth) + "/" + day + (withYear ? "/" + year : "");
    case 1: return MonthName(t.wMonth, true) + " " + day + (withYear ? "," + year : "");
    case 2: return MonthName(t.wMonth, false) + " " + day + (withYear ? "," + year : "");
    case 100: return day + "/" + TwoDigits(t.wMonth) + (withYear ? "/" + year : "");
    case 101: return day + " " + MonthName(t.wMonth, true) + (withYear ? " " + year : "");
    default: return day + " " + MonthName(t.wMonth, false) + (withYear ? " " + year : "");
  }
}

}  // namespace

std::string NumericLabel(double value, int precision) {
  if (precision > 0) {
    // A Y axis counts its ticks down, so its zero tick is -0; a tick that rounds to zero is
    // written without a sign either way.
    std::string text = Formatted("%.*f", std::min(precision, kMaxLabelDecimals), value);
    if (text.front() == '-' && text.find_first_of("123456789") == std::string::npos) text.erase(0, 1);
    return text;
  }
  // + 0.0 turns the -0 of a small negative value into 0.
  return Formatted("%.*f", 0, std::trunc(value) + 0.0);
}

std::string DateLabel(double value, LONG format, const DateFlags& flags, LONG labelIndex) {
  SYSTEMTIME t{};
  if (!VariantTimeToSystemTime(value, &t)) return {};
  std::string time;
  if (flags.showTime) {
    time = TwoDigits(t.wHour) + ":" + TwoDigits(t.wMinute);
    if (flags.showSeconds) time += ":" + TwoDigits(t.wSecond);
  }
  const bool first = labelIndex == 0;
  if (!flags.showDate && !first) return time;
  const std::string date = DatePart(t, format, flags.showYear || first);
  return time.empty() ? date : time + "\n" + date;
}

HRESULT CustomLabels::Next(std::string* text) {
  const LONG k = labelIndex_++;
  while (found_ < k + 1) {
    LONG count = 0;
    HRESULT hr = labels_->LabelCount(&count);
    if (FAILED(hr)) return hr;
    if (entry_ >= count) break;
    Variant index;
    index.vt = VT_I4;
    index.lVal = entry_++;
    VARIANT_BOOL has = VARIANT_FALSE;
    hr = labels_->HasLabel(index, &has);
    if (FAILED(hr)) return hr;
    if (has) ++found_;
  }
  if (found_ < k + 1) {
    *text = "???";
    return S_OK;
  }
  Variant index;
  index.vt = VT_I4;
  index.lVal = k;
  Variant value;
  HRESULT hr = labels_->LabelAt(index, &value);
  if (FAILED(hr)) return hr;
  Variant converted;
  hr = VariantChangeType(&converted, &value, 0, VT_BSTR);
  if (FAILED(hr)) return hr;
  *text = common::AnsiText(converted.bstrVal);
  return S_OK;
}

}  // namespace kelmira::axes
