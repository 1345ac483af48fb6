// MatrixData: a rows x columns matrix of single-precision values, row-major and contiguous, for
// hosts that pass gridded data between components. Element (r, c) lies at r * columns + c.
//
// SetSize keeps the leading elements in their linear positions (new ones are cleared to 0), so a
// change of the column count moves values to other (row, column) places. A SetSize that keeps
// the element count keeps the array where it is; any other one moves it, and pointers fetched
// before must not be used after. No elements means no array (null pointers).
//
// Where callers can go wrong, the object refuses rather than guesses:
//   - negative sizes, or an allocation that fails, keep the previous shape and array and report
//     FALSE through pbResult (the call itself returns S_OK). An array whose byte count exceeds
//     2^31-1 counts as a failed allocation;
//   - a row or column outside the matrix gives E_INVALIDARG and touches nothing;
//   - null out-arguments give E_POINTER.
#pragma once

#include <kelmira/kelmira.h>

#include <cstdint>
#include <memory>

namespace kelmira::data {

class MatrixData : public DispatchImpl<IMatrixData> {
 public:
  using Interfaces = InterfaceTable<IMatrixData, Via<IDispatch, IMatrixData>>;

  HRESULT STDMETHODCALLTYPE get_Rows(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE get_Columns(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE get_Data(LONG row, LONG column, float* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Data(LONG row, LONG column, float newVal) override;
  HRESULT STDMETHODCALLTYPE GetDataPtr(float** ppData) override;
  HRESULT STDMETHODCALLTYPE GetRowDataPtr(LONG row, float** ppData) override;
  HRESULT STDMETHODCALLTYPE SetSize(LONG Rows, LONG Columns, VARIANT_BOOL* pbResult) override;

 private:
  bool HasCell(LONG row, LONG column) const { return row >= 0 && row < rows_ && column >= 0 && column < columns_; }
  std::int64_t Position(LONG row, LONG column) const { return std::int64_t{row} * columns_ + column; }

  LONG rows_ = 0;
  LONG columns_ = 0;
  std::unique_ptr<float[]> values_;
};

}  // namespace kelmira::data
