// Fetching a line's arrays through ILineData.
#include "layers/line_points.h"

namespace kelmira::layers {

HRESULT ReadLinePoints(ILineData* data, LONG offset, LinePoints* points) {
  if (!data || !points) return E_POINTER;
  LinePoints read;
  read.offset = offset;

  LONG size = 0;
  float* y = nullptr;
  float* x = nullptr;
  VARIANT_BOOL useDouble = VARIANT_FALSE;
  BYTE* mask = nullptr;
  HRESULT hr = data->get_Size(&size);
  if (SUCCEEDED(hr)) hr = data->GetDataPtr(&y);
  if (SUCCEEDED(hr)) hr = data->GetDataPtrX(&x);
  if (SUCCEEDED(hr)) hr = data->get_UseDoubleForXData(&useDouble);
  if (SUCCEEDED(hr)) hr = data->GetMaskPtr(&mask);
  if (SUCCEEDED(hr)) hr = data->get_BadDataValue(&read.badValue);
  if (FAILED(hr)) return hr;

  if (x && useDouble) {
    double* xDouble = nullptr;
    hr = data->get_DataPtrXDouble(&xDouble);
    if (FAILED(hr)) return hr;
    if (!xDouble) return E_UNEXPECTED;
    read.xDouble = xDouble;
  } else {
    read.xSingle = x;
  }
  read.y = y;
  read.mask = mask;
  read.count = (size > 0 && y) ? size : 0;
  *points = read;
  return S_OK;
}

}  // namespace kelmira::layers
