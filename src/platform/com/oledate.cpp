// OLE dates against calendar fields: VariantTimeToSystemTime and SystemTimeToVariantTime.
#include "com/ole_calendar.h"

#include <cmath>

namespace kelmira::calendar {
namespace {

// Days from 0000-03-01 (the civil epoch of the era arithmetic) to 1899-12-30.
constexpr std::int64_t kOleEpoch = 693899;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Years counted from March so that the leap day ends the year; eras of 400 years repeat.
std::int64_t DayFromCivil(const CivilDate& date) {
  const std::int64_t y = date.year - (date.month <= 2);
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t monthFromMarch = (date.month + 9) % 12;
  const std::int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - kOleEpoch;
}

CivilDate CivilFromDay(std::int64_t day) {
  const std::int64_t z = day + kOleEpoch;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  const int d = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  const int m = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  const int y = static_cast<int>(yearOfEra + era * 400 + (m <= 2));
  return {y, m, d};
}

int DayOfWeek(std::int64_t day) {
  // Day 0, 1899-12-30, was a Saturday.
  return static_cast<int>(((day % 7) + 7 + 6) % 7);
}

std::optional<DayAndSecond> SplitOleDate(double date) {
  if (!(date > double(kFirstDay - 1) && date < double(kLastDay + 1))) return std::nullopt;
  const double whole = std::trunc(date);
  const double fraction = std::fabs(date - whole);
  std::int64_t day = static_cast<std::int64_t>(whole);
  int second = static_cast<int>(std::floor(fraction * kSecondsPerDay + 0.5));
  if (second >= kSecondsPerDay) {
    ++day;
    second -= kSecondsPerDay;
  }
  if (day < kFirstDay || day > kLastDay) return std::nullopt;
  return DayAndSecond{day, second};
}

double JoinOleDate(std::int64_t day, double fraction) {
  const double whole = static_cast<double>(day);
  return day < 0 ? whole - fraction : whole + fraction;
}

}  // namespace kelmira::calendar

using namespace kelmira::calendar;

INT VariantTimeToSystemTime(DOUBLE vtime, LPSYSTEMTIME lpSystemTime) {
  if (!lpSystemTime) return FALSE;
  const auto split = SplitOleDate(vtime);
  if (!split) return FALSE;
  const CivilDate date = CivilFromDay(split->day);
  lpSystemTime->wYear = static_cast<WORD>(date.year);
  lpSystemTime->wMonth = static_cast<WORD>(date.month);
  lpSystemTime->wDay = static_cast<WORD>(date.day);
  lpSystemTime->wDayOfWeek = static_cast<WORD>(DayOfWeek(split->day));
  lpSystemTime->wHour = static_cast<WORD>(split->second / 3600);
  lpSystemTime->wMinute = static_cast<WORD>(split->second / 60 % 60);
  lpSystemTime->wSecond = static_cast<WORD>(split->second % 60);
  lpSystemTime->wMilliseconds = 0;
  return TRUE;
}

INT SystemTimeToVariantTime(LPSYSTEMTIME lpSystemTime, DOUBLE* pvtime) {
  if (!lpSystemTime || !pvtime) return FALSE;
  const SYSTEMTIME& st = *lpSystemTime;
  if (st.wYear < 100 || st.wYear > 9999 || st.wMonth < 1 || st.wMonth > 12) return FALSE;
  if (st.wDay < 1 || st.wDay > DaysInMonth(st.wYear, st.wMonth)) return FALSE;
  if (st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59) return FALSE;
  const std::int64_t day = DayFromCivil({st.wYear, st.wMonth, st.wDay});
  const int seconds = st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
  *pvtime = JoinOleDate(day, static_cast<double>(seconds) / kSecondsPerDay);
  return TRUE;
}
