#include "data/matrix_data.h"
#include "common/stored_property.h"

#include "data/data_array.h"

#include <utility>

namespace kelmira::data {

HRESULT MatrixData::get_Rows(LONG* pVal) { return common::GetStored(rows_, pVal); }

HRESULT MatrixData::get_Columns(LONG* pVal) { return common::GetStored(columns_, pVal); }

HRESULT MatrixData::get_Data(LONG row, LONG column, float* pVal) {
  if (!pVal) return E_POINTER;
  if (!HasCell(row, column)) return E_INVALIDARG;
  *pVal = values_[Position(row, column)];
  return S_OK;
}

HRESULT MatrixData::put_Data(LONG row, LONG column, float newVal) {
  if (!HasCell(row, column)) return E_INVALIDARG;
  values_[Position(row, column)] = newVal;
  return S_OK;
}

HRESULT MatrixData::GetDataPtr(float** ppData) {
  if (!ppData) return E_POINTER;
  *ppData = values_.get();
  return S_OK;
}

HRESULT MatrixData::GetRowDataPtr(LONG row, float** ppData) {
  if (!ppData) return E_POINTER;
  if (row < 0 || row >= rows_) return E_INVALIDARG;
  *ppData = values_ ? values_.get() + Position(row, 0) : nullptr;
  return S_OK;
}

HRESULT MatrixData::SetSize(LONG Rows, LONG Columns, VARIANT_BOOL* pbResult) {
  if (!pbResult) return E_POINTER;
  *pbResult = VARIANT_FALSE;
  if (Rows < 0 || Columns < 0) return S_OK;
  const std::int64_t oldCount = std::int64_t{rows_} * columns_;
  const std::int64_t newCount = std::int64_t{Rows} * Columns;
  if (newCount != oldCount) {
    NewArray<float> values = CopyResized<float>(values_.get(), oldCount, newCount, 0.0f);
    if (!values.ok) return S_OK;
    values_ = std::move(values.data);
  }
  rows_ = Rows;
  columns_ = Columns;
  *pbResult = VARIANT_TRUE;
  return S_OK;
}

}  // namespace kelmira::data
