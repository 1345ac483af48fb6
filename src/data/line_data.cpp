#include "data/line_data.h"
#include "common/stored_property.h"

#include "data/data_array.h"

#include <limits>
#include <utility>

namespace kelmira::data {
namespace {

// Doubles round to the nearest single on store; out-of-range values become infinities.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559);

float ToSingle(double value) { return static_cast<float>(value); }

// Smallest and largest of n > 0 values in index order; a NaN after point 0 never becomes a bound.
template <class T>
void RangeOf(const T* values, LONG n, double* pmin, double* pmax) {
  double lo = values[0];
  double hi = lo;
  for (LONG i = 1; i < n; ++i) {
    const double v = values[i];
    if (v < lo) lo = v;
    if (v > hi) hi = v;
  }
  *pmin = lo;
  *pmax = hi;
}

}  // namespace

HRESULT LineData::get_Size(LONG* pVal) { return common::GetStored(size_, pVal); }

HRESULT LineData::put_Size(LONG newVal) {
  if (newVal < 0) return E_INVALIDARG;
  if (newVal == size_) return S_OK;
  const bool keepX = useX_ != 0;
  // Refuse before allocating: a partial success would fill gigabytes only to throw them away.
  const bool xFits = !keepX || (XIsDouble() ? FitsArrayLimit<double>(newVal) : FitsArrayLimit<float>(newVal));
  if (!xFits || !FitsArrayLimit<float>(newVal)) return E_OUTOFMEMORY;
  NewArray<float> y = CopyResized<float>(y_.get(), size_, newVal, 0.0f);
  NewArray<BYTE> mask = CopyResized<BYTE>(mask_.get(), size_, newVal, BYTE{1});
  NewArray<float> xSingle;
  NewArray<double> xDouble;
  if (keepX && XIsDouble())
    xDouble = CopyResized<double>(xDouble_.get(), size_, newVal, 0.0);
  else if (keepX)
    xSingle = CopyResized<float>(xSingle_.get(), size_, newVal, 0.0f);
  if (!y.ok || !mask.ok || !xSingle.ok || !xDouble.ok) return E_OUTOFMEMORY;

  y_ = std::move(y.data);
  mask_ = std::move(mask.data);
  if (keepX) {
    xSingle_ = std::move(xSingle.data);
    xDouble_ = std::move(xDouble.data);
  }
  size_ = newVal;
  return S_OK;
}

HRESULT LineData::get_Mask(LONG index, LONG* pVal) {
  if (!pVal) return E_POINTER;
  if (!HasIndex(index)) return E_INVALIDARG;
  *pVal = mask_[index];
  return S_OK;
}

HRESULT LineData::put_Mask(LONG index, LONG newVal) {
  if (!HasIndex(index)) return E_INVALIDARG;
  mask_[index] = static_cast<BYTE>(newVal);  // the low 8 bits
  return S_OK;
}

HRESULT LineData::get_Data(LONG index, double* pVal) {
  if (!pVal) return E_POINTER;
  if (!HasIndex(index)) return E_INVALIDARG;
  *pVal = y_[index];
  return S_OK;
}

HRESULT LineData::put_Data(LONG index, double newVal) {
  if (!HasIndex(index)) return E_INVALIDARG;
  y_[index] = ToSingle(newVal);
  return S_OK;
}

HRESULT LineData::get_DataX(LONG index, double* pVal) {
  if (!pVal) return E_POINTER;
  if (!HasIndex(index)) return E_INVALIDARG;
  if (double* x = XDouble())
    *pVal = x[index];
  else if (float* xs = XSingle())
    *pVal = xs[index];
  else
    *pVal = index;  // no X data: the point index is its X
  return S_OK;
}

HRESULT LineData::put_DataX(LONG index, double newVal) {
  if (!HasIndex(index)) return E_INVALIDARG;
  if (double* x = XDouble())
    x[index] = newVal;
  else if (float* xs = XSingle())
    xs[index] = ToSingle(newVal);
  return S_OK;  // without X data the write is ignored
}

HRESULT LineData::get_DataY(LONG index, double* pVal) { return get_Data(index, pVal); }
HRESULT LineData::put_DataY(LONG index, double newVal) { return put_Data(index, newVal); }

HRESULT LineData::get_BadDataValue(double* pVal) { return get_BadDataValueY(pVal); }
HRESULT LineData::put_BadDataValue(double newVal) { return put_BadDataValueY(newVal); }

HRESULT LineData::get_BadDataValueX(double* pVal) { return common::GetStored(badX_, pVal); }

HRESULT LineData::put_BadDataValueX(double newVal) { return common::PutStored(badX_, newVal); }

HRESULT LineData::get_BadDataValueY(double* pVal) { return common::GetStored(badY_, pVal); }

HRESULT LineData::put_BadDataValueY(double newVal) { return common::PutStored(badY_, newVal); }

HRESULT LineData::GetDataPtr(float** ppData) {
  if (!ppData) return E_POINTER;
  *ppData = y_.get();
  return S_OK;
}

// Declared as floats; holds doubles while UseDoubleForXData is set.
HRESULT LineData::GetDataPtrX(float** ppData) {
  if (!ppData) return E_POINTER;
  if (double* x = XDouble())
    *ppData = reinterpret_cast<float*>(x);
  else
    *ppData = XSingle();
  return S_OK;
}

HRESULT LineData::GetDataPtrY(float** ppData) { return GetDataPtr(ppData); }

HRESULT LineData::GetMaskPtr(BYTE** ppMask) {
  if (!ppMask) return E_POINTER;
  *ppMask = mask_.get();
  return S_OK;
}

HRESULT LineData::GetMinMax(double* pmin, double* pmax, VARIANT_BOOL* pbResult) {
  return GetMinMaxY(pmin, pmax, pbResult);
}

// Every point counts, hidden and bad ones too. Without X values the range is 0..size, the count.
HRESULT LineData::GetMinMaxX(double* pmin, double* pmax, VARIANT_BOOL* pbResult) {
  if (!pmin || !pmax || !pbResult) return E_POINTER;
  *pbResult = VARIANT_TRUE;
  if (double* x = size_ > 0 ? XDouble() : nullptr) {
    RangeOf(x, size_, pmin, pmax);
  } else if (float* xs = size_ > 0 ? XSingle() : nullptr) {
    RangeOf(xs, size_, pmin, pmax);
  } else {
    *pmin = 0.0;
    *pmax = size_;
  }
  return S_OK;
}

HRESULT LineData::GetMinMaxY(double* pmin, double* pmax, VARIANT_BOOL* pbResult) {
  if (!pmin || !pmax || !pbResult) return E_POINTER;
  *pbResult = VARIANT_TRUE;
  if (size_ == 0) {
    *pmin = 0.0;
    *pmax = 1.0;
    return S_OK;
  }
  RangeOf(y_.get(), size_, pmin, pmax);
  return S_OK;
}

HRESULT LineData::get_UseXData(VARIANT_BOOL* pVal) { return common::GetStored(useX_, pVal); }

// Any change of the stored value frees the X array or starts a fresh one; old X values go.
HRESULT LineData::put_UseXData(VARIANT_BOOL newVal) {
  if (newVal == useX_) return S_OK;
  if (newVal == 0) {
    xSingle_.reset();
    xDouble_.reset();
    useX_ = newVal;
    return S_OK;
  }
  if (HRESULT hr = AllocateX(); FAILED(hr)) return hr;
  useX_ = newVal;
  return S_OK;
}

HRESULT LineData::AllocateX() {
  if (XIsDouble()) {
    NewArray<double> x = AllocateFilled<double>(size_, 0.0);
    if (!x.ok) return E_OUTOFMEMORY;
    xDouble_ = std::move(x.data);
    xSingle_.reset();
  } else {
    NewArray<float> x = AllocateFilled<float>(size_, 0.0f);
    if (!x.ok) return E_OUTOFMEMORY;
    xSingle_ = std::move(x.data);
    xDouble_.reset();
  }
  return S_OK;
}

HRESULT LineData::get_UseDoubleForXData(VARIANT_BOOL* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = static_cast<VARIANT_BOOL>(useDoubleX_);
  return S_OK;
}

// An existing X array follows the width, so no access ever runs past its bytes.
HRESULT LineData::put_UseDoubleForXData(VARIANT_BOOL newVal) {
  const LONG widened = newVal;
  if (widened == useDoubleX_) return S_OK;
  const bool toDouble = widened != 0;
  if (toDouble && xSingle_) {
    NewArray<double> x = CopyResized<double>(xSingle_.get(), size_, size_, 0.0);
    if (!x.ok) return E_OUTOFMEMORY;
    xDouble_ = std::move(x.data);
    xSingle_.reset();
  } else if (!toDouble && xDouble_) {
    NewArray<float> x = CopyResized<float>(xDouble_.get(), size_, size_, 0.0f);
    if (!x.ok) return E_OUTOFMEMORY;
    xSingle_ = std::move(x.data);
    xDouble_.reset();
  }
  useDoubleX_ = widened;
  return S_OK;
}

HRESULT LineData::get_DataPtrXDouble(double** pVal) {
  if (!pVal) return E_POINTER;
  *pVal = XDouble();
  return S_OK;
}

}  // namespace kelmira::data
