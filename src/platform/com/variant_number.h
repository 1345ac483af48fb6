// The numeric side of VariantChangeType: a value read from any numeric variant, and the rules
// for storing it as each numeric type.
#pragma once

#include "com/number_text.h"

#include <kelmira/platform/oleauto.h>

#include <optional>

namespace kelmira::variants {

struct Number {
  enum class Kind { Integer, Real, Currency, Decimal } kind = Kind::Integer;
  __int128 integer = 0;
  // Booleans and &H/&O literals are bit patterns: they may wrap to a target of their width.
  bool bitPattern = false;
  double real = 0;
  std::int64_t currency = 0;  // scaled by 10000
  numtext::ParsedNumber decimal;
};

// The integer a variant of an integer type (or VT_BOOL) holds.
std::optional<__int128> IntegerValue(const VARIANT& v);

// The number a variant (not VT_BYREF) holds; DISP_E_TYPEMISMATCH when it holds none.
HRESULT ReadNumber(const VARIANT& v, Number* out);

// True for the integer, real, currency, date and boolean types.
bool IsNumericType(VARTYPE vt);

// Stores the number as a numeric type into out; DISP_E_OVERFLOW when it does not fit.
HRESULT StoreNumber(const Number& n, VARTYPE vt, VARIANT* out);

}  // namespace kelmira::variants
