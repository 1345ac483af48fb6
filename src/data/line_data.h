// LineData: the points of one line. Y values in single precision, optional X values in single
// or double precision, one mask byte per point (0 hides the point), and the values that mark
// missing data.
//
// The arrays are plain contiguous memory handed out by pointer (GetDataPtr, GetDataPtrX,
// DataPtrXDouble, GetMaskPtr); hosts fill them and the line layer reads them directly. Pointers
// stay valid until the next Size put that changes the size, the next UseXData put that changes
// the value, a UseDoubleForXData put that changes the X element width, or destruction. A Size put
// of the current size keeps every array where it is. A size of 0 has no arrays (null pointers).
//
// Where callers can go wrong, the object refuses rather than guesses:
//   - an index outside 0..size-1 gives E_INVALIDARG and touches nothing;
//   - a negative Size gives E_INVALIDARG;
//   - a failed allocation gives E_OUTOFMEMORY and leaves the object exactly as it was (size,
//     arrays, flags and pointers): new arrays are built before the old ones go. An array whose
//     byte count exceeds 2^31-1 counts as a failed allocation;
//   - null out-arguments give E_POINTER.
// New Y and X elements are cleared to 0; new mask bytes are 1 (shown). A UseXData put that changes
// the stored value (compared as 16-bit values, so -1 to 1 is a change) frees the X array or
// starts a fresh cleared one. Changing UseDoubleForXData between zero and non-zero while an X
// array exists reallocates it at the new width, keeping its values (rounded to single precision
// when narrowing). The ranges start from point 0 and compare with < and >, so a NaN later in the
// array never becomes a bound.
#pragma once

#include <kelmira/kelmira.h>

#include <memory>

namespace kelmira::data {

class LineData : public DispatchImpl<ILineData> {
 public:
  using Interfaces = InterfaceTable<ILineData, Via<IDispatch, ILineData>>;

  // -999999.9 exactly as the double literal gives it (bits 0xC12E847FCCCCCCCD).
  static constexpr double kDefaultBadValue = -999999.9;

  HRESULT STDMETHODCALLTYPE get_Size(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Size(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_Mask(LONG index, LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Mask(LONG index, LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_Data(LONG index, double* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Data(LONG index, double newVal) override;
  HRESULT STDMETHODCALLTYPE get_DataX(LONG index, double* pVal) override;
  HRESULT STDMETHODCALLTYPE put_DataX(LONG index, double newVal) override;
  HRESULT STDMETHODCALLTYPE get_DataY(LONG index, double* pVal) override;
  HRESULT STDMETHODCALLTYPE put_DataY(LONG index, double newVal) override;
  HRESULT STDMETHODCALLTYPE get_BadDataValue(double* pVal) override;
  HRESULT STDMETHODCALLTYPE put_BadDataValue(double newVal) override;
  HRESULT STDMETHODCALLTYPE get_BadDataValueX(double* pVal) override;
  HRESULT STDMETHODCALLTYPE put_BadDataValueX(double newVal) override;
  HRESULT STDMETHODCALLTYPE get_BadDataValueY(double* pVal) override;
  HRESULT STDMETHODCALLTYPE put_BadDataValueY(double newVal) override;
  HRESULT STDMETHODCALLTYPE GetDataPtr(float** ppData) override;
  HRESULT STDMETHODCALLTYPE GetDataPtrX(float** ppData) override;
  HRESULT STDMETHODCALLTYPE GetDataPtrY(float** ppData) override;
  HRESULT STDMETHODCALLTYPE GetMaskPtr(BYTE** ppMask) override;
  HRESULT STDMETHODCALLTYPE GetMinMax(double* pmin, double* pmax, VARIANT_BOOL* pbResult) override;
  HRESULT STDMETHODCALLTYPE GetMinMaxX(double* pmin, double* pmax, VARIANT_BOOL* pbResult) override;
  HRESULT STDMETHODCALLTYPE GetMinMaxY(double* pmin, double* pmax, VARIANT_BOOL* pbResult) override;
  HRESULT STDMETHODCALLTYPE get_UseXData(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UseXData(VARIANT_BOOL newVal) override;
  HRESULT STDMETHODCALLTYPE get_UseDoubleForXData(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UseDoubleForXData(VARIANT_BOOL newVal) override;
  HRESULT STDMETHODCALLTYPE get_DataPtrXDouble(double** pVal) override;

 private:
  bool HasIndex(LONG index) const { return index >= 0 && index < size_; }
  bool XIsDouble() const { return useDoubleX_ != 0; }
  // Single-precision X values while X is kept at that width, else null.
  float* XSingle() const { return XIsDouble() ? nullptr : xSingle_.get(); }
  double* XDouble() const { return XIsDouble() ? xDouble_.get() : nullptr; }
  // Allocates a cleared X array of size_ elements at the current width.
  HRESULT AllocateX();

  LONG size_ = 0;
  std::unique_ptr<float[]> y_;
  // At most one X array exists, the one of the current width, and only while useX_ is set.
  std::unique_ptr<float[]> xSingle_;
  std::unique_ptr<double[]> xDouble_;
  std::unique_ptr<BYTE[]> mask_;
  VARIANT_BOOL useX_ = VARIANT_TRUE;
  LONG useDoubleX_ = 0;  // kept widened to 32 bits; its get returns the low 16 bits
  double badX_ = kDefaultBadValue;
  double badY_ = kDefaultBadValue;  // also BadDataValue
};

}  // namespace kelmira::data
