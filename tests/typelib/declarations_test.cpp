// The C++ face of the type library: member signatures, derivation, the record layout and the
// identities that kelmira.h declares.
#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>

namespace {

template <class Derived, class Base>
constexpr bool kDerives = std::is_base_of_v<Base, Derived> && !std::is_same_v<Base, Derived>;

// Derivation as hosts bind to it.
static_assert(kDerives<IGraphicsContainerImpl, IGraphicsContainer>);
static_assert(kDerives<IBackgroundLayer, IGraphicsLayer>);
static_assert(kDerives<IGridLayer, IGraphicsLayer>);
static_assert(kDerives<ILineLayer, IGraphicsLayer>);
static_assert(kDerives<ILineLegendLayer, IGraphicsLayer>);
static_assert(kDerives<IContourLayer, IGraphicsLayer>);
static_assert(kDerives<IPolarGridLayer, IGraphicsLayer>);
static_assert(kDerives<IPolarLayer, IGraphicsLayer>);
static_assert(kDerives<IXAxis, IAxis>);
static_assert(kDerives<IYAxis, IAxis>);
static_assert(kDerives<ILineGraph, IGraphBase>);
static_assert(kDerives<IGraphicsLayer, IDispatch>);
static_assert(kDerives<ITickLabelList, IDispatch>);
static_assert(!std::is_base_of_v<IGraphicsLayer, ILine>);
static_assert(!std::is_base_of_v<IAxis, IGraphBase>);

// COM layout: a vtable pointer and nothing else, no virtual destructor.
static_assert(sizeof(ILineGraph) == sizeof(void*));
static_assert(!std::has_virtual_destructor_v<IAxis>);

// Signatures, including the less obvious ones (raw pointers, indexed properties, put order).
static_assert(std::is_same_v<decltype(&ILineData::get_Size), HRESULT (ILineData::*)(LONG*)>);
static_assert(std::is_same_v<decltype(&ILineData::put_Mask), HRESULT (ILineData::*)(LONG, LONG)>);
static_assert(std::is_same_v<decltype(&ILineData::GetDataPtrX), HRESULT (ILineData::*)(float**)>);
static_assert(std::is_same_v<decltype(&ILineData::GetMaskPtr), HRESULT (ILineData::*)(BYTE**)>);
static_assert(std::is_same_v<decltype(&ILineData::get_DataPtrXDouble), HRESULT (ILineData::*)(double**)>);
static_assert(std::is_same_v<decltype(&IMatrixData::put_Data), HRESULT (IMatrixData::*)(LONG, LONG, float)>);
static_assert(std::is_same_v<decltype(&IGraphicsContainer::get_Layers),
                             HRESULT (IGraphicsContainer::*)(VARIANT, IGraphicsLayer**)>);
static_assert(std::is_same_v<decltype(&IGraphicsContainer::LogicalToScreen),
                             HRESULT (IGraphicsContainer::*)(double, double, LONG*, LONG*, VARIANT_BOOL*)>);
static_assert(std::is_same_v<decltype(&IGraphicsContainer::get_MouseInput),
                             HRESULT (IGraphicsContainer::*)(IMouseInputManager**)>);
static_assert(std::is_same_v<decltype(&IGraphicsLayer::Redraw), HRESULT (IGraphicsLayer::*)(DrawLayerInfo)>);
static_assert(std::is_same_v<decltype(&ILineLayer::AddLine),
                             HRESULT (ILineLayer::*)(BSTR, OLE_COLOR, LONG, ILine**)>);
static_assert(std::is_same_v<decltype(&ILineLayer::put_DesignMode), HRESULT (ILineLayer::*)(VARIANT_BOOL)>);
static_assert(std::is_same_v<decltype(&IAxis::putref_Font), HRESULT (IAxis::*)(IFontDisp*)>);
static_assert(std::is_same_v<decltype(&IAxis::get_Window), HRESULT (IAxis::*)(LONG*)>);
static_assert(std::is_same_v<decltype(&IAxis::put_GraphicContainer), HRESULT (IAxis::*)(IGraphicsContainer*)>);
static_assert(std::is_same_v<decltype(&IAxis::get_step), HRESULT (IAxis::*)(double*)>);
static_assert(std::is_same_v<decltype(&IXAxis::get_step), HRESULT (IAxis::*)(double*)>);
static_assert(std::is_same_v<decltype(&IGraphBase::get_RightYAxis), HRESULT (IGraphBase::*)(IYAxis**)>);
static_assert(std::is_same_v<decltype(&IPolarGridLayer::SetGridParameters),
                             HRESULT (IPolarGridLayer::*)(double, OLE_COLOR, LONG, LONG, VARIANT_BOOL*)>);
static_assert(std::is_same_v<decltype(&IPolarLayer::put_MinValue), HRESULT (IPolarLayer::*)(float)>);
static_assert(std::is_same_v<decltype(&ITickLabelList::LabelAt), HRESULT (ITickLabelList::*)(VARIANT, VARIANT*)>);

// The record every layer receives by value.
static_assert(sizeof(DrawLayerInfo) == 56);
static_assert(offsetof(DrawLayerInfo, bottom) == 16);
static_assert(offsetof(DrawLayerInfo, YScale) == 48);
static_assert(kEventMouseDblClick == 5);

static_assert(__uuidof(IXAxis) == IID_IXAxis);
static_assert(__uuidof(ITickLabelList*) == IID_ITickLabelList);

TEST(TypeLibraryDeclarations, EveryIdentityIsDistinct) {
  const GUID ids[] = {
      LIBID_Kelmira,
      IID_IGraphicsContainer, IID_IGraphicsContainerImpl, IID_IGraphicsLayer, IID_IBackgroundLayer,
      IID_IGridLayer, IID_ILineLayer, IID_ILine, IID_ILineLegendLayer, IID_ILineData, IID_IMatrixData,
      IID_IMouseInputManager, IID_IAxis, IID_IXAxis, IID_IYAxis, IID_IGraphBase, IID_ILineGraph,
      IID_IContourLayer, IID_IPolarGridLayer, IID_IPolarLayer, IID_ITickLabelList,
      DIID_IGraphicsEvents, DIID__IMouseInputManagerEvents, DIID_IAxisEvents, DIID__IGraphEvents,
      DIID__IContinuousGraphEvents,
      CLSID_GraphicsContainer, CLSID_BackgroundLayer, CLSID_GridLayer, CLSID_LineLayer, CLSID_LineData,
      CLSID_MatrixData, CLSID_XAxis, CLSID_YAxis, CLSID_LineGraph, CLSID_BaseGraphPropPage, CLSID_Line,
      CLSID_LineLegendLayer, CLSID_MouseInputManager, CLSID_ContourLayer, CLSID_PolarGridLayer,
      CLSID_PolarLayer, CLSID_PropPageAxis, CLSID_PropPageXAxis,
      // The platform's own identities must not be reused either.
      IID_IUnknown, IID_IDispatch, IID_IClassFactory,
  };
  const std::size_t count = std::size(ids);
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_NE(ids[i], GUID_NULL) << "identity " << i;
    for (std::size_t j = i + 1; j < count; ++j) EXPECT_NE(ids[i], ids[j]) << "identities " << i << " and " << j;
  }
}

}  // namespace
