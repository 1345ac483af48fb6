// Reading numbers from variants and storing them as numeric types, with the platform's rounding
// and range rules.
#include "com/variant_number.h"

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace kelmira::variants {
namespace {

using numtext::RoundHalfEven;

constexpr double kMinDate = -657435.0;  // exclusive: before 100-01-01
constexpr double kMaxDate = 2958466.0;  // exclusive: after 9999-12-31
// Magnitudes beyond this cannot be integers of any width we store.
constexpr double kIntegerLimit = 1e38;

struct IntegerShape {
  int bits;
  bool isSigned;
};

IntegerShape ShapeOf(VARTYPE vt) {
  switch (vt) {
    case VT_I1: return {8, true};
    case VT_UI1: return {8, false};
    case VT_I2: return {16, true};
    case VT_UI2: return {16, false};
    case VT_I4:
    case VT_INT: return {32, true};
    case VT_UI4:
    case VT_UINT: return {32, false};
    case VT_I8: return {64, true};
    default: return {64, false};
  }
}

bool InRange(__int128 v, int bits, bool isSigned) {
  const __int128 half = __int128{1} << (bits - 1);
  return isSigned ? v >= -half && v < half : v >= 0 && v < 2 * half;
}

std::optional<__int128> CurrencyToInteger(std::int64_t cy) {
  std::int64_t whole = cy / 10000;
  const std::int64_t rest = cy % 10000;
  const std::int64_t absRest = rest < 0 ? -rest : rest;
  if (absRest > 5000 || (absRest == 5000 && whole % 2 != 0)) whole += cy < 0 ? -1 : 1;
  return whole;
}

std::optional<__int128> ToInteger(const Number& n) {
  switch (n.kind) {
    case Number::Kind::Integer: return n.integer;
    case Number::Kind::Real: {
      if (!std::isfinite(n.real)) return std::nullopt;
      const double r = RoundHalfEven(n.real);
      if (std::fabs(r) > kIntegerLimit) return std::nullopt;
      return static_cast<__int128>(r);
    }
    case Number::Kind::Currency: return CurrencyToInteger(n.currency);
    case Number::Kind::Decimal: return numtext::RoundToInteger(n.decimal, 0);
  }
  return std::nullopt;
}

double ToReal(const Number& n) {
  switch (n.kind) {
    case Number::Kind::Integer: return static_cast<double>(n.integer);
    case Number::Kind::Real: return n.real;
    case Number::Kind::Currency: return static_cast<double>(n.currency) / 10000.0;
    case Number::Kind::Decimal: return numtext::ToDouble(n.decimal);
  }
  return 0;
}

std::optional<std::int64_t> ToCurrency(const Number& n) {
  std::optional<__int128> scaled;
  switch (n.kind) {
    case Number::Kind::Integer:
      scaled = n.integer * 10000;  // |integer| < 2^65, so no overflow here
      break;
    case Number::Kind::Real: {
      const double r = RoundHalfEven(n.real * 10000.0);
      if (std::isfinite(r) && std::fabs(r) < kIntegerLimit) scaled = static_cast<__int128>(r);
      break;
    }
    case Number::Kind::Currency: return n.currency;
    case Number::Kind::Decimal: scaled = numtext::RoundToInteger(n.decimal, 4); break;
  }
  if (!scaled || !InRange(*scaled, 64, true)) return std::nullopt;
  return static_cast<std::int64_t>(*scaled);
}

bool IsNonZero(const Number& n) {
  switch (n.kind) {
    case Number::Kind::Integer: return n.integer != 0;
    case Number::Kind::Real: return n.real != 0;  // NaN counts as true
    case Number::Kind::Currency: return n.currency != 0;
    case Number::Kind::Decimal: return !n.decimal.digits.empty();
  }
  return false;
}

HRESULT StoreInteger(const Number& n, VARTYPE vt, VARIANT* out) {
  const auto value = ToInteger(n);
  if (!value) return DISP_E_OVERFLOW;
  const IntegerShape shape = ShapeOf(vt);
  const bool fits =
      InRange(*value, shape.bits, shape.isSigned) || (n.bitPattern && InRange(*value, shape.bits, !shape.isSigned));
  if (!fits) return DISP_E_OVERFLOW;
  const auto bits = static_cast<std::uint64_t>(*value);
  out->vt = vt;
  switch (vt) {
    case VT_I1: out->cVal = static_cast<CHAR>(static_cast<std::int8_t>(bits)); break;
    case VT_UI1: out->bVal = static_cast<BYTE>(bits); break;
    case VT_I2: out->iVal = static_cast<SHORT>(bits); break;
    case VT_UI2: out->uiVal = static_cast<USHORT>(bits); break;
    case VT_I4: out->lVal = static_cast<LONG>(bits); break;
    case VT_INT: out->intVal = static_cast<INT>(bits); break;
    case VT_UI4: out->ulVal = static_cast<ULONG>(bits); break;
    case VT_UINT: out->uintVal = static_cast<UINT>(bits); break;
    case VT_I8: out->llVal = static_cast<LONGLONG>(bits); break;
    default: out->ullVal = bits; break;
  }
  return S_OK;
}

HRESULT StoreReal(const Number& n, VARTYPE vt, VARIANT* out) {
  const double r = ToReal(n);
  // Text too large for a double is an overflow; an infinite real passes through.
  if (n.kind == Number::Kind::Decimal && std::isinf(r)) return DISP_E_OVERFLOW;
  if (vt == VT_R4) {
    if (std::fabs(r) > FLT_MAX) return DISP_E_OVERFLOW;
    out->vt = VT_R4;
    out->fltVal = static_cast<float>(r);
    return S_OK;
  }
  if (vt == VT_DATE) {
    if (!(r > kMinDate && r < kMaxDate)) return DISP_E_OVERFLOW;
    out->vt = VT_DATE;
    out->date = r;
    return S_OK;
  }
  out->vt = VT_R8;
  out->dblVal = r;
  return S_OK;
}

}  // namespace

std::optional<__int128> IntegerValue(const VARIANT& v) {
  switch (v.vt) {
    case VT_I1: return static_cast<std::int8_t>(static_cast<unsigned char>(v.cVal));
    case VT_UI1: return v.bVal;
    case VT_I2: return v.iVal;
    case VT_UI2: return v.uiVal;
    case VT_I4: return v.lVal;
    case VT_INT: return v.intVal;
    case VT_UI4: return v.ulVal;
    case VT_UINT: return v.uintVal;
    case VT_I8: return v.llVal;
    case VT_UI8: return v.ullVal;
    case VT_BOOL: return v.boolVal;
    case VT_EMPTY: return 0;
    default: return std::nullopt;
  }
}

HRESULT ReadNumber(const VARIANT& v, Number* out) {
  if (const auto integer = IntegerValue(v)) {
    out->kind = Number::Kind::Integer;
    out->integer = *integer;
    out->bitPattern = v.vt == VT_BOOL;
    return S_OK;
  }
  switch (v.vt) {
    case VT_R4: out->kind = Number::Kind::Real, out->real = v.fltVal; return S_OK;
    case VT_R8: out->kind = Number::Kind::Real, out->real = v.dblVal; return S_OK;
    case VT_DATE: out->kind = Number::Kind::Real, out->real = v.date; return S_OK;
    case VT_CY: out->kind = Number::Kind::Currency, out->currency = v.cyVal.int64; return S_OK;
    case VT_BSTR: break;
    default: return DISP_E_TYPEMISMATCH;
  }
  auto parsed = numtext::ParseNumber(std::u16string_view(v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal)));
  if (!parsed) return DISP_E_TYPEMISMATCH;
  if (parsed->isRadixLiteral) {
    out->kind = Number::Kind::Integer;
    out->integer = parsed->radixValue;
    out->bitPattern = true;
    return S_OK;
  }
  out->kind = Number::Kind::Decimal;
  out->decimal = std::move(*parsed);
  return S_OK;
}

bool IsNumericType(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_R4:
    case VT_R8:
    case VT_DATE:
    case VT_CY:
    case VT_BOOL: return true;
    default: return false;
  }
}

HRESULT StoreNumber(const Number& n, VARTYPE vt, VARIANT* out) {
  switch (vt) {
    case VT_R4:
    case VT_R8:
    case VT_DATE: return StoreReal(n, vt, out);
    case VT_CY: {
      const auto cy = ToCurrency(n);
      if (!cy) return DISP_E_OVERFLOW;
      out->vt = VT_CY;
      out->cyVal.int64 = *cy;
      return S_OK;
    }
    case VT_BOOL:
      out->vt = VT_BOOL;
      out->boolVal = IsNonZero(n) ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    default: return StoreInteger(n, vt, out);
  }
}

}  // namespace kelmira::variants
