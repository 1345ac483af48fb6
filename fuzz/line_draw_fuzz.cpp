// Draws a line layer with hostile data (any floats, doubles and masks) through a hostile view
// (any origin, scale and area, pen width and style) onto a small surface.
#include "fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelmira;
  using namespace kelmira::fuzz;
  FuzzInput in(data, size);
  const int width = 1 + in.Pick(200), height = 1 + in.Pick(200);
  const unsigned xKind = in.Pick(3);  // index, single, double
  auto layer = FuzzCreate<ILineLayer>(CLSID_LineLayer);
  auto line_data = FuzzCreate<ILineData>(CLSID_LineData);
  ComPtr<ILine> line;
  FUZZ_CHECK(SUCCEEDED(layer->AddLine(nullptr, in.Take<OLE_COLOR>(), in.Take<std::int8_t>(), &line)));
  (void)line->put_Width(in.Take<std::int16_t>());
  (void)line->put_PointStyle(in.Take<std::int8_t>());
  (void)layer->put_Offset(in.Take<std::int16_t>());
  (void)layer->put_Style(in.Take<std::int8_t>());
  (void)line->put_Data(line_data.get());
  (void)line_data->put_UseXData(xKind ? VARIANT_TRUE : VARIANT_FALSE);
  (void)line_data->put_UseDoubleForXData(xKind == 2 ? VARIANT_TRUE : VARIANT_FALSE);
  (void)line_data->put_BadDataValue(in.Take<float>());
  DrawLayerInfo view{0,
                     in.Take<std::int8_t>(),
                     in.Take<std::int8_t>(),
                     0,
                     0,
                     in.Take<double>(),
                     in.Take<double>(),
                     in.Take<double>(),
                     in.Take<double>()};
  view.right = view.left + width;
  view.bottom = view.top + height;
  const LONG points = in.Take<std::uint16_t>() % 4096;
  if (FAILED(line_data->put_Size(points))) return 0;
  float* ys = nullptr;
  BYTE* mask = nullptr;
  line_data->GetDataPtrY(&ys);
  line_data->GetMaskPtr(&mask);
  for (LONG i = 0; i < points && !in.Empty(); ++i) {
    ys[i] = in.Take<float>();
    mask[i] = in.Take<BYTE>();
    if (xKind == 1) {
      float* xs = nullptr;
      line_data->GetDataPtrX(&xs);
      xs[i] = in.Take<float>();
    } else if (xKind == 2) {
      double* xs = nullptr;
      line_data->get_DataPtrXDouble(&xs);
      xs[i] = in.Take<double>();
    }
  }
  FuzzSurface surface(width + 128, height + 128);
  view.hDC = static_cast<LONG>(HandleToUlong(surface.dc()));
  (void)layer->Redraw(view);
  return 0;
}
