// Calendar arithmetic for OLE dates (days since 1899-12-30, proleptic Gregorian calendar).
#pragma once

#include <kelmira/platform/oleauto.h>

#include <cstdint>
#include <optional>

namespace kelmira::calendar {

constexpr std::int64_t kFirstDay = -657434;  // 100-01-01
constexpr std::int64_t kLastDay = 2958465;   // 9999-12-31
constexpr int kSecondsPerDay = 86400;

struct CivilDate {
  int year;
  int month;  // 1..12
  int day;    // 1..31
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
std::int64_t DayFromCivil(const CivilDate& date);
CivilDate CivilFromDay(std::int64_t day);
// 0 = Sunday.
int DayOfWeek(std::int64_t day);

// An OLE date as a calendar day and the second within it, rounded to the nearest second.
struct DayAndSecond {
  std::int64_t day;
  int second;  // 0..86399
};

// Nullopt for NaN and for dates outside 100-01-01 .. 9999-12-31 23:59:59 after rounding.
std::optional<DayAndSecond> SplitOleDate(double date);
// The OLE date of a day plus a fraction of a day; before day 0 the fraction still counts forward.
double JoinOleDate(std::int64_t day, double fraction);

}  // namespace kelmira::calendar
