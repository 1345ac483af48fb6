#include "proppages/page_fields.h"

#include "common/ansi_text.h"
#include "proppages/page_template.h"

#include <array>
#include <utility>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace kelmira::proppages {
namespace {

constexpr int kTitleChars = 259;   // a title is read with at most this many characters
constexpr int kDecimalChars = 99;  // and a decimal with at most this many
constexpr int kDecimalPlaces = 2;

template <class T>
HRESULT Present(HRESULT hr, const ComPtr<T>& part) {
  return FAILED(hr) ? hr : (part ? S_OK : E_POINTER);
}

// ---- writing fields

void SetTicked(HWND page, int id, VARIANT_BOOL flag) { CheckDlgButton(page, id, flag ? BST_CHECKED : BST_UNCHECKED); }

void SetText(HWND page, int id, BSTR text) { SetDlgItemTextA(page, id, common::AnsiText(text).c_str()); }

void SetInteger(HWND page, int id, LONG value) { SetDlgItemInt(page, id, static_cast<UINT>(value), TRUE); }

void SetDecimal(HWND page, int id, double value) {
  std::array<char, 16> format{};
  std::snprintf(format.data(), format.size(), "%%.%df", kDecimalPlaces);
  const int length = std::snprintf(nullptr, 0, format.data(), value);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  std::snprintf(text.data(), text.size(), format.data(), value);
  text.resize(text.size() - 1);
  SetDlgItemTextA(page, id, text.c_str());
}

// ---- reading fields

VARIANT_BOOL Ticked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED ? VARIANT_TRUE : 0; }

LONG Integer(HWND page, int id) { return static_cast<LONG>(GetDlgItemInt(page, id, nullptr, TRUE)); }

std::string Text(HWND page, int id, int maxChars) {
  std::string text(static_cast<std::size_t>(maxChars) + 1, '\0');
  text.resize(GetDlgItemTextA(page, id, text.data(), maxChars + 1));
  return text;
}

locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  return c;
}

double Decimal(HWND page, int id) {
  const std::string text = Text(page, id, kDecimalChars);
  const locale_t c = CLocale();
  return c ? strtod_l(text.c_str(), nullptr, c) : std::strtod(text.c_str(), nullptr);
}

template <class I>
HRESULT PutTitle(HWND page, int id, I* target) {
  Bstr text = Bstr::Attach(common::AnsiToBstr(Text(page, id, kTitleChars)));
  if (!text) return E_OUTOFMEMORY;
  return target->put_Title(text.get());
}

// ---- one axis: its title and precision field

struct AxisFields {
  int visibleCheck, titleEdit, precisionEdit;
};
constexpr AxisFields kXFields{kXAxisVisibleCheck, kXTitleEdit, kXPrecisionEdit};
constexpr AxisFields kYFields{kYAxisVisibleCheck, kYTitleEdit, kYPrecisionEdit};
constexpr AxisFields kRightFields{kRightYAxisVisibleCheck, kRightTitleEdit, kRightPrecisionEdit};

HRESULT LoadAxis(HWND page, IAxis* axis, const AxisFields& f) {
  Bstr title;
  LONG precision = 0;
  HRESULT hr = axis->get_Title(&title);
  if (FAILED(hr)) return hr;
  SetText(page, f.titleEdit, title.get());
  if (FAILED(hr = axis->get_Precision(&precision))) return hr;
  SetInteger(page, f.precisionEdit, precision);
  return S_OK;
}

HRESULT ApplyAxis(HWND page, IAxis* axis, const AxisFields& f, bool autoPrecision) {
  HRESULT hr = PutTitle(page, f.titleEdit, axis);
  return FAILED(hr) ? hr : axis->put_Precision(autoPrecision ? -1 : Integer(page, f.precisionEdit));
}

// Auto-precision: every axis asks for it, the left Y axis first; the first that does not ends
// the test.
HRESULT AllAutomatic(IAxis* const (&axes)[3], bool* automatic) {
  *automatic = true;
  for (IAxis* axis : axes) {
    LONG precision = 0;
    if (HRESULT hr = axis->get_Precision(&precision); FAILED(hr)) return hr;
    if (precision >= 0) {
      *automatic = false;
      break;
    }
  }
  return S_OK;
}

struct Parts {
  ComPtr<IXAxis> x;
  ComPtr<IYAxis> y, right;
};

HRESULT GetAxes(IGraphBase* graph, Parts* parts) {
  HRESULT hr = Present(graph->get_XAxis(&parts->x), parts->x);
  if (SUCCEEDED(hr)) hr = Present(graph->get_YAxis(&parts->y), parts->y);
  if (SUCCEEDED(hr)) hr = Present(graph->get_RightYAxis(&parts->right), parts->right);
  return hr;
}

using ViewGet = HRESULT (IGraphicsContainer::*)(double*, double*, double*, double*);
using ViewSet = HRESULT (IGraphicsContainer::*)(double, double, double, double);

HRESULT LoadView(HWND page, IGraphicsContainer* container, ViewGet get, int first) {
  double v[4] = {};
  HRESULT hr = (container->*get)(&v[0], &v[1], &v[2], &v[3]);
  if (FAILED(hr)) return hr;
  for (int i = 0; i < 4; ++i) SetDecimal(page, first + i, v[i]);
  return S_OK;
}

HRESULT ApplyView(HWND page, IGraphicsContainer* container, ViewSet set, int first) {
  return (container->*set)(Decimal(page, first), Decimal(page, first + 1), Decimal(page, first + 2),
                           Decimal(page, first + 3));
}

HRESULT GetContainer(IGraphBase* graph, ComPtr<IGraphicsContainer>& container) {
  return Present(graph->get_GraphicsContainer(&container), container);
}

}  // namespace

int GridStylePosition(LONG style) { return style == 0 ? 0 : style == 1 ? 2 : 1; }

LONG GridStyleOfPosition(int position) {
  switch (position) {
    case 0: return 0;
    case 1: return 2;
    case 2: return 1;
    default: return -1;
  }
}

void FillGridStyleList(HWND list) {
  for (const char* label : {"Solid", "Dotted", "Dashed"})
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
}

// Each step reads one value and shows it; the first failing read ends the load.
HRESULT LoadFieldsBeforeClean(HWND page, IGraphBase* graph) {
  Parts parts;
  ComPtr<IGraphicsContainer> container;
  VARIANT_BOOL flag = 0;
  Bstr title;
  LONG number = 0;
  double step = 0;
  bool automatic = false;
  HRESULT hr = GetAxes(graph, &parts);
  if (FAILED(hr) || FAILED(hr = graph->get_TitleVisible(&flag))) return hr;
  SetTicked(page, kTitleVisibleCheck, flag);
  if (FAILED(hr = graph->get_Title(&title))) return hr;
  SetText(page, kTitleEdit, title.get());

  if (FAILED(hr = graph->get_XAxisVisible(&flag))) return hr;
  SetTicked(page, kXAxisVisibleCheck, flag);
  if (FAILED(hr = LoadAxis(page, parts.x.get(), kXFields))) return hr;
  if (FAILED(hr = graph->get_YAxisVisible(&flag))) return hr;
  SetTicked(page, kYAxisVisibleCheck, flag);
  if (FAILED(hr = LoadAxis(page, parts.y.get(), kYFields))) return hr;
  if (FAILED(hr = graph->get_RightYAxisVisible(&flag))) return hr;
  SetTicked(page, kRightYAxisVisibleCheck, flag);
  if (FAILED(hr = LoadAxis(page, parts.right.get(), kRightFields))) return hr;

  IAxis* const order[3] = {parts.y.get(), parts.x.get(), parts.right.get()};
  if (FAILED(hr = AllAutomatic(order, &automatic))) return hr;
  for (int id : {kYPrecisionEdit, kXPrecisionEdit, kRightPrecisionEdit}) {
    if (automatic) SetInteger(page, id, 0);
    EnableWindow(GetDlgItem(page, id), !automatic);
  }
  CheckDlgButton(page, kAutoPrecisionCheck, automatic ? BST_CHECKED : BST_UNCHECKED);

  if (FAILED(hr = graph->get_TickLength(&number))) return hr;
  SetInteger(page, kTickLengthEdit, number);
  if (FAILED(hr = graph->get_XAxisSize(&number))) return hr;
  SetInteger(page, kXAxisSizeEdit, number);
  if (FAILED(hr = graph->get_YAxisSize(&number))) return hr;
  SetInteger(page, kYAxisSizeEdit, number);

  if (FAILED(hr = GetContainer(graph, container))) return hr;
  if (FAILED(hr = LoadView(page, container.get(), &IGraphicsContainer::GetExtents, kExtentXMinEdit))) return hr;
  if (FAILED(hr = LoadView(page, container.get(), &IGraphicsContainer::GetLimits, kLimitXMinEdit))) return hr;

  if (FAILED(hr = graph->get_GridStepX(&step))) return hr;
  SetDecimal(page, kGridStepXEdit, step);
  if (FAILED(hr = graph->get_GridStepY(&step))) return hr;
  SetDecimal(page, kGridStepYEdit, step);
  if (FAILED(hr = graph->get_Border(&flag))) return hr;
  SetTicked(page, kBorderCheck, flag);
  return S_OK;
}

HRESULT LoadFieldsAfterClean(HWND page, IGraphBase* graph, ColourTable& colours) {
  using ColourGet = HRESULT (STDMETHODCALLTYPE IGraphBase::*)(OLE_COLOR*);
  const std::pair<ColourGet, int> swatches[] = {{&IGraphBase::get_BackColor, kBackColourSwatch},
                                                {&IGraphBase::get_GridColor, kGridColourSwatch},
                                                {&IGraphBase::get_TextColor, kTextColourSwatch}};
  for (const auto& [get, id] : swatches) {
    OLE_COLOR colour = 0;
    if (HRESULT hr = (graph->*get)(&colour); FAILED(hr)) return hr;
    colours.SetColour(page, id, colour);
  }
  LONG style = 0;
  if (HRESULT hr = graph->get_GridStyle(&style); FAILED(hr)) return hr;
  SendDlgItemMessageA(page, kGridStyleList, CB_SETCURSEL, static_cast<WPARAM>(GridStylePosition(style)), 0);
  return S_OK;
}

// Each step writes one field; the first failing put ends the apply.
HRESULT ApplyFields(HWND page, IGraphBase* graph, ColourTable& colours) {
  Parts parts;
  ComPtr<IGraphicsContainer> container;
  HRESULT hr = GetAxes(graph, &parts);
  if (FAILED(hr) || FAILED(hr = graph->put_TitleVisible(Ticked(page, kTitleVisibleCheck)))) return hr;
  if (FAILED(hr = PutTitle(page, kTitleEdit, graph))) return hr;
  const bool automatic = IsDlgButtonChecked(page, kAutoPrecisionCheck) == BST_CHECKED;

  if (FAILED(hr = graph->put_XAxisVisible(Ticked(page, kXAxisVisibleCheck)))) return hr;
  if (FAILED(hr = ApplyAxis(page, parts.x.get(), kXFields, automatic))) return hr;
  if (FAILED(hr = graph->put_YAxisVisible(Ticked(page, kYAxisVisibleCheck)))) return hr;
  if (FAILED(hr = ApplyAxis(page, parts.y.get(), kYFields, automatic))) return hr;
  if (FAILED(hr = graph->put_RightYAxisVisible(Ticked(page, kRightYAxisVisibleCheck)))) return hr;
  if (FAILED(hr = ApplyAxis(page, parts.right.get(), kRightFields, automatic))) return hr;

  if (FAILED(hr = graph->put_XAxisSize(Integer(page, kXAxisSizeEdit)))) return hr;
  if (FAILED(hr = graph->put_YAxisSize(Integer(page, kYAxisSizeEdit)))) return hr;
  if (FAILED(hr = graph->put_TickLength(Integer(page, kTickLengthEdit)))) return hr;

  if (FAILED(hr = GetContainer(graph, container))) return hr;
  if (FAILED(hr = ApplyView(page, container.get(), &IGraphicsContainer::SetExtents, kExtentXMinEdit))) return hr;
  if (FAILED(hr = ApplyView(page, container.get(), &IGraphicsContainer::SetLimits, kLimitXMinEdit))) return hr;

  if (FAILED(hr = graph->put_GridStepX(Decimal(page, kGridStepXEdit)))) return hr;
  if (FAILED(hr = graph->put_GridStepY(Decimal(page, kGridStepYEdit)))) return hr;
  if (FAILED(hr = graph->put_Border(Ticked(page, kBorderCheck)))) return hr;

  if (FAILED(hr = graph->put_BackColor(colours.GetColour(page, kBackColourSwatch)))) return hr;
  if (FAILED(hr = graph->put_GridColor(colours.GetColour(page, kGridColourSwatch)))) return hr;
  if (FAILED(hr = graph->put_TextColor(colours.GetColour(page, kTextColourSwatch)))) return hr;

  const auto position = static_cast<int>(SendDlgItemMessageA(page, kGridStyleList, CB_GETCURSEL, 0, 0));
  const LONG style = GridStyleOfPosition(position);
  return style < 0 ? S_OK : graph->put_GridStyle(style);
}

}  // namespace kelmira::proppages
